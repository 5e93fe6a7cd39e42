#pragma once

#include "model/game_state.h"
#include "model/platform.h"
#include "model/print_surface.h"
#include "model/ticket_list.h"

#include <QString>

#include <cstdint>

namespace mvx {

// A longer print is announced with its page count and printed only when the user agrees.
constexpr std::int64_t kPagesPrintedWithoutQuestion = 100;

// Where the lines of the printed ticket list go, in device units of one printer: the title at
// the top of the first page, then one ticket per line, a new page when the next line would
// fall below the page height less three lines.
struct TicketListPages
{
    int pageWidth = 0;
    int pageHeight = 0;
    int titleWidth = 0;
    int titleHeight = 0;
    int lineHeight = 0;

    // Measures the title and the lines in the list's fonts on the surface.
    static TicketListPages measure(PrintSurface &surface);

    int firstLineTop() const { return kTitleTop + titleHeight + 4 * lineHeight; }
    int continuationTop() const { return 4 * lineHeight; }
    // A line is followed on a new page once the next line's top is below this.
    int lastLineLimit() const { return pageHeight - 3 * lineHeight; }
    std::int64_t linesOnFirstPage() const;
    std::int64_t linesPerContinuationPage() const;
    // The pages a list of `tickets` tickets takes; the title alone takes one.
    std::int64_t pageCount(std::int64_t tickets) const;

    static constexpr int kTitleTop = 50;
};

// The printed line of one ticket: each horse followed by one blank, no ticket number.
QString ticketListLine(const TicketReader &reader, std::string_view ticket, int horsesPerTicket);

enum class PrintOutcome
{
    Printed,
    Stopped, // the user asked it to stop; the document was dropped
    Failed // the device refused or failed it
};

// Prints the ticket list on a surface measured beforehand: "LISTE DES TICKETS" centred on the
// first page, the tickets one per line. With `progress`, the tickets printed are counted there
// and a stop request drops the document.
PrintOutcome printTicketListOn(PrintSurface &surface, const TicketListPages &pages, const TicketList &tickets,
    const Selection &selection, WorkProgress *progress = nullptr);

// The print behind "Imprimer la liste": the printer (or PDF file) the platform gives, the page
// count question for a long list, the print as long work that "Annuler" stops, and a message
// when it did not come out.
PrintOutcome printTicketList(const TicketList &tickets, const Selection &selection, Platform &platform);

} // namespace mvx
