#include "model/program_folder.h"
#include "model/settings_file.h"
#include "model_test_support.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace mvx;
using mvx::testing::littleEndian;
using mvx::testing::OrderedPlatform;
using mvx::testing::readBytes;
using mvx::testing::writeBytes;

namespace {

std::array<std::int32_t, 20> points(std::initializer_list<std::int32_t> first)
{
    std::array<std::int32_t, 20> p {};
    std::copy(first.begin(), first.end(), p.begin());
    return p;
}

void expectDefaults(const SettingsRecord &s)
{
    EXPECT_EQ(s.interfaceLanguage, 1);
    EXPECT_EQ(s.horizontalAdjustment, 0);
    EXPECT_EQ(s.verticalAdjustment, 0);
    EXPECT_EQ(s.defaultsMarker, 1);
    EXPECT_EQ(s.savedPointsByPosition, points({}));
}

class SettingsFile : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    QString path() const { return settingsFilePath(folder); }

    QTemporaryDir dir;
    QString folder = dir.path() + QLatin1Char('/');
    GameState state;
    OrderedPlatform platform;
};

} // namespace

TEST_F(SettingsFile, FirstRunThenCloseWritesTheDocumentedRecordWhichTheNextStartReads)
{
    EXPECT_EQ(path(), folder + "MAROVELL.PAR");
    EXPECT_FALSE(loadSettings(folder, state.settings));
    expectDefaults(state.settings);
    EXPECT_EQ(state.settings.reserved0, 0);
    EXPECT_FALSE(QFileInfo::exists(path())) << "loading never creates the file";

    // The start-up's default points for 8 horses per forecast, then a close without changes.
    state.pointsByPosition = points({ 8, 7, 6, 5, 4, 3, 2, 1 });
    EXPECT_TRUE(saveSettings(state, folder, platform));
    EXPECT_TRUE(platform.events.isEmpty());

    QByteArray expected(112, '\0');
    expected[4] = 1; // French
    expected[28] = 1; // defaults applied
    for (int p = 0; p < 8; ++p)
        expected[32 + 4 * p] = char(8 - p);
    EXPECT_EQ(readBytes(path()).toHex(' '), expected.toHex(' '));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList { "MAROVELL.PAR" })
        << "no temporary file is left behind";

    GameState next;
    EXPECT_TRUE(loadSettings(folder, next.settings));
    EXPECT_EQ(next.settings.savedPointsByPosition, points({ 8, 7, 6, 5, 4, 3, 2, 1 }));
    EXPECT_EQ(next.settings.interfaceLanguage, 1);
    EXPECT_EQ(next.settings.defaultsMarker, 1);
}

TEST_F(SettingsFile, AdjustmentsAndReservedFieldsGoBackAsTheyAreAndALongFileShrinks)
{
    // English, odd reserved values and 88 bytes of junk after the record.
    QByteArray file = littleEndian({ 0x11223344, 2, -1, 7, 0x7fffffff, 3, -4, 0, 10, 9, 8 });
    file += littleEndian({ 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0 });
    ASSERT_EQ(file.size(), 112);
    writeBytes(path(), file + QByteArray(88, 'x'));

    ASSERT_TRUE(loadSettings(folder, state.settings));
    EXPECT_EQ(state.settings.reserved0, 0x11223344);
    EXPECT_EQ(state.settings.interfaceLanguage, 2);
    EXPECT_EQ(state.settings.reserved8, (std::array<std::int32_t, 3> { -1, 7, 0x7fffffff }));
    EXPECT_EQ(state.settings.horizontalAdjustment, 3);
    EXPECT_EQ(state.settings.verticalAdjustment, -4);
    EXPECT_EQ(state.settings.defaultsMarker, 0);
    EXPECT_EQ(state.settings.savedPointsByPosition, points({ 10, 9, 8 }));

    // The settings dialog's adjustments, then the close.
    state.settings.horizontalAdjustment = -5;
    state.settings.verticalAdjustment = 12;
    state.pointsByPosition = points({ 3, 2, 1 });
    ASSERT_TRUE(saveSettings(state, folder, platform));
    EXPECT_EQ(state.settings.savedPointsByPosition, points({ 3, 2, 1 }));

    const QByteArray written = readBytes(path());
    ASSERT_EQ(written.size(), 112) << "the next save writes one record only";
    EXPECT_EQ(written.mid(20, 4).toHex(), "fbffffff");
    EXPECT_EQ(written.mid(24, 4).toHex(), "0c000000");
    EXPECT_EQ(written.left(20), file.left(20)) << "reserved fields and the language are written as read";
    EXPECT_EQ(written.mid(28, 4), file.mid(28, 4));
    EXPECT_EQ(written.mid(32), littleEndian({ 3, 2, 1 }) + QByteArray(68, '\0'));
    EXPECT_EQ(decodeSettings(written).horizontalAdjustment, -5);
}

