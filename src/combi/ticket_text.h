#pragma once

#include <QIODevice>
#include <QString>

#include <cstdint>
#include <functional>
#include <span>

namespace mvx {

// The ticket sizes a reader takes: every ticket of a file has the same size, within this range.
struct TicketSizes
{
    int fewest;
    int most;
};
// Tickets that are classified against an arrival or checked for holes: couplé to quinté.
constexpr TicketSizes kClassifiedTicketSizes { 2, 5 };
// Tickets that are only listed, printed or filtered: every size the generator makes.
constexpr TicketSizes kListedTicketSizes { 1, 8 };

// The longest line a ticket file can hold, line end excepted: eight horses of two digits, each
// with its comma. Longer lines are refused without being read further.
constexpr qsizetype kLongestTicketLine = 8 * 3;

// What reading a ticket text file gave.
struct TicketTextRead
{
    // Empty when every line was a ticket (or the callback stopped the reading); else, in French,
    // the line number, what is wrong and the line itself, control bytes escaped:
    // "ligne 3 : le cheval 7 y est deux fois : « 7,7,7,7,7, »".
    QString error;
    // The error is the device's (the file could not be read), not the text's.
    bool readFailed = false;
    std::int64_t tickets = 0; // tickets handed to the callback
    int horsesPerTicket = 0; // the file's ticket size, 0 while it has none

    bool ok() const { return error.isEmpty(); }
};

// Reads a ticket text file as the program writes it and nothing else: one ticket per line, each
// horse a number 1..20 written without a leading zero and followed by a comma ("7,3,12,"), no
// horse twice in a ticket, every ticket the size of the first and that size within `sizes`;
// lines end in LF or CR LF. The last line may lack its line end only when it is a whole ticket
// of the file's size, so the fragment a cut file ends with is refused. An empty file reads as no
// ticket and no error: the caller says what that means for it.
//
// Calls `ticket` with the horses of each line, in order, as it reads them; the callback returns
// false to stop the reading. A refused line comes after the tickets before it have been handed
// over: a caller that must act on the whole file or not at all reads it once to check it.
TicketTextRead readTicketText(
    QIODevice &in, TicketSizes sizes, const std::function<bool(std::span<const int>)> &ticket);

} // namespace mvx
