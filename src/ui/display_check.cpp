#include "ui/display_check.h"

#include <QByteArray>
#include <QString>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string_view>
#include <vector>

namespace mvx {

namespace {

bool isSet(const char *value)
{
    return value && *value;
}

// The value of the last "-NAME VALUE" argument, with one leading '-' of "--" dropped, the way
// Qt reads its own options.
const char *argumentValue(int argc, char *argv[], const char *name)
{
    const char *value = nullptr;
    for (int i = 1; i + 1 < argc; ++i) {
        const char *argument = argv[i];
        if (!argument || argument[0] != '-')
            continue;
        if (argument[1] == '-')
            ++argument;
        if (std::strcmp(argument + 1, name) == 0)
            value = argv[++i];
    }
    return value;
}

// Whether every platform of a list such as "wayland;xcb" or "xcb:option" needs a desktop display.
bool onlyDesktopPlatforms(std::string_view platforms)
{
    while (true) {
        const std::size_t end = platforms.find(';');
        std::string_view name = platforms.substr(0, end);
        name = name.substr(0, name.find(':'));
        if (!name.empty() && name != "xcb" && name.substr(0, 7) != "wayland")
            return false;
        if (end == std::string_view::npos)
            return true;
        platforms.remove_prefix(end + 1);
    }
}

const char kVirtualDisplayAdvice[] = "Démarrez-le depuis une session de bureau, ou sous un affichage virtuel\n"
                                     "(paquets Debian xvfb et xauth) :\n"
                                     "    xvfb-run -a marovellix\n";

struct HeldMessage
{
    QtMsgType type;
    QByteArray category;
    QString text;
};

// What the guard holds while Qt opens the display; one guard at a time.
struct StartState
{
    QByteArray display; // the display asked for, for the message
    std::mutex lock; // Qt may already log from a thread of its own while it starts
    std::vector<HeldMessage> held;
};
StartState *startState = nullptr;

void sayDisplayFailed(const StartState &state, const QString &fatal)
{
    bool unreachable = false;
    for (const HeldMessage &message : state.held)
        unreachable = unreachable || message.text.contains(QLatin1String("could not connect to display"));
    if (unreachable) {
        std::fprintf(stderr,
            "marovellix : l'affichage graphique « %s » ne répond pas : aucun serveur d'affichage\n"
            "n'accepte la connexion.\n",
            state.display.constData());
    } else {
        std::fputs("marovellix : l'affichage graphique n'a pas pu être ouvert. Qt a dit :\n", stderr);
        for (const HeldMessage &message : state.held)
            std::fprintf(stderr, "    %s\n", message.text.toLocal8Bit().constData());
        std::fprintf(stderr, "    %s\n", fatal.toLocal8Bit().constData());
    }
    std::fputs(kVirtualDisplayAdvice, stderr);
}

void holdDuringStart(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    if (type == QtFatalMsg) {
        // Qt would abort (status 134) right after this message: the display could not be opened.
        const std::lock_guard<std::mutex> guard(startState->lock);
        sayDisplayFailed(*startState, text);
        std::fflush(stderr);
        std::_Exit(1);
    }
    const std::lock_guard<std::mutex> guard(startState->lock);
    startState->held.push_back({ type, QByteArray(context.category ? context.category : "default"), text });
}

QByteArray displayAskedFor(int argc, char *argv[])
{
    if (const char *named = argumentValue(argc, argv, "display"))
        return named;
    if (const char *x11 = std::getenv("DISPLAY"); isSet(x11))
        return x11;
    if (const char *wayland = std::getenv("WAYLAND_DISPLAY"); isSet(wayland))
        return wayland;
    return {};
}

} // namespace

DisplayStartGuard::DisplayStartGuard(int argc, char *argv[])
{
    startState = new StartState;
    startState->display = displayAskedFor(argc, argv);
    previous_ = qInstallMessageHandler(holdDuringStart);
}

DisplayStartGuard::~DisplayStartGuard()
{
    qInstallMessageHandler(previous_);
    StartState *state = startState;
    startState = nullptr;
    for (const HeldMessage &message : state->held)
        previous_(message.type, QMessageLogContext(nullptr, 0, nullptr, message.category.constData()), message.text);
    delete state;
}

bool graphicalDisplayMissing(int argc, char *argv[], const DisplayEnvironment &environment)
{
    const char *platform = argumentValue(argc, argv, "platform");
    if (!platform)
        platform = environment.qpaPlatform;
    if (isSet(platform) && !onlyDesktopPlatforms(platform))
        return false;
    return !isSet(environment.x11Display) && !isSet(environment.waylandDisplay)
        && !isSet(argumentValue(argc, argv, "display"));
}

std::optional<int> refuseWithoutDisplay(int argc, char *argv[])
{
#ifdef __linux__
    const DisplayEnvironment environment { std::getenv("QT_QPA_PLATFORM"), std::getenv("DISPLAY"),
        std::getenv("WAYLAND_DISPLAY") };
    if (graphicalDisplayMissing(argc, argv, environment)) {
        std::fputs("marovellix : ce programme a besoin d'un affichage graphique, et il n'y en a pas\n"
                   "(ni DISPLAY ni WAYLAND_DISPLAY).\n",
            stderr);
        std::fputs(kVirtualDisplayAdvice, stderr);
        return 1;
    }
#else
    (void)argc;
    (void)argv;
#endif
    return std::nullopt;
}

} // namespace mvx
