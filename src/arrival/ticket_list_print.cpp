#include "arrival/ticket_list_print.h"

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

bool printTicketListOn(
    PrintSurface &surface, const TicketListPages &pages, const TicketList &tickets, const Selection &selection)
{
    if (!surface.beginDocument())
        return false;
    surface.setFont(kFont, kTitlePoints, false);
    surface.drawText((pages.pageWidth - pages.titleWidth) / 2, TicketListPages::kTitleTop, kTitle);
    surface.setFont(kFont, kLinePoints, false);

    const TicketReader reader(selection, tickets.layout());
    const int horses = tickets.horsesPerTicket();
    int y = pages.firstLineTop();
    for (std::int64_t t = 1; t <= tickets.count(); ++t) {
        // A page is started only for a line that needs it, so the last page is never blank.
        if (t > 1 && y > pages.lastLineLimit()) {
            if (!surface.newPage()) {
                surface.abortDocument();
                return false;
            }
            y = pages.continuationTop();
        }
        surface.drawText(kLineLeft, y, ticketListLine(reader, tickets.ticket(t), horses));
        y += pages.lineHeight;
    }
    return surface.endDocument();
}

void printTicketList(const TicketList &tickets, const Selection &selection, Platform &platform)
{
    const std::unique_ptr<PrintSurface> surface = platform.openPrinter();
    if (!surface)
        return;
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
            return;
    }
    bool printed = false;
    {
        const WaitCursor wait(platform);
        printed = printTicketListOn(*surface, layout, tickets, selection);
    }
    if (!printed)
        platform.inform(QStringLiteral("L'impression de la liste des tickets a échoué : vérifiez l'imprimante."),
            QStringLiteral("Problème !!"));
}

} // namespace mvx
