#pragma once

#include <QString>

namespace mvx {

// The reason the system gave for a failed file operation (QFile::errorString()), in French where
// a French text exists: Qt's own English texts through Qt's French translation when the
// application has loaded it, the C library's messages through a French locale when the system
// has one. Any other text comes back as it was.
QString frenchSystemReason(const QString &reason);

} // namespace mvx
