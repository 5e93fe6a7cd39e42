#include "arrival/ticket_list_print.h"

#include "print/print_failure.h"

#include <algorithm>

namespace mvx {

namespace {

const QString kTitle = QStringLiteral("LISTE DES TICKETS");
const QString kFont = QStringLiteral("Times New Roman");
constexpr int kTitlePoints = 24;
constexpr int kLinePoints = 14;
constexpr int kLineLeft = 10;

// Lines that fit from `top` until a line's successor would pass the limit; the first line is
// printed wherever it falls.
std::int64_t linesFrom(int top, int limit, int lineHeight)
{
    if (lineHeight <= 0)
        return 1;
    const std::int64_t room = std::int64_t(limit) - top;
    return room < 0 ? 1 : room / lineHeight + 1;
}

} // namespace

TicketListPages TicketListPages::measure(PrintSurface &surface)
{
    TicketListPages pages;
    pages.pageWidth = surface.pageWidth();
    pages.pageHeight = surface.pageHeight();
    surface.setFont(kFont, kTitlePoints, false);
    pages.titleWidth = surface.textWidth(kTitle);
    pages.titleHeight = surface.textHeight(kTitle);
    surface.setFont(kFont, kLinePoints, false);
    pages.lineHeight = surface.textHeight(QStringLiteral("WWWW")) + 10;
    return pages;
}

std::int64_t TicketListPages::linesOnFirstPage() const
{
    return linesFrom(firstLineTop(), lastLineLimit(), lineHeight);
}

std::int64_t TicketListPages::linesPerContinuationPage() const
{
    return linesFrom(continuationTop(), lastLineLimit(), lineHeight);
}

std::int64_t TicketListPages::pageCount(std::int64_t tickets) const
{
    const std::int64_t first = linesOnFirstPage();
    if (tickets <= first)
        return 1;
    const std::int64_t perPage = linesPerContinuationPage();
    return 1 + (tickets - first + perPage - 1) / perPage;
}

QString ticketListLine(const TicketReader &reader, std::string_view ticket, int horsesPerTicket)
{
    QString line;
    for (int p = 1; p <= horsesPerTicket; ++p)
        line += QString::number(reader.horse(ticket, p)) + QLatin1Char(' ');
    return line;
}

PrintOutcome printTicketListOn(PrintSurface &surface, const TicketListPages &pages, const TicketList &tickets,
    const Selection &selection, WorkProgress *progress)
{
    surface.setDocumentTitle(QStringLiteral("Marovellix+ — liste des tickets"));
    if (!surface.beginDocument())
        return PrintOutcome::Failed;
    surface.setFont(kFont, kTitlePoints, false);
    surface.drawText((pages.pageWidth - pages.titleWidth) / 2, TicketListPages::kTitleTop, kTitle);
    surface.setFont(kFont, kLinePoints, false);

    const TicketReader reader(selection, tickets.layout());
    const int horses = tickets.horsesPerTicket();
    int y = pages.firstLineTop();
    for (std::int64_t t = 1; t <= tickets.count(); ++t) {
        constexpr std::int64_t kLinesBetweenLooks = 256;
        if (progress && t % kLinesBetweenLooks == 0) {
            progress->setDone(std::uint64_t(t - 1));
            if (progress->stopRequested()) {
                surface.abortDocument();
                return PrintOutcome::Stopped;
            }
        }
        // A page is started only for a line that needs it, so the last page is never blank.
        if (t > 1 && y > pages.lastLineLimit()) {
            if (!surface.newPage()) {
                surface.abortDocument();
                return PrintOutcome::Failed;
            }
            y = pages.continuationTop();
        }
        surface.drawText(kLineLeft, y, ticketListLine(reader, tickets.ticket(t), horses));
        y += pages.lineHeight;
    }
    if (!surface.endDocument())
        return PrintOutcome::Failed;
    if (progress)
        progress->setDone(std::uint64_t(tickets.count()));
    return PrintOutcome::Printed;
}

PrintOutcome printTicketList(const TicketList &tickets, const Selection &selection, Platform &platform)
{
    const std::unique_ptr<PrintSurface> surface = platform.openPrinter(QStringLiteral("de la liste des tickets"));
    if (!surface)
        return PrintOutcome::Stopped;
    const TicketListPages layout = TicketListPages::measure(*surface);
    const std::int64_t pages = layout.pageCount(tickets.count());
    if (pages > kPagesPrintedWithoutQuestion) {
        const QString question
            = QStringLiteral("La liste des %1 tickets va imprimer %2 pages.\rVoulez vous continuer ?")
                  .arg(tickets.count())
                  .arg(pages);
        if (platform.message(
                question, QStringLiteral("Veuillez confirmer"), Platform::Buttons::YesNo, Platform::Icon::Question)
            != Platform::Answer::Yes)
            return PrintOutcome::Stopped;
    }
    // The whole print, its end included, runs where the long work runs: a painter is begun and
    // ended on one thread.
    WorkProgress progress(std::uint64_t(std::max<std::int64_t>(tickets.count(), 0)));
    PrintOutcome outcome = PrintOutcome::Failed;
    {
        const WaitCursor wait(platform);
        platform.runLongWork(
            QStringLiteral("Impression de la liste des tickets (%1 pages)...").arg(pages), progress, [&] {
                outcome = printTicketListOn(*surface, layout, tickets, selection, &progress);
                // Finished whatever happened, so that the painter ends on the thread that began it.
                if (!surface->finish())
                    outcome = PrintOutcome::Failed;
            });
    }
    if (outcome == PrintOutcome::Failed)
        reportPrintFailure(platform, QStringLiteral("de la liste des tickets"), *surface);
    return outcome;
}

} // namespace mvx
