#include "game/ticket_request.h"

#include "support/scripted_platform.h"
#include "support/test_data.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

using namespace mvx;
using mvx::testing::readBytes;
using mvx::testing::ScriptedPlatform;

namespace {

TicketRecipe generatorPage(std::initializer_list<const char *> horses, int n, int k, int b = 0, bool reduced = true)
{
    TicketRecipe page;
    page.source = TicketSource::Generator;
    page.generator.horsesToCombine = n;
    page.generator.horsesPerTicket = k;
    page.generator.bases.baseCount = b;
    page.generator.reduced = reduced;
    page.boxes = mvx::testing::selectionBoxes(horses);
    return page;
}

TicketRecipe systemPage(int system, std::initializer_list<const char *> horses)
{
    TicketRecipe page = generatorPage(horses, 1, 1);
    page.source = TicketSource::CatalogueSystem;
    page.systemNumber = system;
    return page;
}

// A state that already holds the tickets of system 2, to see that refused requests keep them.
GameState stateWithEarlierList()
{
    GameState state;
    ScriptedPlatform platform;
    EXPECT_TRUE(
        prepareTickets(state, systemPage(2, { "4", "9", "1", "12", "6", "3" }), TicketDestination::List, platform));
    EXPECT_TRUE(platform.messages.empty()) << "a reduced system is never confirmed";
    EXPECT_EQ(platform.waitCursorShown, 1);
    EXPECT_EQ(platform.waitCursorDepth, 0);
    return state;
}

void expectEarlierList(const GameState &state)
{
    EXPECT_EQ(state.tickets.count(), 4);
    EXPECT_EQ(state.tickets.horsesPerTicket(), 5);
    EXPECT_EQ(state.tickets.ticket(4), "ABDEF");
}

} // namespace

TEST(TicketRequest, GeneratorAsksForConfirmationAndNoKeepsTheEarlierList)
{
    GameState state = stateWithEarlierList();
    ScriptedPlatform platform;
    const TicketRecipe page = generatorPage({ "7", "3", "12", "5" }, 4, 2);
    EXPECT_FALSE(prepareTickets(state, page, TicketDestination::List, platform));
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].title, QStringLiteral("Veuillez confirmer"));
    EXPECT_EQ(platform.messages[0].buttons, Platform::Buttons::YesNo);
    EXPECT_TRUE(platform.messages[0].text.contains(QStringLiteral("\n6 tickets \r")));
    expectEarlierList(state);

    platform.answers.push_back(Platform::Answer::Yes);
    EXPECT_TRUE(prepareTickets(state, page, TicketDestination::Print, platform));
    EXPECT_EQ(state.tickets.count(), 6);
    EXPECT_EQ(state.tickets.ticket(6), "CD");
    EXPECT_EQ(platform.waitCursorDepth, 0);
}

TEST(TicketRequest, RefusedSelectionsShowTheirMessagesAndGenerateNothing)
{
    GameState state = stateWithEarlierList();
    ScriptedPlatform platform;
    TicketRecipe bad = generatorPage({ "7", "0", "12" }, 3, 2, 2);
    bad.generator.bases.positions = { 1, 1, 3 };
    EXPECT_FALSE(prepareTickets(state, bad, TicketDestination::List, platform));
    EXPECT_EQ(platform.messageTexts(),
        (QStringList { QStringLiteral("Les numeros saisis ne sont pas corrects"),
            QStringLiteral("Les positions des bases ne sont pas correctes") }));

    platform.messages.clear();
    EXPECT_FALSE(prepareComparison(state, generatorPage({ "7", "3", "7" }, 3, 2), platform));
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text, QStringLiteral("Il y a une erreur dans votre sélection"));
    EXPECT_EQ(platform.messages[0].title, QStringLiteral("Opération impossible"));
    expectEarlierList(state);

    // A reduced system on fewer horses than it takes, on a repeated horse or on a gap: refused
    // the same way by every button, before a file name is asked.
    const Message wrong = messages::wrongGeneratorSelection();
    for (const TicketRecipe &page : { systemPage(2, { "4", "9", "1" }),
             systemPage(2, { "4", "4", "1", "12", "6", "3" }), systemPage(2, { "4", "9", "", "1", "12", "6", "3" }) }) {
        for (TicketDestination destination :
            { TicketDestination::List, TicketDestination::File, TicketDestination::Print }) {
            platform.messages.clear();
            EXPECT_FALSE(prepareTickets(state, page, destination, platform));
            EXPECT_EQ(platform.messageTexts(), QStringList { wrong.text });
        }
        platform.messages.clear();
        EXPECT_FALSE(prepareComparison(state, page, platform));
        ASSERT_EQ(platform.messages.size(), 1u);
        EXPECT_EQ(platform.messages[0].title, wrong.title);
    }
    EXPECT_TRUE(platform.fileDialogs.empty());
    expectEarlierList(state);
    // Boxes past the six that system 2 takes are not looked at.
    EXPECT_TRUE(checkTicketRequest(systemPage(2, { "4", "9", "1", "12", "6", "3", "4" })).empty());
}

