#include "arrival/ticket_list_print.h"
#include "support/scripted_platform.h"

#include <gtest/gtest.h>

using namespace mvx;
using mvx::testing::PrintCall;
using mvx::testing::RecordingPrintSurface;
using mvx::testing::ScriptedPlatform;

namespace {

// `count` tiercé tickets of the horses 3, 7 and 12 in that order.
TicketList tierces(std::int64_t count)
{
    TicketList list = TicketList::stored(TicketLayout { 3, 0, { 1, 2, 3 } }, count);
    for (std::int64_t t = 0; t < count; ++t)
        list.append("ABC");
    return list;
}

Selection threeHorses()
{
    Selection s;
    s.otherHorses[1] = 3;
    s.otherHorses[2] = 7;
    s.otherHorses[3] = 12;
    return s;
}

// A recording device 2000 dots high, and the positions the list must reach on it.
struct ShortPages
{
    ShortPages() { platform.printer.pageHeight = 2000; }
    ScriptedPlatform platform;
    const int lineHeight = RecordingPrintSurface::lineHeight(14, 600) + 10;
    const int firstLine = 50 + RecordingPrintSurface::lineHeight(24, 600) + 4 * lineHeight;
    const int limit = 2000 - 3 * lineHeight;
    const int firstPage = (limit - firstLine) / lineHeight + 1;
    const int nextPages = (limit - 4 * lineHeight) / lineHeight + 1;
};

} // namespace

TEST(TicketListPrint, TitleLinesAndPageBreaksWithoutABlankLastPage)
{
    ShortPages device;
    ASSERT_GT(device.firstPage, 1);
    // Exactly two full pages: the line after the last would go to a third.
    printTicketList(tierces(device.firstPage + device.nextPages), threeHorses(), device.platform);

    QStringList expected { "begin", "font Times New Roman 24",
        QStringLiteral("text %1,50 LISTE DES TICKETS").arg((4760 - 17 * RecordingPrintSurface::charWidth(24, 600)) / 2),
        "font Times New Roman 14" };
    for (int line = 0; line < device.firstPage; ++line)
        expected << QStringLiteral("text 10,%1 3 7 12 ").arg(device.firstLine + line * device.lineHeight);
    expected << "page";
    for (int line = 0; line < device.nextPages; ++line)
        expected << QStringLiteral("text 10,%1 3 7 12 ").arg((4 + line) * device.lineHeight);
    expected << "end";
    // The fonts are measured once before the document starts.
    const QStringList lines = device.platform.printer.lines();
    EXPECT_EQ(lines.mid(lines.indexOf(QStringLiteral("begin"))), expected);
    EXPECT_TRUE(device.platform.messages.empty());
    EXPECT_EQ(device.platform.waitCursorDepth, 0);

    // No ticket: the title alone.
    ScriptedPlatform empty;
    printTicketList(tierces(0), threeHorses(), empty);
    EXPECT_EQ(empty.printer.texts(), QStringList { QStringLiteral("1360,50 LISTE DES TICKETS") });
    EXPECT_EQ(empty.printer.count(PrintCall::Kind::NewPage), 0);
}

TEST(TicketListPrint, MoreThanAHundredPagesIsAskedFirstAndAFailureIsSaid)
{
    ShortPages hundred;
    const std::int64_t hundredPages = hundred.firstPage + 99 * hundred.nextPages;
    printTicketList(tierces(hundredPages), threeHorses(), hundred.platform);
    EXPECT_TRUE(hundred.platform.messages.empty());
    EXPECT_EQ(hundred.platform.printer.count(PrintCall::Kind::NewPage), 99);

    // One more ticket makes 101 pages: declined, nothing is printed; accepted, all of it.
    ShortPages declined;
    printTicketList(tierces(hundredPages + 1), threeHorses(), declined.platform);
    ASSERT_EQ(declined.platform.messages.size(), 1u);
    EXPECT_TRUE(declined.platform.messages[0].text.contains(QStringLiteral("101 pages")));
    EXPECT_EQ(declined.platform.messages[0].buttons, Platform::Buttons::YesNo);
    EXPECT_EQ(declined.platform.printer.count(PrintCall::Kind::BeginDocument), 0);
    ShortPages accepted;
    accepted.platform.answers.push_back(Platform::Answer::Yes);
    printTicketList(tierces(hundredPages + 1), threeHorses(), accepted.platform);
    EXPECT_EQ(accepted.platform.printer.count(PrintCall::Kind::NewPage), 100);
    EXPECT_EQ(accepted.platform.printer.count(PrintCall::Kind::DrawText), 2 + hundredPages);

    // A device that refuses the document: a message, never silence.
    ScriptedPlatform failing;
    failing.printer.failingDocument = 1;
    printTicketList(tierces(3), threeHorses(), failing);
    ASSERT_EQ(failing.messages.size(), 1u);
    EXPECT_EQ(failing.messages[0].title, QStringLiteral("Problème !!"));
}

// An end or a finish that fails is said in the one wording of a failed print, never taken for
// done; the output is finished either way.
TEST(TicketListPrint, AFailedEndIsSaid)
{
    for (const bool endFails : { true, false }) {
        ScriptedPlatform failing;
        failing.printer.failingEnd = endFails ? 1 : 0;
        failing.printer.failingFinish = !endFails;
        EXPECT_EQ(printTicketList(tierces(3), threeHorses(), failing), PrintOutcome::Failed);
        ASSERT_EQ(failing.messages.size(), 1u);
        EXPECT_EQ(failing.messages[0].text,
            QString::fromUtf8("L'impression de la liste des tickets a échoué sur l'imprimante « Enregistreuse ».\r"
                              "Le papier manque."));
        EXPECT_EQ(failing.messages[0].title, QStringLiteral("Problème !!"));
        EXPECT_EQ(failing.printer.finishes, 1);
    }
}
