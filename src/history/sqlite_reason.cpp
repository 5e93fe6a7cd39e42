#include "history/sqlite_reason.h"

#include <QFileInfo>
#include <QStorageInfo>

namespace mvx {

namespace {

int primaryCode(const QSqlError &error)
{
    return error.nativeErrorCode().toInt() & 0xff;
}

// Less than this left on the disk is a full disk: SQLite writes whole pages and a journal.
constexpr qint64 kFullDiskBytes = 256 * 1024;

bool diskFull(const QString &path)
{
    const QStorageInfo storage(QFileInfo(path).absolutePath());
    return storage.isValid() && storage.bytesAvailable() >= 0 && storage.bytesAvailable() < kFullDiskBytes;
}

// SQLite writes its journal beside the file: a writable file in a folder that is not cannot be
// written either.
QString readOnlyReason(const QString &path)
{
    const QFileInfo file(path);
    if (file.exists() && !file.isWritable())
        return QStringLiteral("le fichier est en lecture seule");
    if (!QFileInfo(file.absolutePath()).isWritable())
        return QStringLiteral("le dossier du fichier est en lecture seule (le programme doit pouvoir y écrire à "
                              "côté du fichier)");
    return QStringLiteral("le fichier ne peut pas être écrit");
}

} // namespace

bool isBusyError(const QSqlError &error)
{
    const int code = primaryCode(error);
    return code == 5 || code == 6; // SQLITE_BUSY, SQLITE_LOCKED
}

QString sqliteReason(const QSqlError &error, const QString &path)
{
    const QString text = error.databaseText().isEmpty() ? error.text() : error.databaseText();
    switch (primaryCode(error)) {
    case 5: // SQLITE_BUSY
    case 6: // SQLITE_LOCKED
        return QStringLiteral("le fichier est occupé par un autre programme");
    case 7: // SQLITE_NOMEM
        return QStringLiteral("la mémoire manque");
    case 8: // SQLITE_READONLY
        return readOnlyReason(path);
    case 10: // SQLITE_IOERR: the system's error is not passed on; a full disk is the common one
        if (diskFull(path))
            return QStringLiteral("le disque est plein");
        return QStringLiteral("erreur de lecture ou d'écriture sur le disque");
    case 13: // SQLITE_FULL
        return QStringLiteral("le disque est plein");
    case 14: // SQLITE_CANTOPEN
        if (QFileInfo::exists(path) && !QFileInfo(QFileInfo(path).absolutePath()).isWritable())
            return readOnlyReason(path);
        return QStringLiteral("le fichier ne peut pas être ouvert");
    case 11: // SQLITE_CORRUPT
    case 26: // SQLITE_NOTADB
        return QStringLiteral("le fichier est endommagé");
    case 23: // SQLITE_AUTH
    case 3: // SQLITE_PERM
        return QStringLiteral("l'accès au fichier est refusé");
    case 1: // SQLITE_ERROR: the text tells which
        if (text.contains(QLatin1String("unsupported file format")))
            return QStringLiteral("le fichier a été écrit par une version plus récente de SQLite");
        if (text.contains(QLatin1String("no such table")) || text.contains(QLatin1String("no such column"))
            || text.contains(QLatin1String("has no column")))
            return QStringLiteral("le fichier n'a pas les tables d'un historique des courses");
        if (text.contains(QLatin1String("integer overflow")))
            return QStringLiteral("un total dépasse ce que l'historique peut compter");
        break;
    default:
        break;
    }
    if (error.nativeErrorCode().isEmpty())
        return QStringLiteral("erreur inconnue de la base de données");
    return QStringLiteral("erreur de la base de données (code SQLite %1)").arg(error.nativeErrorCode());
}

} // namespace mvx
