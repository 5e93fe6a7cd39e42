#pragma once

#include <optional>

#include <QtGlobal>

namespace mvx {

// What Qt would connect to for the windows, read before Qt starts: the display variables, empty
// or null when unset.
struct DisplayEnvironment
{
    const char *qpaPlatform = nullptr; // QT_QPA_PLATFORM
    const char *x11Display = nullptr; // DISPLAY
    const char *waylandDisplay = nullptr; // WAYLAND_DISPLAY
};

// True when Qt, started with these arguments in this environment, could only abort for want of a
// display: the platform is the desktop's (none named, xcb or wayland, by "-platform" or
// QT_QPA_PLATFORM) and there is no display to connect to. Other platforms (offscreen, vnc...) are
// left to Qt.
bool graphicalDisplayMissing(int argc, char *argv[], const DisplayEnvironment &environment);

// On Linux, when there is no display, says so in French on standard error with how to start the
// program under a virtual display, and returns the exit status; nothing when the windows can open.
std::optional<int> refuseWithoutDisplay(int argc, char *argv[]);

// While alive, Qt's failure to open the display it was given (a DISPLAY with no server behind it,
// a display that refuses the connection) ends the program with a French message and status 1
// instead of Qt's English abort. Qt's messages meanwhile are held, and passed on when the guard
// ends, so a start that succeeds prints what it always did. Made just before the QApplication.
class DisplayStartGuard
{
public:
    DisplayStartGuard(int argc, char *argv[]);
    ~DisplayStartGuard();
    DisplayStartGuard(const DisplayStartGuard &) = delete;
    DisplayStartGuard &operator=(const DisplayStartGuard &) = delete;

private:
    QtMessageHandler previous_;
};

} // namespace mvx
