#include "arrival/ticket_list_print.h"
#include "support/scripted_platform.h"

#include <gtest/gtest.h>

#include <string>

using namespace mvx;
using mvx::testing::PrintCall;
using mvx::testing::RecordingPrintSurface;
using mvx::testing::ScriptedPlatform;

namespace {

// `count` tiercé tickets of the horses 3, 7 and 12 in that order (letters A, B, C).
struct Tickets
{
    explicit Tickets(std::int64_t count)
        : list(TicketList::stored(TicketLayout { 3, 0, { 1, 2, 3 } }, count))
    {
        selection.otherHorses[1] = 3;
        selection.otherHorses[2] = 7;
        selection.otherHorses[3] = 12;
        for (std::int64_t t = 0; t < count; ++t)
            list.append("ABC");
    }
    Selection selection;
    TicketList list;
};

// The positions the printed list must reach on the recording device, from its metrics.
struct Expected
{
    explicit Expected(const mvx::testing::PrintDevice &device)
        : titleHeight(RecordingPrintSurface::lineHeight(24, device.resolutionY))
        , lineHeight(RecordingPrintSurface::lineHeight(14, device.resolutionY) + 10)
        , firstLine(50 + titleHeight + 4 * lineHeight)
        , limit(device.pageHeight - 3 * lineHeight)
    { }
    int titleHeight, lineHeight, firstLine, limit;
};

} // namespace

TEST(TicketListPrint, TitleLinesAndPageBreaksWithoutABlankLastPage)
{
    ScriptedPlatform platform;
    platform.printer.pageHeight = 2000;
    const Expected e(platform.printer);
    const int firstPage = (e.limit - e.firstLine) / e.lineHeight + 1;
    const int nextPages = (e.limit - 4 * e.lineHeight) / e.lineHeight + 1;
    ASSERT_GT(firstPage, 1);

    // Exactly two full pages: the line after the last would go to a third.
    const Tickets tickets(firstPage + nextPages);
    printTicketList(tickets.list, tickets.selection, platform);

    QStringList expected { QStringLiteral("begin"), QStringLiteral("font Times New Roman 24"),
        QStringLiteral("text %1,50 LISTE DES TICKETS")
            .arg((platform.printer.pageWidth - 17 * RecordingPrintSurface::charWidth(24, 600)) / 2),
        QStringLiteral("font Times New Roman 14") };
    for (int line = 0; line < firstPage; ++line)
        expected << QStringLiteral("text 10,%1 3 7 12 ").arg(e.firstLine + line * e.lineHeight);
    expected << QStringLiteral("page");
    for (int line = 0; line < nextPages; ++line)
        expected << QStringLiteral("text 10,%1 3 7 12 ").arg((4 + line) * e.lineHeight);
    expected << QStringLiteral("end");
    // The fonts are measured once before the document starts.
    const QStringList lines = platform.printer.lines();
    EXPECT_EQ(lines.mid(lines.indexOf(QStringLiteral("begin"))), expected);
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_EQ(platform.waitCursorDepth, 0);

    // No ticket: the title alone.
    ScriptedPlatform empty;
    printTicketList(Tickets(0).list, Tickets(0).selection, empty);
    EXPECT_EQ(empty.printer.texts(), QStringList { QStringLiteral("1360,50 LISTE DES TICKETS") });
    EXPECT_EQ(empty.printer.count(PrintCall::Kind::NewPage), 0);
}

TEST(TicketListPrint, MoreThanAHundredPagesIsAskedFirst)
{
    ScriptedPlatform platform;
    platform.printer.pageHeight = 2000;
    const Expected e(platform.printer);
    const int firstPage = (e.limit - e.firstLine) / e.lineHeight + 1;
    const int nextPages = (e.limit - 4 * e.lineHeight) / e.lineHeight + 1;

    // A hundred pages print without a question.
    const Tickets hundred(firstPage + 99 * nextPages);
    printTicketList(hundred.list, hundred.selection, platform);
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_EQ(platform.printer.count(PrintCall::Kind::NewPage), 99);

    // One more ticket makes 101 pages: declined, nothing is printed.
    const Tickets more(firstPage + 99 * nextPages + 1);
    ScriptedPlatform declined;
    declined.printer.pageHeight = 2000;
    printTicketList(more.list, more.selection, declined);
    ASSERT_EQ(declined.messages.size(), 1u);
    EXPECT_TRUE(declined.messages[0].text.contains(QStringLiteral("101 pages")))
        << declined.messages[0].text.toStdString();
    EXPECT_EQ(declined.messages[0].buttons, Platform::Buttons::YesNo);
    EXPECT_EQ(declined.printer.count(PrintCall::Kind::BeginDocument), 0);

    ScriptedPlatform accepted;
    accepted.printer.pageHeight = 2000;
    accepted.answers.push_back(Platform::Answer::Yes);
    printTicketList(more.list, more.selection, accepted);
    EXPECT_EQ(accepted.printer.count(PrintCall::Kind::NewPage), 100);
    EXPECT_EQ(accepted.printer.count(PrintCall::Kind::DrawText), 1 + int(more.list.count()));

    // A device that refuses the document: a message, never silence.
    ScriptedPlatform failing;
    failing.printer.failingDocument = 1;
    printTicketList(hundred.list, hundred.selection, failing);
    ASSERT_EQ(failing.messages.size(), 1u);
    EXPECT_EQ(failing.messages[0].title, QStringLiteral("Problème !!"));
}