TEST_F(SettingsFile, AShortFileIsDeletedAndTheNextSaveWritesAWholeRecord)
{
    for (int size : { 50, 0, 111 }) {
        SCOPED_TRACE(size);
        writeBytes(path(), QByteArray(size, '\x05'));
        SettingsRecord settings;
        settings.reserved0 = 77;
        settings.interfaceLanguage = 2;
        settings.savedPointsByPosition[4] = 9;
        EXPECT_FALSE(loadSettings(folder, settings));
        EXPECT_FALSE(QFileInfo::exists(path()));
        expectDefaults(settings);
        EXPECT_EQ(settings.reserved0, 77) << "the defaults leave the reserved fields alone";
    }
    state.pointsByPosition = points({ 5, 4, 3, 2, 1 });
    ASSERT_TRUE(saveSettings(state, folder, platform));
    EXPECT_EQ(readBytes(path()).size(), 112);
}

TEST_F(SettingsFile, AFirstSavedPointOfZeroIsLoadedAsItIsAndReplacedAtTheNextSave)
{
    writeBytes(path(), littleEndian({ 0, 1, 0, 0, 0, 0, 0, 1, 0, 6, 5, 4, 3 }) + QByteArray(60, '\0'));
    ASSERT_TRUE(loadSettings(folder, state.settings));
    EXPECT_EQ(state.settings.savedPointsByPosition, points({ 0, 6, 5, 4, 3 }));

    // The start-up then falls back to the default points, which the close writes.
    state.pointsByPosition = points({ 8, 7, 6, 5, 4, 3, 2, 1 });
    ASSERT_TRUE(saveSettings(state, folder, platform));
    EXPECT_EQ(readBytes(path()).mid(32, 36), littleEndian({ 8, 7, 6, 5, 4, 3, 2, 1, 0 }));
}

TEST_F(SettingsFile, WhatCannotBeOpenedIsKeptWhatCannotBeReadIsDeleted)
{
    // A folder under the settings file's name: not opened, kept, and the save cannot replace it.
    ASSERT_TRUE(QDir(dir.path()).mkdir("MAROVELL.PAR"));
    state.settings.interfaceLanguage = 2;
    EXPECT_FALSE(loadSettings(folder, state.settings));
    expectDefaults(state.settings);
    EXPECT_TRUE(QFileInfo(path()).isDir());
    EXPECT_FALSE(saveSettings(state, folder, platform));
    EXPECT_EQ(platform.events, mvx::testing::notSavedEvents());
    EXPECT_EQ(platform.messages.back().buttons, Platform::Buttons::Ok);
    EXPECT_TRUE(QFileInfo(path()).isDir());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList {});
    ASSERT_TRUE(QDir(dir.path()).rmdir("MAROVELL.PAR"));

    // A pipe would block a reader that waits for 112 bytes: it is not read, and kept.
    ASSERT_EQ(mkfifo(QFile::encodeName(path()).constData(), 0600), 0);
    state.settings.interfaceLanguage = 2;
    EXPECT_FALSE(loadSettings(folder, state.settings));
    EXPECT_EQ(state.settings.interfaceLanguage, 1);
    EXPECT_TRUE(QFileInfo::exists(path()));
    ASSERT_TRUE(QFile::remove(path()));

    // A file that opens for reading and writing but fails to read: this process's own memory
    // file, whose first page is never mapped. The name is deleted, the defaults applied.
    ASSERT_TRUE(QFile::link("/proc/self/mem", path()));
    state.settings.interfaceLanguage = 2;
    EXPECT_FALSE(loadSettings(folder, state.settings));
    EXPECT_EQ(state.settings.interfaceLanguage, 1);
    EXPECT_FALSE(QFileInfo(path()).isSymLink());
}

