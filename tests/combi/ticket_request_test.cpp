#include "combi/ticket_request.h"

#include "support/scripted_platform.h"
#include "support/test_data.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

using namespace mvx;
using mvx::testing::readBytes;
using mvx::testing::ScriptedPlatform;

namespace {

SystemsPage generatorPage(std::initializer_list<const char *> horses, int n, int k, int b = 0, bool reduced = true)
{
    SystemsPage page;
    page.reducedTab = false;
    page.generator.horsesToCombine = n;
    page.generator.horsesPerTicket = k;
    page.generator.bases.baseCount = b;
    page.generator.reduced = reduced;
    page.boxes = mvx::testing::selectionBoxes(horses);
    return page;
}

SystemsPage systemPage(int system, std::initializer_list<const char *> horses)
{
    SystemsPage page = generatorPage(horses, 1, 1);
    page.reducedTab = true;
    page.systemNumber = system;
    return page;
}

// A state that already holds the tickets of system 2, to see that refused requests keep them.
GameState stateWithEarlierList()
{
    GameState state;
    ScriptedPlatform platform;
    EXPECT_TRUE(prepareTickets(state, systemPage(2, { "4", "9", "1", "12", "6", "3" }), TicketDestination::List,
                               platform));
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
    const SystemsPage page = generatorPage({ "7", "3", "12", "5" }, 4, 2);
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
    SystemsPage bad = generatorPage({ "7", "0", "12" }, 3, 2, 2);
    bad.generator.bases.positions = { 1, 1, 3 };
    EXPECT_FALSE(prepareTickets(state, bad, TicketDestination::List, platform));
    EXPECT_EQ(platform.messageTexts(), (QStringList { QStringLiteral("Les numeros saisis ne sont pas corrects"),
                                                      QStringLiteral("Les positions des bases ne sont pas correctes") }));

    platform.messages.clear();
    EXPECT_FALSE(prepareComparison(state, generatorPage({ "7", "3", "7" }, 3, 2), platform));
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text, QStringLiteral("Il y a une erreur dans votre sélection"));
    EXPECT_EQ(platform.messages[0].title, QStringLiteral("Opération impossible"));
    expectEarlierList(state);
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
    SystemsPage page = generatorPage({ "7", "3", "12", "5" }, 4, 3, 1);
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
    SystemsPage allBases = generatorPage({ "12", "5" }, 2, 2, 2);
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
    const SystemsPage page = systemPage(2, { "4", "9", "1", "12", "6", "3" });

    prepareTickets(state, page, TicketDestination::File, platform);
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_TRUE(platform.messages[0].text.contains(nowhere));
    EXPECT_EQ(platform.messages[0].title, QStringLiteral("Fichier non sauvegardé !!"));
    expectEarlierList(state);

    // A disk that fills up: the write fails at the end, the reason is given, nothing crashes.
    prepareTickets(state, page, TicketDestination::File, platform);
    ASSERT_EQ(platform.messages.size(), 2u);
    EXPECT_TRUE(platform.messages[1].text.contains(QStringLiteral("/dev/full")));
    EXPECT_TRUE(platform.messages[1].text.contains(QStringLiteral("space"), Qt::CaseInsensitive))
        << platform.messages[1].text.toStdString();
    EXPECT_EQ(platform.waitCursorDepth, 0);
}

// A disk that fills up in the middle of a line, in a child process whose files may not grow
// past a million bytes: the file keeps whole lines only, and the list counts exactly those.
TEST(TicketRequest, AWriteFailureLeavesWholeLinesAndTheirCount)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("tickets.txt"));
    const auto writeUntilTheLimit = [&] {
        const rlimit limit { 1000000, 1000000 };
        setrlimit(RLIMIT_FSIZE, &limit);
        std::signal(SIGXFSZ, SIG_IGN);
        GameState state;
        ScriptedPlatform platform;
        platform.answers.push_back(Platform::Answer::Yes);
        platform.fileNames.push_back(path);
        prepareTickets(state, generatorPage({ "1", "12", "3", "10", "5", "8", "7", "6", "9", "4" }, 10, 6, 0, false),
                       TicketDestination::File, platform);
        const QByteArray written = readBytes(path);
        const bool reported = platform.messages.size() == 2
            && platform.messages[1].title == QStringLiteral("Fichier non sauvegardé !!");
        const bool wholeLines = written.size() > 900000 && written.endsWith("\r\n");
        const bool counted = state.tickets.count() == written.count('\n');
        std::exit((reported ? 0 : 1) + (wholeLines ? 0 : 2) + (counted ? 0 : 4));
    };
    EXPECT_EXIT(writeUntilTheLimit(), ::testing::ExitedWithCode(0), "");
}

TEST(TicketRequest, ListsTooBigForMemoryStopBeforeAllocating)
{
    GameState state = stateWithEarlierList();
    ScriptedPlatform platform;
    platform.answers.push_back(Platform::Answer::Yes);
    std::initializer_list<const char *> twenty = { "1",  "2",  "3",  "4",  "5",  "6",  "7",  "8",  "9",  "10",
                                                   "11", "12", "13", "14", "15", "16", "17", "18", "19", "20" };
    EXPECT_FALSE(prepareTickets(state, generatorPage(twenty, 20, 8, 0, false), TicketDestination::List, platform));
    ASSERT_EQ(platform.messages.size(), 2u);
    EXPECT_EQ(platform.messages[1].title, QStringLiteral("Opération impossible"));
    EXPECT_TRUE(platform.messages[1].text.contains(QStringLiteral("5079110400")));
    EXPECT_TRUE(platform.messages[1].text.contains(QStringLiteral("Générer un fichier")));
    expectEarlierList(state);

    EXPECT_TRUE(checkTicketListFits(2147483648u, TicketLayout { 1, 0, { 1, 2, 3 } }).has_value());
    EXPECT_FALSE(checkTicketListFits(1860480u, TicketLayout { 5, 0, { 1, 2, 3 } }).has_value());
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
