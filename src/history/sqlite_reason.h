#pragma once

#include <QSqlError>
#include <QString>

// What SQLite said, as the punter reads it: in French whatever the locale, never SQLite's own
// English text.
namespace mvx {

// The reason for a failure on the history file at `path` (the file's folder and disk are
// looked at to tell a read-only folder from a read-only file and a full disk from another
// write error).
QString sqliteReason(const QSqlError &error, const QString &path);

// SQLITE_BUSY or SQLITE_LOCKED: a lock held by another connection.
bool isBusyError(const QSqlError &error);

} // namespace mvx