TEST(TicketRequest, TicketFileHoldsOneCommaTerminatedLinePerTicket)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("tickets.txt"));
    {
        QFile old(path);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("an older and much longer file that must be replaced without a question\r\n");
    }
    GameState state = stateWithEarlierList();
    ScriptedPlatform platform;
    platform.answers.push_back(Platform::Answer::Yes);
    platform.fileNames.push_back(path);
    TicketRecipe page = generatorPage({ "7", "3", "12", "5" }, 4, 3, 1);
    page.generator.bases.positions = { 2, 2, 3 };
    EXPECT_FALSE(prepareTickets(state, page, TicketDestination::File, platform));

    ASSERT_EQ(platform.fileDialogs.size(), 1u);
    const Platform::FileDialog &asked = platform.fileDialogs[0];
    EXPECT_EQ(asked.title, QStringLiteral("Indiquer le nom du fichier à enregistrer"));
    EXPECT_EQ(asked.filter, QStringLiteral("Fichier texte (*.txt)|*.txt"));
    EXPECT_EQ(asked.defaultExtension, QStringLiteral("txt"));
    EXPECT_FALSE(asked.confirmOverwrite);
    EXPECT_EQ(readBytes(path), QByteArray("3,7,12,\r\n3,7,5,\r\n12,7,5,\r\n"));
    // The list now only counts the lines written.
    EXPECT_EQ(state.tickets.count(), 3);
    EXPECT_FALSE(state.tickets.holdsLetters());
    EXPECT_TRUE(state.tickets.ticket(1).empty());
    EXPECT_EQ(platform.messages.size(), 1u) << "only the confirmation";

    // Every base, no other horse: one line with the bases in position order.
    platform.answers.push_back(Platform::Answer::Yes);
    platform.fileNames.push_back(path);
    TicketRecipe allBases = generatorPage({ "12", "5" }, 2, 2, 2);
    allBases.generator.bases.positions = { 2, 1, 3 };
    prepareTickets(state, allBases, TicketDestination::File, platform);
    EXPECT_EQ(readBytes(path), QByteArray("5,12,\r\n"));
}

TEST(TicketRequest, CancellingTheFileDialogWritesNothingAndKeepsTheList)
{
    QTemporaryDir dir;
    GameState state = stateWithEarlierList();
    ScriptedPlatform platform;
    platform.answers.push_back(Platform::Answer::Yes);
    EXPECT_FALSE(prepareTickets(state, generatorPage({ "1", "2", "3" }, 3, 2), TicketDestination::File, platform));
    EXPECT_EQ(platform.fileDialogs.size(), 1u);
    EXPECT_EQ(platform.waitCursorShown, 0);
    expectEarlierList(state);
}

