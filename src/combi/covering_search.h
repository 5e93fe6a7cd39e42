#pragma once

#include "combi/covering_design.h"

#include <QString>

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace mvx {

// What a running search reports.
struct SearchProgress
{
    int bestTickets = 0; // tickets of the best table found so far (0 before the first)
    int triedTickets = 0; // tickets the search is trying to reach, 0 when it is not annealing
    int uncovered = 0; // guarantees the current state of that try still misses
    std::int64_t moves = 0; // moves made so far
    double seconds = 0;
    double budgetUsed = -1; // share of the move or time budget used, 0..1; -1 with no budget
};

// How long a search may run, what it reports while it runs, and how to stop it. A window runs the
// search on a worker thread, shows the progress and calls requestStop() from its "Annuler" button;
// the search then returns the best table found so far.
class SearchControl
{
public:
    std::int64_t moveBudget = 0; // 0: no limit
    double secondsBudget = 0; // 0: no limit
    // Called on the searching thread, at most every progressInterval seconds and at each better
    // table. It may call requestStop().
    std::function<void(const SearchProgress &)> progress;
    double progressInterval = 0.1;

    // Safe from any thread and from a signal handler.
    void requestStop() noexcept { stop_.store(true, std::memory_order_relaxed); }
    bool stopRequested() const noexcept { return stop_.load(std::memory_order_relaxed); }

private:
    std::atomic<bool> stop_ { false };
};

// The annealing schedule: the temperature falls by a factor per level of moves, from the start to
// the end temperature; then the search reheats from where it stands, and after `reheats` reheats
// it restarts from random blocks.
struct AnnealingSchedule
{
    double startTemperature = 1.0;
    double endTemperature = 0.05;
    double coolingFactor = 0.99;
    std::int64_t levelLength = 0; // moves per level; 0 picks max(1000, 4 · blocks · k)
    int reheats = 10;
    double reheatTemperature = 0; // where a reheat starts; 0: the start temperature
    int starts = 0; // the search gives up after this many starts and their reheats; 0: never
};

// A search for a C(v, k, t) covering with a fixed number of blocks.
struct CoveringDesignSearch
{
    int points = 0; // v, at most kMaxCoveringPoints
    int blockSize = 0; // k
    int strength = 0; // t
    // m: every m-subset must meet a block in at least t points; 0 (or t) for a covering.
    int among = 0;
    int blocks = 0;
    std::uint64_t seed = 1;
    AnnealingSchedule schedule;
    // Blocks come in orbits of a product of 3-cycles on the first points, plus (blocks mod 3)
    // fixed blocks, each a cycle with the fixed points; needs v = 3c + (k - 3).
    bool orbit3 = false;
    // Blocks come in orbits of a cycle on the first `cycle` points (the others fixed): blocks must be a
    // multiple of `cycle`. 0 for none; not with orbit3.
    int cycle = 0;
    // When a cooling reaches a new low of at most repairCost uncovered subsets, try every way of
    // replacing up to repairDepth blocks, each new block holding the first subset left uncovered.
    int repairDepth = 0;
    int repairCost = 1;
    // The search ends as soon as at most this many t-subsets are left uncovered: 0 for a covering,
    // more for a table that keeps its promise for a share of the arrivals only.
    int allowedUncovered = 0;
    bool verbose = false; // a log line per cooling
    std::function<void(const std::string &)> log;
};

struct CoveringDesignOutcome
{
    bool found = false;
    std::vector<PointSet> blocks; // the covering when found, as searched (a block may repeat)
    std::int64_t moves = 0;
    int restarts = 0;
    int bestCost = 0; // fewest uncovered subsets seen
    double seconds = 0;
    std::string error; // settings the search cannot run with
};

// Simulated annealing with the neighbourhood of Nurmela and Östergård: the cost is the number of
// uncovered t-subsets; a move takes a random uncovered subset and a block holding all of it but one
// point, and swaps one of the block's other points for the missing one, kept by the Metropolis rule.
// One seeded generator drives everything: the same settings give the same blocks, and a budget or
// a stop request only ends the search earlier.
CoveringDesignOutcome searchCoveringDesign(const CoveringDesignSearch &search, SearchControl &control);

// A punter's own reduced system: n horses (bases included), k per ticket, b bases in every ticket,
// and the guarantee T: whenever the first T finishers are the bases and T - b other horses of the
// selection, at least one ticket holds all T.
//
// With `among` = M above T, the promise is wider: whenever the first M finishers are the bases and
// M - b other horses of the selection, at least one ticket holds T of them, the bases included
// (every M - b of the other horses meet some ticket in T - b of them). 0 (or T) for the above.
struct SystemRequest
{
    int horses = 0;
    int perTicket = 0;
    int bases = 0;
    int guarantee = 0;
    int among = 0;
};

// The most horses per ticket of an own system.
constexpr int kMostPerOwnTicket = 7;

// M: the horses of the arrival the promise is about (T when `among` is 0).
int promiseSize(const SystemRequest &request);

// Why a request cannot be searched (empty when it can): n up to 20, k from 2 to 7, b from 0 to 3
// and below k, b <= T <= k <= n, T <= M <= n.
QString systemRequestError(const SystemRequest &request);

// C(n - b, k - b): the tickets of the complete game with the bases in every ticket.
std::int64_t fullTicketCount(const SystemRequest &request);

// The Schönheim bound of the covering the request amounts to: no table keeps the guarantee with
// fewer tickets.
std::int64_t ticketLowerBound(const SystemRequest &request);

// Checks a table against the guarantee by trying every promised arrival: each row must hold k
// distinct positions of 1..n with the bases 1..b, and every choice of T - b of the other positions
// must lie in a row. Shares nothing with the search.
bool keepsGuarantee(const std::vector<std::vector<int>> &rows, const SystemRequest &request);

// A move budget worth about `seconds` of search on an ordinary two-core desktop: a request searched
// to this budget always gives the same table, where a time budget depends on the machine's load.
std::int64_t movesForSeconds(double seconds);

struct FoundSystem
{
    enum class End
    {
        BoundReached, // no table can be smaller
        MoveBudget,
        TimeBudget,
        Stopped,
    };
    // Positions in the selection, bases 1..b first then the others in increasing order; rows in
    // lexicographic order, as the catalogue lists its tables.
    std::vector<std::vector<int>> rows;
    std::int64_t fullCount = 0;
    std::int64_t lowerBound = 0;
    bool verified = false; // always true for a table returned; false only with no table at all
    End end = End::Stopped;
    std::int64_t moves = 0;
    double seconds = 0;
    int rejectedTables = 0; // tables the search proposed that failed the check (a fault if ever seen)
    int takenTables = 0; // smaller tables a worker took from the other at an exchange
    // The promised arrivals (the bases and T - b other horses of the selection in the first T
    // places, counted as the choices of the T - b) and those a ticket of the table wins.
    std::int64_t promisedArrivals = 0;
    std::int64_t wonArrivals = 0;
};

// The promised arrivals a table wins: the choices of T - b of the other positions that lie in a
// row, counted by marking the choices each row holds, then looking at every choice (shares
// nothing with the search's counters). -1 when a row is not a row of the request (k distinct
// positions of 1..n with the bases 1..b).
std::int64_t wonArrivalCount(const std::vector<std::vector<int>> &rows, const SystemRequest &request);
// C(n - b, T - b): every promised arrival.
std::int64_t promisedArrivalCount(const SystemRequest &request);
// True when the table wins at least `sharePercent` % of the promised arrivals (100: the full
// guarantee, as keepsGuarantee()).
bool keepsShare(const std::vector<std::vector<int>> &rows, const SystemRequest &request, int sharePercent);
// The promised arrivals a table may miss and still keep `sharePercent` % of them.
std::int64_t allowedMisses(const SystemRequest &request, int sharePercent);
// No table keeping `sharePercent` % of the promised arrivals has fewer tickets: the Schönheim bound
// at 100 %, else the wins needed over the wins a ticket can hold at most.
std::int64_t shareLowerBound(const SystemRequest &request, int sharePercent);

// What a reduced-system search may be given beyond the request.
struct ReducedSearchOptions
{
    // A table keeping the share to start from instead of the greedy one (rows as FoundSystem's);
    // ignored when it does not keep the share.
    std::vector<std::vector<int>> start;
    int sharePercent = 100; // 1..100: the share of the promised arrivals the table must win
    int workers = 2; // searches side by side, 1 or 2 (the tools that run for an hour use one core)
    // Each worker's moves between two exchanges of tables (the second worker takes the first's
    // smaller table); 0 for none.
    std::int64_t exchangeMoves = std::int64_t(1) << 20;
};

// Searches a small table keeping the guarantee: a greedy table first, then annealing for one
// ticket fewer each time, until the lower bound is reached, the budget is spent or a stop is
// requested. Each size is tried from the best table with one ticket taken out, a different one at
// each new start, so that a long search keeps trying where a short one stopped. Never starts from
// the catalogue. Every table returned has passed keepsGuarantee().
// Two searches run side by side on two threads (the caller's and one more), each with its own seed,
// schedule and half of the move budget. The first searches exactly as a search on one thread; every
// `exchangeMoves` of its own moves the second takes the first's table when it is smaller, so it
// works at the smallest size found and the two together end with no larger a table than the first
// alone. Progress is reported on the caller's thread. Deterministic for a seed and a move budget, however the threads
// are scheduled; a time budget or a stop only ends it earlier. The request must be valid (systemRequestError() empty).
FoundSystem searchReducedSystem(const SystemRequest &request, std::uint64_t seed, SearchControl &control);
// The same, from a given table, for a share of the arrivals, or on one thread. The defaults give
// exactly the search above.
FoundSystem searchReducedSystem(
    const SystemRequest &request, std::uint64_t seed, SearchControl &control, const ReducedSearchOptions &options);

} // namespace mvx
