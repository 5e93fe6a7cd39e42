#pragma once

#include "combi/covering_search.h"
#include "combi/selection.h"
#include "model/ticket_list.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

namespace mvx {

class WorkProgress;

// How the table of an own system came to be.
enum class OwnTableOrigin : std::uint8_t
{
    Searched = 0, // the search ran to its end: the same request always gives this table
    Stopped = 1, // "Annuler" cut the search short; the best table found then
    Catalogue = 2, // a system of the catalogue keeps the same guarantee with no more tickets
    // The table shipped in the program's library (combi/own_library.h). Saved as Searched in the own
    // system's section, which older copies read, and as itself in the share section.
    Library = 3,
};

// The shares of the promised arrivals the tab offers ("Garantie pour"), the full guarantee first.
inline constexpr int kShareChoices[] = { 100, 99, 95, 90, 80, 70 };

// A punter's own reduced system: the request, and the table once one has been found. Each row
// lists k positions in the selection (1 = the first horse of the boxes), the bases 1..B in
// every row, and is read as a catalogue system's row is.
struct OwnSystem
{
    SystemRequest request;
    std::vector<std::vector<int>> rows; // empty until a search found a table
    OwnTableOrigin origin = OwnTableOrigin::Searched;
    // The share (%) of the promised arrivals the table must win: 100 for the full guarantee.
    int sharePercent = 100;
    // Tickets of the full-guarantee table the search started from, when it knew one (0 if not):
    // what a partial table is weighed against.
    std::int64_t fullShareTickets = 0;

    bool hasTable() const { return !rows.empty(); }
};

// The guarantees offered for n horses, k per ticket and B bases: T from B + 1 to k. Empty when
// no request can be made of these three.
std::vector<int> guaranteeChoices(int horses, int perTicket, int bases);
// The guarantee offered first: T = k - 1 where it is offered, else the largest.
int defaultGuarantee(int horses, int perTicket, int bases);

// Why the tab cannot search this request, as a sentence; empty when it can.
QString ownRequestRefusal(const SystemRequest &request);

// The guarantee in a punter's words ("Au moins un ticket contient les 4 premiers s'ils sont dans
// la sélection"; about the first M, "Au moins un ticket contient 2 des 3 premiers s'ils sont dans
// la sélection").
QString guaranteeText(const SystemRequest &request);

// The moves the search of a request may make: a fixed function of the request, so that the
// same request always ends with the same table.
std::int64_t ownSystemMoveBudget(const SystemRequest &request);

// The smallest table of the catalogue over n horses and k per ticket that keeps the request's
// guarantee, in the catalogue's row order; empty when none does.
std::vector<std::vector<int>> catalogueTable(const SystemRequest &request);

// The table a request gets at once, with no search: the catalogue's when no table can be smaller,
// else the library's or the catalogue's, whichever is smaller; empty when neither has one.
OwnSystem readyOwnSystem(const SystemRequest &request);

// Finds the table for a share of the arrivals (100: the full guarantee). Below 100 %, it starts
// from the ready table (or, without one, searches the full guarantee first) and searches the
// smallest table still winning the share.
OwnSystem findOwnSystem(const SystemRequest &request, int sharePercent, WorkProgress &progress);

// Finds the table: the catalogue's when no table can be smaller, else the search, which keeps
// `progress` told of its moves (out of the move budget) and of the best size so far, and stops
// when `progress` asks it to; the catalogue's table wins when the search does not beat it. The
// search starts from the library's table when it has one, and keeps it when it does not beat it.
// The request must be one the tab can search (ownRequestRefusal() empty).
OwnSystem findOwnSystem(const SystemRequest &request, WorkProgress &progress);

// The line under "Chercher": the table's size against the full game and the lower bound; for a
// share below 100 %, against the full-guarantee table, with the share of the arrivals counted.
QString ownSystemResultText(const OwnSystem &system);

// The share of the arrivals as the windows write it, rounded down to a tenth ("91,4 %"): a table
// never claims more than it wins.
QString arrivalShareText(std::int64_t won, std::int64_t all);

// The checks of a ticket request on the own-system tab: a table first, then the numbers and,
// as on the generator, the first n boxes filled with different horses.
std::vector<Message> checkOwnSystemRequest(const OwnSystem &system, const SelectionBoxes &boxes);

// The game file's section of an own system: the request and the table, little-endian:
// version (1 byte, 1), n, k, B, T, origin (1 byte each), row count R (uint32), then R rows of
// k bytes, each a position 1..n. A promise about the first M > T finishers is written as
// version 2, with M (1 byte) between T and the origin; older copies refuse it rather than read
// a table that keeps another promise. Version 1 reads as M = T.
QByteArray encodeOwnSystem(const OwnSystem &system);
// The own system of a section, every field checked: nullopt when the section is malformed or
// its request is one the tab cannot make. A table that does not keep its guarantee (or the share
// given, as the share section says) is dropped and `tableDropped` set.
std::optional<OwnSystem> decodeOwnSystem(QByteArrayView payload, bool *tableDropped = nullptr, int sharePercent = 100);

// The game file's share section, beside the own system's: version (1 byte, 1), the share in
// percent (1 byte, 1..100), the table's origin (1 byte, OwnTableOrigin). Older copies skip it and
// check the table against the full guarantee.
QByteArray encodeOwnShare(const OwnSystem &system);
struct OwnShare
{
    int sharePercent = 100;
    OwnTableOrigin origin = OwnTableOrigin::Searched;
};
std::optional<OwnShare> decodeOwnShare(QByteArrayView payload);

namespace messages {
Message searchFirst();
} // namespace messages

} // namespace mvx
