#include "slips/slip_print.h"

#include "print/print_failure.h"

#include <cmath>
#include <limits>
#include <optional>

namespace mvx {

namespace {

const QString kMark = QStringLiteral("X");
const QString kSlipFont = QStringLiteral("Courier");

// Slip type 4 holds two tickets in a smaller grid of boxes.
int slipFontSize(int slipType)
{
    return slipType == 4 ? 11 : 13;
}

QString slipsSentText(std::int64_t sent, std::int64_t planned)
{
    // French puts 0 and 1 in the singular.
    const bool plural = sent > 1;
    return QStringLiteral("%1 %2 sur %3 %4")
        .arg(sent)
        .arg(plural ? QStringLiteral("bulletins") : QStringLiteral("bulletin"))
        .arg(planned)
        .arg(plural ? QStringLiteral("imprimés") : QStringLiteral("imprimé"));
}

class SlipPrinter
{
public:
    SlipPrinter(const GameState &state, const SlipRun &run, PrintSurface &surface, Platform &platform,
        WorkProgress *progress = nullptr)
        : state_(state)
        , run_(run)
        , layout_(slipLayout(run.slipType))
        , surface_(surface)
        , platform_(platform)
        , progress_(progress)
        , reader_(state.selection, state.tickets.layout())
        , fixedMarks_(run.markFixedBoxes ? fixedMarks(run.slipType, run.fixedBoxes) : std::vector<SlipPosition> {})
    { }

    // Prints the slips of the range; a failure is not shown here (see reportSlipFailure).
    SlipRunResult print(std::int64_t first, std::int64_t last)
    {
        const int perSlip = layout_.ticketsPerSlip;
        result_.slipsPlanned = slipsNeeded(first, last, perSlip);
        if (!startSlip())
            return failed();
        int place = 0;
        for (std::int64_t t = first; t <= last; ++t) {
            if (++place > perSlip) {
                if (!surface_.endDocument())
                    return failed();
                ++result_.slipsSent;
                // A stop falls between two slips: the slips sent stay whole.
                if (progress_) {
                    progress_->setDone(std::uint64_t(result_.slipsSent));
                    if (progress_->stopRequested()) {
                        result_.cancelled = true;
                        return result_;
                    }
                }
                // Asked before the next slip's document is begun: through a print system a
                // begun document becomes a job even when dropped, a blank slip on the printer.
                if (run_.printMode == 2 && !nextSlipInserted()) {
                    result_.cancelled = true;
                    return result_;
                }
                if (!startSlip())
                    return failed();
                place = 1;
            }
            drawTicket(t, place);
        }
        if (!surface_.endDocument())
            return failed();
        ++result_.slipsSent;
        if (progress_)
            progress_->setDone(std::uint64_t(result_.slipsSent));
        return result_;
    }

    static std::int64_t slipsNeeded(std::int64_t first, std::int64_t last, int perSlip)
    {
        return (last - first + 1 + perSlip - 1) / perSlip;
    }

private:
    bool startSlip()
    {
        // The job's name in the print queue.
        surface_.setDocumentTitle(
            QStringLiteral("Marovellix+ — bulletin %1 sur %2").arg(result_.slipsSent + 1).arg(result_.slipsPlanned));
        if (!surface_.beginDocument())
            return false;
        surface_.setFont(kSlipFont, slipFontSize(run_.slipType), true);
        return true;
    }

    bool nextSlipInserted()
    {
        return platform_.message(QStringLiteral("Insérez le prochain bulletin et appuyer sur OK"),
                   QStringLiteral("Impression bulletin"), Platform::Buttons::OkCancel, Platform::Icon::Question)
            == Platform::Answer::Ok;
    }

    void drawTicket(std::int64_t t, int place)
    {
        for (const SlipPosition &mark : fixedMarks_)
            draw(mark);
        const std::string_view ticket = state_.tickets.ticket(t);
        for (int p = 1; p <= state_.tickets.horsesPerTicket(); ++p) {
            const int horse = reader_.horse(ticket, p);
            // A horse the selection did not hold has no box to mark.
            if (horse >= 1 && horse <= kMaxHorses)
                draw(horseMark(layout_, horse, p, place));
        }
    }

    void draw(const SlipPosition &mark)
    {
        const SettingsRecord &settings = state_.settings;
        surface_.drawText(cmToDevice(surface_, settings, SlipAxis::Horizontal, mark.x),
            cmToDevice(surface_, settings, SlipAxis::Vertical, mark.y), kMark);
    }

    SlipRunResult failed()
    {
        result_.failed = true;
        return result_;
    }

