#include "slips/slip_print.h"
#include "support/scripted_platform.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>

using namespace mvx;
using mvx::testing::PrintCall;
using mvx::testing::PrintDevice;
using mvx::testing::RecordingPrintSurface;
using mvx::testing::ScriptedPlatform;

namespace {

// A game whose selection holds horse h in slot h, so ticket letters read as horse numbers
// ("A" is horse 1, "T" horse 20).
std::unique_ptr<GameState> gameWithTickets(int horsesPerTicket, std::initializer_list<const char *> tickets)
{
    auto state = std::make_unique<GameState>();
    for (int h = 1; h <= kMaxHorses; ++h)
        state->selection.otherHorses[std::size_t(h)] = h;
    TicketLayout layout;
    layout.horsesPerTicket = horsesPerTicket;
    state->tickets = TicketList::stored(layout, std::int64_t(tickets.size()));
    for (const char *t : tickets)
        state->tickets.append(t);
    return state;
}

// n tickets of one horse each: ticket t holds horse t.
std::unique_ptr<GameState> singleHorseTickets(int n)
{
    auto state = gameWithTickets(1, {});
    state->tickets = TicketList::stored(state->tickets.layout(), n);
    for (int t = 1; t <= n; ++t)
        state->tickets.append(std::string(1, char('A' + t - 1)));
    return state;
}

// The device of the worked example: 600 dpi, printable area 100 and 80 dots from the corner.
PrintDevice exampleDevice()
{
    PrintDevice device;
    device.resolutionX = device.resolutionY = 600;
    device.offsetX = 100;
    device.offsetY = 80;
    return device;
}

int dotsX(double cm, const PrintDevice &d)
{
    return roundHalfEven(cm / 2.54 * d.resolutionX - d.offsetX);
}
int dotsY(double cm, const PrintDevice &d)
{
    return roundHalfEven(cm / 2.54 * d.resolutionY - d.offsetY);
}

SlipRun runOf(int slipType, std::int64_t first, std::int64_t last, int printMode = 1)
{
    SlipRun run;
    run.slipType = slipType;
    run.printMode = printMode;
    run.firstTicket = first;
    run.lastTicket = last;
    return run;
}

} // namespace

TEST(SlipLayouts, NamesAndHorseMarksOfSlipType1)
{
    const QStringList names = { QString::fromUtf8("Tiercé, Quarté+, Quinté+ - 2011"),
        QString::fromUtf8("Quarté+ Régional"), QString::fromUtf8("Ticket Valeur 2011- Tiercé, Quarté+, Quinté+"),
        QString::fromUtf8("Ticket Simple , Couplé , Trio - 2011"), QString::fromUtf8("Quinté+ Flexi") };
    for (int type = 1; type <= kSlipTypeCount; ++type)
        EXPECT_EQ(slipLayout(type).name, names[type - 1]) << type;

    const SlipPosition first = horseMark(slipLayout(1), 1, 1, 1);
    EXPECT_DOUBLE_EQ(first.x, 8.1);
    EXPECT_DOUBLE_EQ(first.y, 2.25);
    const SlipPosition last = horseMark(slipLayout(1), 20, 5, 1);
    EXPECT_NEAR(last.x, 15.89, 1e-9);
    EXPECT_NEAR(last.y, 4.77, 1e-9);
}

TEST(SlipConversion, ResolutionOffsetAndAdjustmentReadAtEachConversion)
{
    PrintDevice device = exampleDevice();
    RecordingPrintSurface surface(device);
    SettingsRecord settings;
    EXPECT_EQ(cmToDevice(surface, settings, SlipAxis::Horizontal, 8.1), 1813);
    EXPECT_EQ(cmToDevice(surface, settings, SlipAxis::Vertical, 2.25), 451);
    settings.horizontalAdjustment = 5;
    EXPECT_EQ(cmToDevice(surface, settings, SlipAxis::Horizontal, 8.1), 1931);
    EXPECT_EQ(cmToDevice(surface, settings, SlipAxis::Vertical, 2.25), 451);
    settings.verticalAdjustment = -2; // 2 mm up
    EXPECT_EQ(cmToDevice(surface, settings, SlipAxis::Vertical, 2.25), 404);

    // A surface whose figures change between two conversions is read again.
    device.resolutionY = 300;
    device.offsetY = 0;
    settings.verticalAdjustment = 0;
    EXPECT_EQ(cmToDevice(surface, settings, SlipAxis::Vertical, 2.54), 300);

    EXPECT_EQ(roundHalfEven(0.5), 0);
    EXPECT_EQ(roundHalfEven(1.5), 2);
    EXPECT_EQ(roundHalfEven(2.5), 2);
    EXPECT_EQ(roundHalfEven(-0.5), 0);
    EXPECT_EQ(roundHalfEven(-1.5), -2);
    EXPECT_EQ(roundHalfEven(2.4999), 2);
    // An adjustment far off the sheet stays a number instead of overflowing.
    settings.horizontalAdjustment = std::numeric_limits<std::int32_t>::max();
    EXPECT_EQ(cmToDevice(surface, settings, SlipAxis::Horizontal, 1), std::numeric_limits<int>::max());
}

