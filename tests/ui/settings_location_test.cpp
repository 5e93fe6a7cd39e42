// Where an installed program keeps its settings: the program's folder while it can write there
// at start-up, else the user's configuration folder. The program's folder is made read-only for
// real: by its permission bits for an ordinary user, by a read-only bind mount private to this
// test process where permission bits stop nothing (root).
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

#include <sys/stat.h>

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

// True when clearing a folder's write bits stops this process writing there: false for root
// and for anyone holding CAP_DAC_OVERRIDE.
bool probePermissionBits()
{
    QTemporaryDir probe;
    if (!probe.isValid() || chmod(QFile::encodeName(probe.path()).constData(), 0555) != 0)
        return false;
    QFile file(probe.filePath(QStringLiteral("probe")));
    const bool refused = !file.open(QIODevice::WriteOnly);
    chmod(QFile::encodeName(probe.path()).constData(), 0755);
    return refused;
}

bool permissionBitsHold()
{
    static const bool hold = probePermissionBits();
    return hold;
}

// Makes a folder read-only the way this process cannot get round, and writable again at the end.
class ReadOnlyFolder
{
public:
    // Empty when folders can be made read-only here, else the reason they cannot.
    static QString unavailableReason() { return permissionBitsHold() ? QString() : MountSandbox::unavailableReason(); }

    ~ReadOnlyFolder()
    {
        for (const QByteArray &folder : std::as_const(chmodded_))
            chmod(folder.constData(), 0755);
    }

    bool make(const QString &folder)
    {
        if (!permissionBitsHold())
            return mounts_.bindReadOnly(folder);
        const QByteArray path = QFile::encodeName(folder);
        if (chmod(path.constData(), 0555) != 0) {
            error_ = QStringLiteral("cannot clear the write bits of %1").arg(folder);
            return false;
        }
        chmodded_.append(path);
        return true;
    }

    QString lastError() const { return error_.isEmpty() ? mounts_.lastError() : error_; }

private:
    MountSandbox mounts_;
    QList<QByteArray> chmodded_;
    QString error_;
};

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
    if (const QString why = ReadOnlyFolder::unavailableReason(); !why.isEmpty())
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
    ReadOnlyFolder readOnly;
    QVERIFY2(readOnly.make(programFolder()), qPrintable(readOnly.lastError()));

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
    ReadOnlyFolder readOnly;
    ScriptedPlatform platform;
    platform.folder = programFolder();
    Application app(platform);
    // The folder turns read-only after the start: the save fails there with the usual message,
    // and nothing goes to the configuration folder.
    QVERIFY2(readOnly.make(programFolder()), qPrintable(readOnly.lastError()));
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
