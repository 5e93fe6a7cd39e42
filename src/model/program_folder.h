#pragma once

#include <QString>

namespace mvx {

// The folder of the running executable, ending with a separator. The settings file, the help
// file and the companion program are looked for there.
QString programFolder();

// A file the program ships beside itself (help page, companion program): the one in the
// program's folder when it is there, else the one in the data folder of an installed copy
// (share/marovellix beside the bin folder), else the path in the program's folder.
QString programFile(const QString &programFolder, const QString &name);

// The folder the settings file is kept in, decided once at start-up: the program's folder, as
// long as the program may write there. An installed copy's folder (/usr/bin) is not writable by
// its users, so it keeps the file in the user's configuration folder for this program instead,
// which is created here; the program's folder when there is no such folder either.
QString settingsFolder(const QString &programFolder);

} // namespace mvx