TEST(SlipRun, TwoTicketsPerSlipOnType4)
{
    auto state = gameWithTickets(2, { "AB", "CD", "EF", "GH", "IJ" });
    ScriptedPlatform platform;
    platform.printer = exampleDevice();
    const SlipRunResult result = printSlips(*state, runOf(4, 1, 5), platform);
    EXPECT_EQ(result.slipsSent, 3);
    EXPECT_EQ(platform.printersOpened, 1);

    const PrintDevice &d = platform.printer;
    const int row1 = dotsY(3.1, d), row2 = dotsY(6.3, d);
    auto x = [&](int horse) { return dotsX(8.8 + 0.4 * (horse - 1), d); };
    auto mark = [](int px, int py) { return QStringLiteral("text %1,%2 X").arg(px).arg(py); };
    const QStringList expected
        = { "begin", "font Courier 11 bold", mark(x(1), row1), mark(x(2), row1), mark(x(3), row2), mark(x(4), row2),
              "end", "begin", "font Courier 11 bold", mark(x(5), row1), mark(x(6), row1), mark(x(7), row2),
              mark(x(8), row2), "end", "begin", "font Courier 11 bold", mark(x(9), row1), mark(x(10), row1), "end" };
    EXPECT_EQ(d.lines(), expected);
    EXPECT_TRUE(platform.messages.empty());
}

TEST(SlipRun, OneSlipAtATimePromptsAndCancelDropsTheRefusedSlip)
{
    auto state = singleHorseTickets(8);
    {
        ScriptedPlatform platform;
        platform.answers = { Platform::Answer::Ok, Platform::Answer::Ok, Platform::Answer::Ok, Platform::Answer::Ok };
        const SlipRunResult result = printSlips(*state, runOf(1, 3, 7, 2), platform);
        EXPECT_EQ(result.slipsSent, 5);
        EXPECT_FALSE(result.cancelled);
        ASSERT_EQ(platform.messages.size(), 4u);
        EXPECT_EQ(platform.messages[0].text, QString::fromUtf8("Insérez le prochain bulletin et appuyer sur OK"));
        EXPECT_EQ(platform.messages[0].title, QStringLiteral("Impression bulletin"));
        EXPECT_EQ(platform.messages[0].buttons, Platform::Buttons::OkCancel);
        EXPECT_EQ(platform.messages[0].icon, Platform::Icon::Question);
        EXPECT_EQ(platform.printer.count(PrintCall::Kind::EndDocument), 5);
        // Tickets 3..7 hold horses 3..7, one slip each, in order, all 13-point Courier.
        QStringList horsesX;
        for (int h = 3; h <= 7; ++h)
            horsesX << QString::number(dotsX(8.1 + 0.41 * (h - 1), platform.printer));
        QStringList drawnX;
        for (const QString &t : platform.printer.texts())
            drawnX << t.section(QLatin1Char(','), 0, 0);
        EXPECT_EQ(drawnX, horsesX);
        EXPECT_EQ(platform.printer.lines()[1], QStringLiteral("font Courier 13 bold"));
    }
    {
        // Cancel at the second prompt: two slips out, the third dropped with nothing on it.
        ScriptedPlatform platform;
        platform.answers = { Platform::Answer::Ok, Platform::Answer::Cancel };
        const SlipRunResult result = printSlips(*state, runOf(1, 3, 7, 2), platform);
        EXPECT_TRUE(result.cancelled);
        EXPECT_EQ(result.slipsSent, 2);
        EXPECT_EQ(platform.messages.size(), 2u);
        EXPECT_EQ(platform.printer.count(PrintCall::Kind::EndDocument), 2);
        EXPECT_EQ(platform.printer.count(PrintCall::Kind::DrawText), 2);
        const QStringList lines = platform.printer.lines();
        EXPECT_EQ(lines.mid(lines.size() - 3), QStringList({ "begin", "font Courier 13 bold", "abort" }));
    }
}

