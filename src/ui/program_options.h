#pragma once

#include <optional>

namespace mvx {

// Answers --help and --version before any window or display is needed, the way the command-line
// tool does: returns the exit status when one of them was asked, nothing when the program should
// start. The rest of the arguments is left to Qt (-platform, -style...).
std::optional<int> answerInformationOptions(int argc, char *argv[]);

} // namespace mvx
