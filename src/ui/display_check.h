#pragma once

#include <optional>

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

} // namespace mvx
