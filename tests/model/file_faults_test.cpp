// Saves that fail for real: a read-only folder, read-only files and a full disk, made with
// mounts private to this test process. Each checks that the old file survives byte for byte,
// that the beep comes before the message, and that no temporary file is left behind.
#include "game/game_file.h"
#include "game/ticket_request.h"
#include "model/settings_file.h"
#include "model_test_support.h"
#include "mount_sandbox.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace mvx;
using mvx::testing::MountSandbox;
using mvx::testing::notSavedEvents;
using mvx::testing::OrderedPlatform;
using mvx::testing::readBytes;
using mvx::testing::writeBytes;

namespace {

const QString kQuestion = QStringLiteral("Fichier existant !!: Continuer quand même ?");

class FileFaults : public ::testing::Test
{
protected:
    // Mounts a tmpfs of that size on a fresh folder and puts a settings file (English, shifted
    // printing, own points) and a saved game in it.
    void prepare(const QString &size)
    {
        ASSERT_TRUE(dir.isValid());
        if (const QString why = MountSandbox::unavailableReason(); !why.isEmpty())
            GTEST_SKIP() << "cannot make real file faults here: " << why.toStdString();
        disk = dir.filePath("disque");
        ASSERT_TRUE(QDir().mkpath(disk));
        if (!sandbox.mountTmpfs(disk, "mode=0755,size=" + size))
            GTEST_SKIP() << "cannot make real file faults here: " << sandbox.lastError().toStdString();
        folder = disk + '/';

        SettingsRecord settings;
        settings.interfaceLanguage = 2;
        settings.horizontalAdjustment = -5;
        settings.verticalAdjustment = 12;
        settings.savedPointsByPosition = { 10, 8, 6, 4, 2 };
        oldSettings = encodeSettings(settings);
        writeBytes(settingsFilePath(folder), oldSettings);

        GameFileRecord game;
        game.fileTag = { 3, 'M', 'V', '+' };
        game.gameMode = 1;
        game.systemNumber = 2;
        game.ticketIndex = 6;
        game.horseNumbers = { 4, 9, 1, 12, 6, 3 };
        oldGame = encodeGameRecord(game);
        writeBytes(gamePath(), oldGame);

        state.pointsByPosition = { 8, 7, 6, 5, 4, 3, 2, 1 };
        page.systemNumber = 12;
        page.boxes[0] = QStringLiteral("5");
        page.boxes[1] = QStringLiteral("8");
    }

    QString gamePath() const { return folder + "ancien.mvx"; }
    QStringList files() const { return QDir(disk).entryList(QDir::Files | QDir::Hidden, QDir::Name); }

    void saveGameAs(const QString &path, bool replace)
    {
        platform.fileNames.push_back(path);
        if (replace)
            platform.answers.push_back(Platform::Answer::Yes);
        saveGame(state, page, platform);
    }

    // The old files are exactly as they were.
    void expectIntact()
    {
        EXPECT_EQ(readBytes(settingsFilePath(folder)), oldSettings);
        EXPECT_EQ(readBytes(gamePath()), oldGame);
    }

    // The saves of both files fail with the message, the old files untouched.
    void expectEverySaveFails()
    {
        platform.events.clear();
        EXPECT_FALSE(saveSettings(state, folder, platform));
        EXPECT_EQ(platform.events, notSavedEvents());
        expectIntact();

        platform.events.clear();
        saveGameAs(gamePath(), true);
        EXPECT_EQ(platform.events, QStringList { kQuestion } + notSavedEvents());
        expectIntact();
    }

    QTemporaryDir dir;
    MountSandbox sandbox; // declared after dir: unmounted before the folder is removed
    QString disk;
    QString folder;
    QByteArray oldSettings;
    QByteArray oldGame;
    GameState state;
    TicketRecipe page;
    OrderedPlatform platform;
};

} // namespace

