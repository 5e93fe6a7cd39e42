// Where an installed program keeps its settings: the program's folder while it can write there
// at start-up, else the user's configuration folder. The folders are made read-only for real,
// with read-only bind mounts private to this test process.
#include "../model/mount_sandbox.h"
#include "model/settings_file.h"
#include "support/scripted_platform.h"
#include "ui/Unit1.h"
#include "ui/application.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using mvx::Application;
using mvx::testing::MountSandbox;
using mvx::testing::ScriptedPlatform;

namespace {

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool touch(const QString &path)
{
    QFile file(path);
    return QDir().mkpath(QFileInfo(path).absolutePath()) && file.open(QIODevice::WriteOnly);
}

} // namespace

class SettingsLocationTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void installedProgramKeepsSettingsInConfigFolder();
    void writableAtStartUpKeepsTheProgramFolder();

private:
    // A program folder laid out as an installed copy: root/usr/bin, data in root/usr/share.
    QString programFolder() const { return root.filePath(QStringLiteral("usr/bin/")); }
    QString dataFolder() const { return root.filePath(QStringLiteral("usr/share/marovellix/")); }
    QString configFile() const { return config.filePath(QStringLiteral("MAROVELLIX+/MAROVELL.PAR")); }

    QTemporaryDir root;
    QTemporaryDir config;
};

void SettingsLocationTest::initTestCase()
{
    if (const QString why = MountSandbox::unavailableReason(); !why.isEmpty())
        QSKIP(qPrintable(QStringLiteral("cannot make a folder read-only here: ") + why));
    QVERIFY(root.isValid() && config.isValid());
    QVERIFY(QDir().mkpath(programFolder()));
    QCoreApplication::setApplicationName(QStringLiteral("MAROVELLIX+"));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
}

void SettingsLocationTest::installedProgramKeepsSettingsInConfigFolder()
{
    // The companion program in the data folder, as a package would install it.
    QVERIFY(touch(dataFolder() + QStringLiteral("TORVANE.EXE")));
    MountSandbox sandbox;
    QVERIFY2(sandbox.bindReadOnly(root.filePath(QStringLiteral("usr"))), qPrintable(sandbox.lastError()));

    {
        ScriptedPlatform platform;
        platform.folder = programFolder();
        Application app(platform);
        app.state().settings.horizontalAdjustment = -5;
        app.mainWindow().close();
        QVERIFY(platform.messages.empty());
        QCOMPARE(platform.beeps, 0);
        QCOMPARE(platform.started, QStringList { dataFolder() + QStringLiteral("TORVANE.EXE") });
    }
    const QByteArray bytes = readFile(configFile());
    QCOMPARE(bytes.size(), 112);
    const mvx::SettingsRecord written = mvx::decodeSettings(bytes);
    QCOMPARE(written.horizontalAdjustment, -5);
    QCOMPARE(written.savedPointsByPosition[0], 8);
    QVERIFY(!QFileInfo::exists(programFolder() + QStringLiteral("MAROVELL.PAR")));

    // The next start reads it back from there.
    ScriptedPlatform platform;
    platform.folder = programFolder();
    Application app(platform);
    QCOMPARE(app.state().settings.horizontalAdjustment, -5);
    QCOMPARE(app.state().settings.savedPointsByPosition[0], 8);
}

void SettingsLocationTest::writableAtStartUpKeepsTheProgramFolder()
{
    QFile::remove(configFile());
    QVERIFY(touch(programFolder() + QStringLiteral("TORVANE.EXE")));
    MountSandbox sandbox;
    ScriptedPlatform platform;
    platform.folder = programFolder();
    Application app(platform);
    // The folder turns read-only after the start: the save fails there with the usual message,
    // and nothing goes to the configuration folder.
    QVERIFY2(sandbox.bindReadOnly(root.filePath(QStringLiteral("usr"))), qPrintable(sandbox.lastError()));
    app.mainWindow().close();
    QCOMPARE(platform.messageTexts(), QStringList { QStringLiteral("Il y a eu un problème") });
    QCOMPARE(platform.beeps, 1);
    QVERIFY(!QFileInfo::exists(configFile()));
    QVERIFY(!QFileInfo::exists(programFolder() + QStringLiteral("MAROVELL.PAR")));
    // The companion beside the program comes before the installed one.
    QCOMPARE(platform.started, QStringList { programFolder() + QStringLiteral("TORVANE.EXE") });
}

QTEST_MAIN(SettingsLocationTest)
#include "settings_location_test.moc"
