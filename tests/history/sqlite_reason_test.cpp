#include "history/sqlite_reason.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <unistd.h>

using namespace mvx;

namespace {

QSqlError sqliteError(const char *text, int code)
{
    return QSqlError(QStringLiteral("Unable to execute statement"), QString::fromLatin1(text),
        QSqlError::StatementError, QString::number(code));
}

} // namespace

// SQLite's English never reaches the punter: each reason a user can act on is said in French,
// and any other is named by its code.
TEST(SqliteReason, EveryReasonIsSaidInFrench)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("h.sqlite"));
    const std::pair<QSqlError, QString> cases[] = {
        { sqliteError("unsupported file format", 1), QStringLiteral("une version plus récente de SQLite") },
        { sqliteError("no such column: count", 1), QStringLiteral("n'a pas les tables d'un historique") },
        { sqliteError("no such table: races", 1), QStringLiteral("n'a pas les tables d'un historique") },
        { sqliteError("integer overflow", 1), QStringLiteral("un total dépasse") },
        { sqliteError("database or disk is full", 13), QStringLiteral("le disque est plein") },
        { sqliteError("database disk image is malformed", 11), QStringLiteral("endommagé") },
        { sqliteError("file is not a database", 26), QStringLiteral("endommagé") },
        // An extended code keeps its primary code in its low byte: SQLITE_BUSY_SNAPSHOT.
        { sqliteError("database is locked", 517), QStringLiteral("occupé par un autre programme") },
        { sqliteError("something new", 1), QStringLiteral("code SQLite 1") },
        { sqliteError("constraint failed", 19), QStringLiteral("code SQLite 19") },
    };
    for (const auto &[error, words] : cases) {
        const QString reason = sqliteReason(error, path);
        EXPECT_TRUE(reason.contains(words)) << reason.toStdString();
        EXPECT_FALSE(reason.contains(error.databaseText())) << reason.toStdString();
    }
    EXPECT_TRUE(isBusyError(sqliteError("database table is locked", 6)));
    EXPECT_FALSE(isBusyError(sqliteError("disk I/O error", 10)));
}

// A file SQLite cannot write is told apart from a folder it cannot write its journal in.
TEST(SqliteReason, AReadOnlyFolderIsNotAReadOnlyFile)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "every file and folder is writable by root";
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("lecture"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString path = folder + QStringLiteral("/h.sqlite");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    const QSqlError readOnly = sqliteError("attempt to write a readonly database", 8);

    ASSERT_TRUE(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
    const QString inFolder = sqliteReason(readOnly, path);
    ASSERT_TRUE(QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    EXPECT_TRUE(inFolder.contains(QStringLiteral("le dossier du fichier est en lecture seule")))
        << inFolder.toStdString();

    ASSERT_TRUE(QFile::setPermissions(path, QFile::ReadOwner));
    const QString ofFile = sqliteReason(readOnly, path);
    EXPECT_EQ(ofFile, QStringLiteral("le fichier est en lecture seule"));
}