TEST_F(FileFaults, AReadOnlyFolderKeepsTheOldFilesAndEverySaveIsReported)
{
    prepare("1m");
    if (IsSkipped())
        return;
    ASSERT_TRUE(sandbox.remountReadOnly(disk)) << sandbox.lastError().toStdString();

    // At start-up the settings file cannot be opened for writing: French defaults, file kept.
    state.settings.interfaceLanguage = 2;
    EXPECT_FALSE(loadSettings(folder, state.settings));
    EXPECT_EQ(state.settings.interfaceLanguage, 1);
    EXPECT_EQ(state.settings.horizontalAdjustment, 0);
    EXPECT_EQ(state.settings.savedPointsByPosition[0], 0);
    expectIntact();

    expectEverySaveFails();

    platform.events.clear();
    saveGameAs(folder + "nouveau.mvx", false);
    EXPECT_EQ(platform.events, notSavedEvents());
    EXPECT_EQ(files(), (QStringList { "MAROVELL.PAR", "ancien.mvx" }));
}

TEST_F(FileFaults, ReadOnlyFilesInAWritableFolderAreNotReplaced)
{
    prepare("1m");
    if (IsSkipped())
        return;
    ASSERT_TRUE(sandbox.bindReadOnly(settingsFilePath(folder))) << sandbox.lastError().toStdString();
    ASSERT_TRUE(sandbox.bindReadOnly(gamePath())) << sandbox.lastError().toStdString();

    // A read-only settings file with English in it: the program starts in French with the
    // default points, and the file is kept.
    EXPECT_FALSE(loadSettings(folder, state.settings));
    EXPECT_EQ(state.settings.interfaceLanguage, 1);
    EXPECT_EQ(state.settings.verticalAdjustment, 0);
    expectIntact();

    expectEverySaveFails();

    // The folder itself takes a new game.
    platform.events.clear();
    saveGameAs(folder + "nouveau.mvx", false);
    EXPECT_TRUE(platform.events.isEmpty());
    EXPECT_EQ(readBytes(folder + "nouveau.mvx").size(), kGameRecordSize);
    EXPECT_EQ(files(), (QStringList { "MAROVELL.PAR", "ancien.mvx", "nouveau.mvx" }));
}

