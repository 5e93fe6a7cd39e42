#include "slips/slip_print.h"
#include "support/scripted_platform.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace mvx;
using mvx::testing::PrintCall;
using mvx::testing::PrintDevice;
using mvx::testing::RecordingPrintSurface;
using mvx::testing::ScriptedPlatform;

namespace {

// Tickets over a selection that holds horse h in slot h, so "A" reads as horse 1.
std::unique_ptr<GameState> game(int horsesPerTicket, const std::vector<std::string> &tickets)
{
    auto state = std::make_unique<GameState>();
    for (int h = 1; h <= kMaxHorses; ++h)
        state->selection.otherHorses[std::size_t(h)] = h;
    state->tickets = TicketList::stored({ horsesPerTicket, 0 }, std::int64_t(tickets.size()));
    for (const std::string &t : tickets)
        state->tickets.append(t);
    return state;
}

// n tickets of one horse: ticket t holds horse t.
std::unique_ptr<GameState> oneHorseTickets(int n)
{
    std::vector<std::string> tickets;
    for (int t = 1; t <= n; ++t)
        tickets.push_back(std::string(1, char('A' + t - 1)));
    return game(1, tickets);
}

// 600 dpi, the printable area 100 and 80 dots in from the sheet's corner.
PrintDevice exampleDevice()
{
    PrintDevice device;
    device.resolutionX = device.resolutionY = 600;
    device.offsetX = 100;
    device.offsetY = 80;
    return device;
}

QString markAt(double xCm, double yCm, const PrintDevice &d)
{
    return QStringLiteral("%1,%2 X")
        .arg(roundHalfEven(xCm / 2.54 * d.resolutionX - d.offsetX))
        .arg(roundHalfEven(yCm / 2.54 * d.resolutionY - d.offsetY));
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

TEST(SlipLayouts, MarksAndTheirConversionToDots)
{
    EXPECT_EQ(slipLayout(3).name, QString::fromUtf8("Ticket Valeur 2011- Tiercé, Quarté+, Quinté+"));
    EXPECT_EQ(slipLayout(4).name, QString::fromUtf8("Ticket Simple , Couplé , Trio - 2011"));
    const SlipPosition last = horseMark(slipLayout(1), 20, 5, 1);
    EXPECT_NEAR(last.x, 15.89, 1e-9);
    EXPECT_NEAR(last.y, 4.77, 1e-9);

    PrintDevice device = exampleDevice();
    RecordingPrintSurface surface(device);
    SettingsRecord settings;
    const SlipPosition first = horseMark(slipLayout(1), 1, 1, 1);
    EXPECT_EQ(cmToDevice(surface, settings, SlipAxis::Horizontal, first.x), 1813);
    EXPECT_EQ(cmToDevice(surface, settings, SlipAxis::Vertical, first.y), 451);
    settings.horizontalAdjustment = 5;
    settings.verticalAdjustment = -2; // 2 mm up
    EXPECT_EQ(cmToDevice(surface, settings, SlipAxis::Horizontal, first.x), 1931);
    EXPECT_EQ(cmToDevice(surface, settings, SlipAxis::Vertical, first.y), 404);
    // The surface is read again at each conversion.
    device.resolutionY = 300;
    device.offsetY = 0;
    settings.verticalAdjustment = 0;
    EXPECT_EQ(cmToDevice(surface, settings, SlipAxis::Vertical, 2.54), 300);

    EXPECT_EQ(roundHalfEven(0.5), 0);
    EXPECT_EQ(roundHalfEven(1.5), 2);
    EXPECT_EQ(roundHalfEven(2.5), 2);
    EXPECT_EQ(roundHalfEven(-1.5), -2);
    // An adjustment far off the sheet stays a number instead of overflowing.
    settings.horizontalAdjustment = std::numeric_limits<std::int32_t>::max();
    EXPECT_EQ(cmToDevice(surface, settings, SlipAxis::Horizontal, 1), std::numeric_limits<int>::max());
}

TEST(SlipRun, TwoTicketsPerSlipOnType4)
{
    auto state = game(2, { "AB", "CD", "EF", "GH", "IJ" });
    ScriptedPlatform platform;
    platform.printer = exampleDevice();
    EXPECT_EQ(printSlips(*state, runOf(4, 1, 5), platform).slipsSent, 3);

    const PrintDevice &d = platform.printer;
    QStringList expected;
    for (int t = 1; t <= 5; ++t) {
        if (t % 2 == 1) {
            if (t > 1)
                expected << "end";
            expected << "begin"
                     << "font Courier 11 bold";
        }
        const double row = t % 2 == 1 ? 3.1 : 6.3;
        for (int h = 2 * t - 1; h <= 2 * t; ++h)
            expected << QStringLiteral("text ") + markAt(8.8 + 0.4 * (h - 1), row, d);
    }
    expected << "end";
    EXPECT_EQ(d.lines(), expected);
}

TEST(SlipRun, OneSlipAtATimeAndCancelBeginsNoSlip)
{
    auto state = oneHorseTickets(8);
    ScriptedPlatform platform;
    platform.answers = { Platform::Answer::Ok, Platform::Answer::Ok, Platform::Answer::Ok, Platform::Answer::Ok };
    EXPECT_EQ(printSlips(*state, runOf(1, 3, 7, 2), platform).slipsSent, 5);
    ASSERT_EQ(platform.messages.size(), 4u);
    EXPECT_EQ(platform.messages[0].text, QString::fromUtf8("Insérez le prochain bulletin et appuyer sur OK"));
    EXPECT_EQ(platform.messages[0].title, QStringLiteral("Impression bulletin"));
    EXPECT_EQ(platform.messages[0].buttons, Platform::Buttons::OkCancel);
    EXPECT_EQ(platform.messages[0].icon, Platform::Icon::Question);
    EXPECT_EQ(platform.printer.texts().first(), markAt(8.1 + 0.41 * 2, 2.25, platform.printer)); // horse 3

    // Cancel at the second prompt: two slips out, and no document begun for the third, since a
    // printer turns even a dropped document into a blank slip.
    platform = ScriptedPlatform();
    platform.answers = { Platform::Answer::Ok, Platform::Answer::Cancel };
    const SlipRunResult result = printSlips(*state, runOf(1, 3, 7, 2), platform);
    EXPECT_TRUE(result.cancelled);
    EXPECT_EQ(result.slipsSent, 2);
    EXPECT_EQ(platform.printer.count(PrintCall::Kind::DrawText), 2);
    EXPECT_EQ(platform.printer.count(PrintCall::Kind::BeginDocument), 2);
    EXPECT_EQ(platform.printer.lines().last(), QStringLiteral("end"));
    EXPECT_EQ(platform.printer.titles,
        QStringList({ QString::fromUtf8("Marovellix+ — bulletin 1 sur 5"),
            QString::fromUtf8("Marovellix+ — bulletin 2 sur 5") }));
}

// One slip at a time, the print server stops after the first: the second slip's job is not
// found, the run stops there and says what came out and why the rest did not.
TEST(SlipRun, APrinterGoneQuietStopsTheRunAndSaysWhatCameOut)
{
    auto state = oneHorseTickets(3);
    ScriptedPlatform platform;
    platform.answers = { Platform::Answer::Ok, Platform::Answer::Ok };
    platform.printer.failingEnd = 2;
    platform.printer.failureSilent = true;
    platform.printer.failureReason = QString::fromUtf8("L'imprimante ne répond plus");
    const SlipRunResult result = printSlips(*state, runOf(1, 1, 3, 2), platform);
    EXPECT_TRUE(result.failed);
    EXPECT_EQ(result.slipsSent, 1);
    EXPECT_EQ(platform.printer.count(PrintCall::Kind::BeginDocument), 2);
    ASSERT_EQ(platform.messages.size(), 2u); // one prompt, then the failure
    EXPECT_EQ(platform.messages[1].text,
        QString::fromUtf8("L'impression des bulletins a échoué sur l'imprimante « Enregistreuse ».\r"
                          "1 bulletin sur 3 imprimé : l'imprimante ne répond plus."));
    EXPECT_EQ(platform.messages[1].icon, Platform::Icon::Warning);
}

TEST(SlipRun, FixedMarksComeFirstWhereTheSlipHasTheBox)
{
    auto state = game(3, { "ABC" });
    PrintDevice device = exampleDevice();
    ScriptedPlatform platform;
    auto marksOf = [&](int slipType, FixedBoxChoice choice) {
        device.calls.clear();
        RecordingPrintSurface surface(device);
        SlipRun run = runOf(slipType, 1, 1);
        run.markFixedBoxes = true;
        run.fixedBoxes = choice;
        printSlips(*state, run, surface, platform);
        return device.texts();
    };
    const QStringList type1 = marksOf(1, { 4, 0, 10 });
    EXPECT_EQ(type1.mid(0, 3),
        QStringList({ markAt(3.6, 3.6, device), markAt(5.8, 4.8, device), markAt(8.1, 2.25, device) }));
    EXPECT_EQ(marksOf(1, { 0, 0, 20 }).first(), markAt(6.25, 4.8, device));
    EXPECT_EQ(marksOf(1, { 0, 0, 0 }).size(), 3);
    // Slip type 2 marks the meeting, never a bet type.
    EXPECT_EQ(marksOf(2, { 5, 3, 2 }).mid(0, 2), QStringList({ markAt(2.4, 3.6, device), markAt(1.3, 6.9, device) }));
    EXPECT_EQ(marksOf(4, { 3, 1, 1 }).size(), 3);
    EXPECT_EQ(marksOf(5, { 3, 1, 1 }).size(), 3);
}

TEST(SlipRun, WholeListFallbackAndPrinterFailure)
{
    auto state = oneHorseTickets(10);
    ScriptedPlatform platform;
    EXPECT_EQ(printSlips(*state, runOf(2, 0, 3), platform).slipsSent, 10);
    EXPECT_EQ(printSlips(*state, runOf(2, 2, 11), platform).slipsSent, 10);
    EXPECT_EQ(platform.printersOpened, 2);
    EXPECT_TRUE(platform.messages.empty());

    platform = ScriptedPlatform();
    platform.printer.failingDocument = 4;
    const SlipRunResult result = printSlips(*state, runOf(1, 1, 10), platform);
    EXPECT_TRUE(result.failed);
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_TRUE(platform.messages[0].text.contains(QString::fromUtf8("3 bulletins sur 10 imprimés")))
        << platform.messages[0].text.toStdString();
    EXPECT_EQ(platform.printer.count(PrintCall::Kind::EndDocument), 3);
}

// All slips at once run as long work: "Annuler" stops between two slips, the slips sent stay
// whole and nothing is said. A PDF that cannot be written holds none of them, and says so.
TEST(SlipRun, StoppedBetweenSlipsAndAFileThatFailsHoldsNone)
{
    auto state = oneHorseTickets(10);
    ScriptedPlatform platform;
    platform.stopLongWorkAt = 4;
    const SlipRunResult stopped = printSlips(*state, runOf(1, 1, 10), platform);
    EXPECT_TRUE(stopped.cancelled);
    EXPECT_EQ(stopped.slipsSent, 4);
    EXPECT_EQ(platform.printer.count(PrintCall::Kind::BeginDocument), 4);
    EXPECT_EQ(platform.printer.count(PrintCall::Kind::EndDocument), 4);
    EXPECT_EQ(platform.longWorks, QStringList { QStringLiteral("Impression de 10 bulletins...") });
    EXPECT_TRUE(platform.messages.empty());

    platform = ScriptedPlatform();
    platform.printer.failingFinish = true;
    const SlipRunResult failed = printSlips(*state, runOf(1, 1, 10), platform);
    EXPECT_TRUE(failed.failed);
    EXPECT_EQ(failed.slipsSent, 0);
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text,
        QString::fromUtf8("L'impression des bulletins a échoué sur l'imprimante « Enregistreuse ».\r"
                          "Le papier manque.\r0 bulletin sur 10 imprimé."));
}