TEST(TicketRequest, FilesThatCannotBeWrittenAreReportedWithTheirName)
{
    GameState state = stateWithEarlierList();
    ScriptedPlatform platform;
    QTemporaryDir dir;
    const QString nowhere = dir.filePath(QStringLiteral("missing-folder/tickets.txt"));
    platform.fileNames = { nowhere, QStringLiteral("/dev/full") };
    const TicketRecipe page = systemPage(2, { "4", "9", "1", "12", "6", "3" });

    prepareTickets(state, page, TicketDestination::File, platform);
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_TRUE(platform.messages[0].text.contains(nowhere));
    EXPECT_EQ(platform.messages[0].title, QStringLiteral("Fichier non sauvegardé !!"));
    expectEarlierList(state);

    // A device that is full, written in place: the reason is given, the list stays the earlier one.
    prepareTickets(state, page, TicketDestination::File, platform);
    ASSERT_EQ(platform.messages.size(), 2u);
    EXPECT_TRUE(platform.messages[1].text.contains(QStringLiteral("/dev/full")));
    EXPECT_TRUE(platform.messages[1].text.contains(QStringLiteral("space"), Qt::CaseInsensitive))
        << platform.messages[1].text.toStdString();
    EXPECT_EQ(platform.waitCursorDepth, 0);
    expectEarlierList(state);
}

// A disk that fills up in the middle of the file, in a child process whose files may not grow
// past a million bytes: the earlier file, the list and the selection stay, and no temporary
// file is left.
TEST(TicketRequest, AWriteFailureLeavesTheEarlierFileAndList)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("tickets.txt"));
    const QByteArray earlier("an earlier file\r\n");
    mvx::testing::writeBytes(path, earlier);
    const auto writeUntilTheLimit = [&] {
        const rlimit limit { 1000000, 1000000 };
        setrlimit(RLIMIT_FSIZE, &limit);
        std::signal(SIGXFSZ, SIG_IGN);
        GameState state = stateWithEarlierList();
        ScriptedPlatform platform;
        platform.answers.push_back(Platform::Answer::Yes);
        platform.fileNames.push_back(path);
        prepareTickets(state, generatorPage({ "1", "12", "3", "10", "5", "8", "7", "6", "9", "4" }, 10, 6, 0, false),
            TicketDestination::File, platform);
        const bool reported = platform.messages.size() == 2
            && platform.messages[1].title == QStringLiteral("Fichier non sauvegardé !!");
        const bool fileKept = readBytes(path) == earlier
            && QDir(dir.path()).entryList(QDir::Files | QDir::Hidden) == QStringList { QStringLiteral("tickets.txt") };
        const bool listKept = state.tickets.count() == 4 && state.selection.otherHorses[1] == 4;
        std::exit((reported ? 0 : 1) + (fileKept ? 0 : 2) + (listKept ? 0 : 4));
    };
    EXPECT_EXIT(writeUntilTheLimit(), ::testing::ExitedWithCode(0), "");
}

TEST(TicketRequest, ListsTooBigForMemoryAreRefusedBeforeTheCountQuestion)
{
    GameState state = stateWithEarlierList();
    ScriptedPlatform platform;
    platform.answers.push_back(Platform::Answer::Yes);
    std::initializer_list<const char *> twenty = { "1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11", "12", "13",
        "14", "15", "16", "17", "18", "19", "20" };
    EXPECT_FALSE(prepareTickets(state, generatorPage(twenty, 20, 8, 0, false), TicketDestination::List, platform));
    ASSERT_EQ(platform.messages.size(), 1u) << "no count to confirm for a list that cannot be kept";
    EXPECT_EQ(platform.messages[0].title, QStringLiteral("Opération impossible"));
    EXPECT_TRUE(platform.messages[0].text.contains(QStringLiteral("5079110400")));
    EXPECT_TRUE(platform.messages[0].text.contains(QStringLiteral("Générer un fichier")));
    expectEarlierList(state);

    // 390,700,800 tickets of 7 letters (2.7 GB) beside what the program already holds, on a
    // machine of 8 GB: the tightest of the limits decides.
    const TicketLayout seven { 7, 0, { 1, 2, 3 } };
    const std::uint64_t gb = std::uint64_t(1) << 30;
    MemoryLimits roomy;
    roomy.physical = 8 * gb;
    roomy.available = 6 * gb;
    EXPECT_FALSE(checkTicketListFits(390700800u, seven, 0, roomy).has_value());
    EXPECT_TRUE(checkTicketListFits(390700800u, seven, 2 * gb, roomy).has_value()) << "an old list of 2 GB held";
    MemoryLimits tight = roomy;
    tight.groupLeft = 2 * gb;
    EXPECT_TRUE(checkTicketListFits(390700800u, seven, 0, tight).has_value()) << "a control group of 2 GB";
    tight = roomy;
    tight.addressSpaceLeft = 2 * gb;
    EXPECT_TRUE(checkTicketListFits(390700800u, seven, 0, tight).has_value()) << "an address-space limit";
    tight = roomy;
    tight.available = gb;
    EXPECT_TRUE(checkTicketListFits(390700800u, seven, 0, tight).has_value()) << "little memory free";
    EXPECT_TRUE(checkTicketListFits(2147483648u, TicketLayout { 1, 0, { 1, 2, 3 } }, 0, roomy).has_value());
}