TEST_F(FileFaults, AFullDiskKeepsTheOldFilesUntilThereIsRoomAgain)
{
    prepare("64k");
    if (IsSkipped())
        return;

    // Fill the disk to the last byte.
    const QByteArray filler = QFile::encodeName(folder + "plein");
    const int fd = ::open(filler.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0);
    const std::string chunk(4096, 'x');
    while (::write(fd, chunk.data(), chunk.size()) == ssize_t(chunk.size())) { }
    while (::write(fd, "x", 1) == 1) { }
    EXPECT_EQ(errno, ENOSPC);
    ::close(fd);
    writeBytes(folder + "essai", {});
    QFile probe(folder + "essai");
    ASSERT_TRUE(probe.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
    EXPECT_EQ(probe.write("x", 1), -1) << "the disk is full";
    probe.close();
    ASSERT_TRUE(QFile::remove(folder + "essai"));

    // Reading still works.
    EXPECT_TRUE(loadSettings(folder, state.settings));
    EXPECT_EQ(state.settings.interfaceLanguage, 2);

    expectEverySaveFails();
    platform.events.clear();
    saveGameAs(folder + "nouveau.mvx", false);
    EXPECT_EQ(platform.events, notSavedEvents());
    EXPECT_EQ(files(), (QStringList { "MAROVELL.PAR", "ancien.mvx", "plein" })) << "no partial file is left";

    // With room again the same saves replace the files.
    ASSERT_TRUE(QFile::remove(folder + "plein"));
    platform.events.clear();
    EXPECT_TRUE(saveSettings(state, folder, platform));
    EXPECT_EQ(decodeSettings(readBytes(settingsFilePath(folder))).savedPointsByPosition[0], 8);
    EXPECT_EQ(decodeSettings(readBytes(settingsFilePath(folder))).interfaceLanguage, 2);
    saveGameAs(gamePath(), true);
    EXPECT_EQ(platform.events, QStringList { kQuestion });
    EXPECT_EQ(decodeGameRecord(readBytes(gamePath()))->systemNumber, 12);
}

// The biggest list the generator offers (20 horses, 5 per ticket, every order: 27 MB), asked
// for as a file over an earlier one, with the earlier list of system 2 in memory.
class TicketFileFaults : public FileFaults
{
protected:
    void prepareTicketFiles(const QString &size)
    {
        prepare(size);
        if (IsSkipped())
            return;
        TicketRecipe system2;
        system2.systemNumber = 2;
        system2.boxes = mvx::testing::selectionBoxes({ "4", "9", "1", "12", "6", "3" });
        ASSERT_TRUE(mvx::prepareTickets(state, system2, TicketDestination::List, platform));
        writeBytes(ticketPath(), earlierTickets);
        all.source = TicketSource::Generator;
        all.generator.horsesToCombine = 20;
        all.generator.horsesPerTicket = 5;
        all.generator.reduced = false;
        for (int h = 1; h <= 20; ++h)
            all.boxes[std::size_t(h - 1)] = QString::number(h);
    }

    QString ticketPath() const { return folder + "tickets.txt"; }

    // Asks for the file; the events of the request after the count question.
    QStringList writeAll()
    {
        platform.answers = { Platform::Answer::Yes };
        platform.fileNames = { ticketPath() };
        platform.events.clear();
        EXPECT_FALSE(mvx::prepareTickets(state, all, TicketDestination::File, platform));
        return platform.events.mid(1);
    }

    // The earlier file and list as they were, and nothing else in the folder.
    void expectEarlierTickets()
    {
        EXPECT_EQ(readBytes(ticketPath()), earlierTickets);
        EXPECT_EQ(files(), (QStringList { "MAROVELL.PAR", "ancien.mvx", "tickets.txt" }));
        EXPECT_EQ(state.tickets.count(), 4);
        EXPECT_EQ(state.selection.otherHorses[6], 3);
    }

    // A folder where the file system has no unnamed temporary files, or the program cannot give
    // them a name: /proc hidden from this process.
    void withoutUnnamedFiles()
    {
        ASSERT_TRUE(sandbox.mountTmpfs("/proc", "size=4k")) << sandbox.lastError().toStdString();
    }

    const QByteArray earlierTickets = "4,9,1,12,6,\r\n";
    TicketRecipe all;
};

TEST_F(TicketFileFaults, AFullDiskLeavesTheEarlierFileAndListAndNoTemporaryFile)
{
    prepareTicketFiles("64k");
    if (IsSkipped())
        return;
    for (bool unnamed : { true, false }) {
        SCOPED_TRACE(unnamed ? "unnamed temporary file" : "hidden temporary file");
        if (!unnamed)
            withoutUnnamedFiles();
        const QStringList events = writeAll();
        ASSERT_EQ(events.size(), 1);
        EXPECT_TRUE(events[0].startsWith(
            "Fichier non sauvegardé !!: Impossible d'écrire les tickets dans le fichier " + ticketPath() + " :\r"));
        EXPECT_GT(events[0].section('\r', 1).size(), 0) << "the system's reason follows";
        expectEarlierTickets();
    }
}

TEST_F(TicketFileFaults, WithHiddenTemporaryFilesAStopLeavesNothingAndAWholeFileKeepsThePermissions)
{
    prepareTicketFiles("64m");
    if (IsSkipped())
        return;
    ASSERT_EQ(::chmod(QFile::encodeName(ticketPath()).constData(), 0640), 0);
    withoutUnnamedFiles();

    platform.stopLongWorkAt = 100000;
    EXPECT_TRUE(writeAll().isEmpty());
    expectEarlierTickets();

    platform.stopLongWorkAt.reset();
    EXPECT_TRUE(writeAll().isEmpty());
    const QByteArray bytes = readBytes(ticketPath());
    EXPECT_EQ(bytes.count('\n'), 1860480);
    EXPECT_TRUE(bytes.startsWith("1,2,3,4,5,\r\n"));
    EXPECT_TRUE(bytes.endsWith("20,19,18,17,16,\r\n"));
    EXPECT_EQ(files(), (QStringList { "MAROVELL.PAR", "ancien.mvx", "tickets.txt" }));
    struct stat replaced
    {
    };
    ASSERT_EQ(::stat(QFile::encodeName(ticketPath()).constData(), &replaced), 0);
    EXPECT_EQ(replaced.st_mode & 07777, 0640u);
    EXPECT_EQ(state.tickets.count(), 1860480);
}