TEST(ProgramFolder, IsTheFolderOfTheRunningExecutableWithItsSeparator)
{
    const QString without = programFolder();
    EXPECT_TRUE(without.endsWith('/'));
    EXPECT_TRUE(QFileInfo(without + "model_tests").isExecutable()) << without.toStdString();

    int argc = 1;
    char name[] = "model_tests";
    char *argv[] = { name, nullptr };
    QCoreApplication app(argc, argv);
    EXPECT_EQ(programFolder(), without);
    EXPECT_EQ(settingsFilePath(programFolder()), without + "MAROVELL.PAR");
}

// The one save of settings, stakes and games: through a symbolic link it writes where the link
// leads (creating a dangling link's target), the link staying; a FIFO is refused and stays one.
TEST(AtomicSave, ALinkStaysALinkAndAFifoIsNeverReplaced)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString target = dir.filePath(QStringLiteral("vrai.PAR"));
    const QString link = dir.filePath(QStringLiteral("MAROVELL.PAR"));
    writeBytes(target, "old");
    ASSERT_TRUE(QFile::link(QStringLiteral("vrai.PAR"), link));
    EXPECT_TRUE(writeFileAtomically(link, "new"));
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(readBytes(target), "new");

    const QString dangling = dir.filePath(QStringLiteral("jeu.mvx"));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("sous")));
    ASSERT_TRUE(QFile::link(QStringLiteral("sous/../ailleurs.mvx"), dangling));
    EXPECT_TRUE(writeFileAtomically(dangling, "jeu"));
    EXPECT_TRUE(QFileInfo(dangling).isSymLink());
    EXPECT_EQ(readBytes(dir.filePath(QStringLiteral("ailleurs.mvx"))), "jeu");

    const QByteArray fifo = QFile::encodeName(dir.filePath(QStringLiteral("tube")));
    ASSERT_EQ(::mkfifo(fifo.constData(), 0600), 0);
    const QString fifoLink = dir.filePath(QStringLiteral("vers-tube"));
    ASSERT_TRUE(QFile::link(QStringLiteral("tube"), fifoLink));
    for (const QString &name : { QFile::decodeName(fifo), fifoLink }) {
        EXPECT_FALSE(writeFileAtomically(name, "x")) << name.toStdString();
        struct stat kept
        {
        };
        ASSERT_EQ(::stat(fifo.constData(), &kept), 0);
        EXPECT_TRUE(S_ISFIFO(kept.st_mode));
    }
    EXPECT_TRUE(QFileInfo(fifoLink).isSymLink());
}

TEST(AtomicSave, ALoopOfLinksIsRefusedAndLeftAsItWas)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString self = dir.filePath(QStringLiteral("boucle.mvx"));
    ASSERT_TRUE(QFile::link(QStringLiteral("boucle.mvx"), self));
    const QString first = dir.filePath(QStringLiteral("aller.PAR"));
    const QString second = dir.filePath(QStringLiteral("retour.PAR"));
    ASSERT_TRUE(QFile::link(QStringLiteral("retour.PAR"), first));
    ASSERT_TRUE(QFile::link(QStringLiteral("aller.PAR"), second));
    for (const QString &name : { self, first }) {
        EXPECT_FALSE(writeFileAtomically(name, "x")) << name.toStdString();
        EXPECT_TRUE(QFileInfo(name).isSymLink()) << name.toStdString();
    }
    EXPECT_EQ(QFileInfo(second).symLinkTarget(), first);
    EXPECT_EQ(
        QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot).size(), 3);
}
