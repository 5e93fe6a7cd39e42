// The system's reasons for a failed file operation, said in French whatever the locale.

#include "model/system_reason.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

TEST(SystemReason, TheCLibrarysEnglishTextsAndQtsOwnAreFrenchWithoutAFrenchLocale)
{
    // The C library's own words for the usual faults, whatever the test's locale is.
    EXPECT_EQ(mvx::frenchSystemReason(QStringLiteral("No such file or directory")),
        QStringLiteral("Aucun fichier ou dossier de ce nom"));
    EXPECT_EQ(mvx::frenchSystemReason(QStringLiteral("Is a directory")), QStringLiteral("Est un dossier"));
    EXPECT_EQ(mvx::frenchSystemReason(QStringLiteral("Read-only file system")),
        QStringLiteral("Système de fichiers en lecture seule"));
    EXPECT_EQ(mvx::frenchSystemReason(QString::fromLocal8Bit(std::strerror(ENOSPC))),
        QStringLiteral("Aucun espace disponible sur le disque"));
    // Qt's own text for a folder opened as a file.
    EXPECT_EQ(mvx::frenchSystemReason(QStringLiteral("file to open is a directory")), QStringLiteral("Est un dossier"));
    // A text that is no system reason comes back as it was.
    EXPECT_EQ(mvx::frenchSystemReason(QStringLiteral("Disque plein")), QStringLiteral("Disque plein"));
}

TEST(SystemReason, TheToolWithNoLanguageSetQuotesTheReasonsInFrench)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString tickets = dir.filePath(QStringLiteral("t.txt"));
    QFile file(tickets);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("1,2,3,\r\n");
    file.close();
    const QString folder = dir.filePath(QStringLiteral("dossier"));
    ASSERT_TRUE(QDir().mkpath(folder));

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : { "LANG", "LC_ALL", "LC_MESSAGES", "LANGUAGE" })
        environment.remove(QString::fromLatin1(name));
    const auto run = [&](const QStringList &args) {
        QProcess p;
        p.setProcessEnvironment(environment);
        p.start(QStringLiteral(MAROVELLIX_CLI), args);
        EXPECT_TRUE(p.waitForFinished(60000));
        EXPECT_EQ(p.exitCode(), 1) << args.join(QLatin1Char(' ')).toStdString();
        return QString::fromUtf8(p.readAllStandardError());
    };

    const QString missing = run({ "compare", "-a", "1,2,3", dir.filePath(QStringLiteral("absent.txt")) });
    EXPECT_TRUE(missing.contains(QStringLiteral(": Aucun fichier ou dossier de ce nom"))) << missing.toStdString();
    const QString asTickets = run({ "compare", "-a", "1,2,3", folder });
    EXPECT_TRUE(asTickets.contains(QStringLiteral(": Est un dossier"))) << asTickets.toStdString();
    const QString asRapports = run({ "compare", "-a", "1,2,3", "--rapports", folder, tickets });
    EXPECT_TRUE(asRapports.contains(QStringLiteral(": Est un dossier"))) << asRapports.toStdString();
    const QString forecasts = run({ "synthesis", "--points", "10,5", folder });
    EXPECT_TRUE(forecasts.contains(QStringLiteral("Est un dossier"))) << forecasts.toStdString();
    for (const QString &said : { missing, asTickets, asRapports, forecasts }) {
        EXPECT_FALSE(said.contains(QStringLiteral("directory"))) << said.toStdString();
    }
}