    const GameState &state_;
    const SlipRun &run_;
    const SlipLayout &layout_;
    PrintSurface &surface_;
    Platform &platform_;
    WorkProgress *progress_;
    TicketReader reader_;
    const std::vector<SlipPosition> fixedMarks_;
    SlipRunResult result_;
};

void reportSlipFailure(Platform &platform, const PrintSurface &surface, const SlipRunResult &result)
{
    const QString document = QStringLiteral("des bulletins");
    QString done = slipsSentText(result.slipsSent, result.slipsPlanned);
    if (!surface.deviceSilent()) {
        reportPrintFailure(platform, document, surface, done);
        return;
    }
    // A printer gone quiet is why the rest did not come out: said with what did, so the user
    // knows where to start again.
    QString silence = surface.failureReason();
    if (!silence.isEmpty()) {
        silence[0] = silence[0].toLower();
        done += QStringLiteral(" : ") + silence;
    }
    platform.message(printFailureText(document, surface.destination(), {}, done), printFailureTitle(),
        Platform::Buttons::Ok, Platform::Icon::Warning);
}

// The tickets a run prints, or nothing: an unknown slip type, an empty range, or a list that
// only counted the tickets written to a file.
std::optional<std::pair<std::int64_t, std::int64_t>> printableRange(const GameState &state, const SlipRun &run)
{
    const auto range = slipRunRange(run.firstTicket, run.lastTicket, state.tickets.count());
    if (run.slipType < 1 || run.slipType > kSlipTypeCount || range.second < range.first
        || !state.tickets.holdsLetters())
        return std::nullopt;
    return range;
}

} // namespace

int roundHalfEven(double value)
{
    if (std::isnan(value))
        return 0;
    constexpr double lowest = std::numeric_limits<int>::min();
    constexpr double highest = std::numeric_limits<int>::max();
    if (value <= lowest)
        return std::numeric_limits<int>::min();
    if (value >= highest)
        return std::numeric_limits<int>::max();
    const double below = std::floor(value);
    const double fraction = value - below;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(below, 2.0) != 0.0))
        return int(below) + 1;
    return int(below);
}

int cmToDevice(const PrintSurface &surface, const SettingsRecord &settings, SlipAxis axis, double cm)
{
    const bool horizontal = axis == SlipAxis::Horizontal;
    const double dpi = horizontal ? surface.resolutionX() : surface.resolutionY();
    const double offset = horizontal ? surface.offsetX() : surface.offsetY();
    const double adjustmentMm = horizontal ? settings.horizontalAdjustment : settings.verticalAdjustment;
    return roundHalfEven(cm / 2.54 * dpi - offset + adjustmentMm / 10 / 2.54 * dpi);
}

std::pair<std::int64_t, std::int64_t> slipRunRange(
    std::int64_t firstTicket, std::int64_t lastTicket, std::int64_t ticketCount)
{
    if (firstTicket >= 1 && lastTicket <= ticketCount)
        return { firstTicket, lastTicket };
    return { 1, ticketCount };
}

bool slipRangeAccepted(std::int64_t firstTicket, std::int64_t lastTicket, std::int64_t ticketCount)
{
    return firstTicket >= 1 && lastTicket <= ticketCount && lastTicket >= firstTicket;
}

SlipRunResult printSlips(const GameState &state, const SlipRun &run, PrintSurface &surface, Platform &platform)
{
    const auto range = printableRange(state, run);
    if (!range)
        return {};
    const SlipRunResult result = SlipPrinter(state, run, surface, platform).print(range->first, range->second);
    if (result.failed)
        reportSlipFailure(platform, surface, result);
    return result;
}

SlipRunResult printSlips(const GameState &state, const SlipRun &run, Platform &platform)
{
    const auto range = printableRange(state, run);
    if (!range)
        return {};
    const std::unique_ptr<PrintSurface> surface = platform.openPrinter(QStringLiteral("des bulletins"));
    if (!surface)
        return {};
    SlipRunResult result;
    auto print = [&](WorkProgress *progress) {
        result = SlipPrinter(state, run, *surface, platform, progress).print(range->first, range->second);
        // Finished whatever happened, so that the painter ends on the thread that began it.
        if (!surface->finish()) {
            // A file that could not be written holds none of the slips.
            result.failed = true;
            result.slipsSent = 0;
        }
    };
    if (run.printMode == 1) {
        // All slips at once is long work that "Annuler" stops between two slips; it runs, its
        // end included, on the thread of the long work.
        const std::int64_t slips
            = SlipPrinter::slipsNeeded(range->first, range->second, slipLayout(run.slipType).ticketsPerSlip);
        WorkProgress progress { std::uint64_t(slips) };
        const WaitCursor wait(platform);
        platform.runLongWork(
            QStringLiteral("Impression de %1 bulletins...").arg(slips), progress, [&] { print(&progress); });
    } else {
        // One slip at a time asks before each slip: it stays with the windows.
        print(nullptr);
    }
    if (result.failed)
        reportSlipFailure(platform, *surface, result);
    return result;
}

} // namespace mvx
