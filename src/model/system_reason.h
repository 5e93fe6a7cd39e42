#pragma once

#include <QString>

namespace mvx {

// The reason the system gave for a failed file operation (QFile::errorString()), in French where
// a French text exists: Qt's own English texts through Qt's French translation when the
// application has loaded it, the C library's messages (in the program's language or in English)
// through the program's own French texts for the usual file errors, or else through a French
// locale when the system has one; whatever the locale. Any other text comes back as it was.
QString frenchSystemReason(const QString &reason);

} // namespace mvx
