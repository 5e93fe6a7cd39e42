#include "ui/display_check.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

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

} // namespace

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
                   "(ni DISPLAY ni WAYLAND_DISPLAY). Démarrez-le depuis une session de bureau, ou sous un\n"
                   "affichage virtuel (paquets Debian xvfb et xauth) :\n"
                   "    xvfb-run -a marovellix\n",
            stderr);
        return 1;
    }
#else
    (void)argc;
    (void)argv;
#endif
    return std::nullopt;
}

} // namespace mvx