TEST(SlipRun, FixedMarksBeforeTheHorsesOnlyWhereTheSlipHasTheBox)
{
    auto state = gameWithTickets(3, { "ABC" });
    PrintDevice device = exampleDevice();
    ScriptedPlatform platform;
    auto marksOf = [&](int slipType, int betType, int meeting, int stake) {
        device.calls.clear();
        RecordingPrintSurface surface(device);
        SlipRun run = runOf(slipType, 1, 1);
        run.markFixedBoxes = true;
        run.fixedBoxes = { betType, meeting, stake };
        printSlips(*state, run, surface, platform);
        return device.texts();
    };
    auto at = [&](double xCm, double yCm) {
        return QStringLiteral("%1,%2 X").arg(dotsX(xCm, device)).arg(dotsY(yCm, device));
    };

    QStringList marks = marksOf(1, 4, 0, 10);
    ASSERT_EQ(marks.size(), 5);
    EXPECT_EQ(marks.mid(0, 2), QStringList({ at(3.6, 3.6), at(5.8, 4.8) }));
    EXPECT_EQ(marks[2], at(8.1, 2.25));
    EXPECT_EQ(marksOf(1, 0, 0, 20).mid(0, 1), QStringList({ at(6.25, 4.8) }));
    EXPECT_EQ(marksOf(1, 0, 0, 0).size(), 3);
    // Slip type 2 marks the meeting, never a bet type; slip type 3 its own bet-type row.
    EXPECT_EQ(marksOf(2, 5, 3, 2).mid(0, 2), QStringList({ at(2.4, 3.6), at(1.3, 6.9) }));
    EXPECT_EQ(marksOf(3, 3, 7, 1).mid(0, 2), QStringList({ at(4.8, 4.2), at(0.8, 6.7) }));
    EXPECT_EQ(marksOf(4, 3, 1, 1).size(), 3);
    EXPECT_EQ(marksOf(5, 3, 1, 1).size(), 3);
    EXPECT_TRUE(platform.messages.empty());
}

TEST(SlipRun, RangeOutsideTheListPrintsTheWholeList)
{
    auto state = singleHorseTickets(4);
    ScriptedPlatform platform;
    EXPECT_EQ(printSlips(*state, runOf(2, 0, 3), platform).slipsSent, 4);
    EXPECT_EQ(printSlips(*state, runOf(2, 2, 9), platform).slipsSent, 4);
    // A range that is empty once checked opens no printer and feeds no blank slip.
    EXPECT_EQ(printSlips(*state, runOf(2, 3, 2), platform).slipsSent, 0);
    EXPECT_EQ(platform.printersOpened, 2);
    // No printer opened (no file named): nothing happens.
    platform.printerAvailable = false;
    EXPECT_EQ(printSlips(*state, runOf(2, 1, 4), platform).slipsSent, 0);
    EXPECT_EQ(platform.printer.count(PrintCall::Kind::EndDocument), 8);
}

TEST(SlipRun, PrinterFailureSaysHowManySlipsWereSent)
{
    auto state = singleHorseTickets(10);
    ScriptedPlatform platform;
    platform.printer.failingDocument = 4;
    const SlipRunResult result = printSlips(*state, runOf(1, 1, 10), platform);
    EXPECT_TRUE(result.failed);
    EXPECT_EQ(result.slipsSent, 3);
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_TRUE(platform.messages[0].text.contains(QString::fromUtf8("3 bulletins sur 10 imprimés")))
        << platform.messages[0].text.toStdString();
    EXPECT_EQ(platform.messages[0].icon, Platform::Icon::Warning);
    EXPECT_EQ(platform.printer.count(PrintCall::Kind::EndDocument), 3);
}
