#pragma once

#include <QString>

namespace mvx {

// The folder of the running executable, ending with a separator. The settings file, the help
// file and the companion program are looked for there.
QString programFolder();

} // namespace mvx