// "Annuler" during a long generation: the earlier selection, list and file stay, and nothing
// else is left in the folder.
TEST(TicketRequest, StoppedGenerationsLeaveTheEarlierListAndFile)
{
    GameState state = stateWithEarlierList();
    const Selection earlierSelection = state.selection;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("tickets.txt"));
    mvx::testing::writeBytes(path, "an earlier file\r\n");
    ScriptedPlatform platform;
    platform.stopLongWorkAt = 1;
    platform.answers = { Platform::Answer::Yes, Platform::Answer::Yes };
    platform.fileNames.push_back(path);
    const TicketRecipe page = generatorPage({ "1", "12", "3", "10", "5", "8", "7", "6", "9", "4" }, 10, 6, 0, false);
    EXPECT_FALSE(prepareTickets(state, page, TicketDestination::File, platform));
    EXPECT_EQ(readBytes(path), QByteArray("an earlier file\r\n"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList { QStringLiteral("tickets.txt") });
    EXPECT_FALSE(prepareTickets(state, page, TicketDestination::List, platform));
    ASSERT_EQ(platform.longWorks.size(), 2);
    EXPECT_TRUE(platform.longWorks[0].contains(QStringLiteral("151200 tickets")))
        << platform.longWorks[0].toStdString();
    EXPECT_EQ(platform.messages.size(), 2u) << "the two count questions only";
    EXPECT_EQ(platform.waitCursorDepth, 0);
    expectEarlierList(state);
    EXPECT_EQ(state.selection.otherHorses, earlierSelection.otherHorses);
}

// Memory that runs out although the check let the list through: "Opération impossible", the
// earlier list intact, and the next request works.
TEST(TicketRequest, AFailedAllocationKeepsTheEarlierListAndTheProgramGoesOn)
{
    GameState state = stateWithEarlierList();
    ScriptedPlatform platform;
    platform.answers.push_back(Platform::Answer::Yes);
    const TicketRecipe page = generatorPage({ "7", "3", "12", "5", "9" }, 5, 3, 0, false);
    TicketList::failReservationsAboveForTesting(100);
    EXPECT_FALSE(prepareTickets(state, page, TicketDestination::List, platform));
    TicketList::failReservationsAboveForTesting(0);
    ASSERT_EQ(platform.messages.size(), 2u);
    EXPECT_EQ(platform.messages[1].title, QStringLiteral("Opération impossible"));
    EXPECT_TRUE(platform.messages[1].text.contains(QStringLiteral("60 tickets")));
    EXPECT_EQ(platform.waitCursorDepth, 0);
    expectEarlierList(state);

    platform.answers.push_back(Platform::Answer::Yes);
    EXPECT_TRUE(prepareTickets(state, page, TicketDestination::List, platform));
    EXPECT_EQ(state.tickets.count(), 60);
}

TEST(TicketRequest, ComparisonGeneratesWithoutQuestionOrCursor)
{
    GameState state;
    ScriptedPlatform platform;
    EXPECT_TRUE(prepareComparison(state, generatorPage({ "7", "3", "12", "5" }, 4, 2), platform));
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_EQ(platform.waitCursorShown, 0);
    EXPECT_EQ(state.tickets.count(), 6);
    EXPECT_EQ(state.selection.otherHorses[4], 5);
}
