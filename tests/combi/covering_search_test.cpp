// The search for a punter's own reduced system: every table it returns keeps its guarantee, judged
// here by trying every promised arrival; the sizes it reaches under a move budget; a stop request.

#include "combi/catalogue.h"
#include "combi/covering_search.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <random>
#include <set>
#include <thread>
#include <tuple>
#include <vector>

namespace mvx {
namespace {

// Every choice of T - b other positions, each tried against every row: the rows must hold it
// together with the bases.
bool holdsEveryPromisedArrival(const std::vector<std::vector<int>> &rows, const SystemRequest &r)
{
    std::vector<bool> chosen(std::size_t(r.horses - r.bases), false);
    std::fill(chosen.end() - (r.guarantee - r.bases), chosen.end(), true);
    do {
        std::vector<int> first;
        for (int b = 1; b <= r.bases; ++b)
            first.push_back(b);
        for (std::size_t i = 0; i < chosen.size(); ++i)
            if (chosen[i])
                first.push_back(r.bases + 1 + int(i));
        const bool held = std::any_of(rows.begin(), rows.end(), [&](const std::vector<int> &row) {
            return std::all_of(
                first.begin(), first.end(), [&](int p) { return std::find(row.begin(), row.end(), p) != row.end(); });
        });
        if (!held)
            return false;
    } while (std::next_permutation(chosen.begin(), chosen.end()));
    return true;
}

void expectWellFormed(const FoundSystem &found, const SystemRequest &r)
{
    ASSERT_TRUE(found.verified);
    EXPECT_EQ(found.rejectedTables, 0);
    EXPECT_GE(std::int64_t(found.rows.size()), found.lowerBound);
    EXPECT_LE(std::int64_t(found.rows.size()), found.fullCount);
    EXPECT_EQ(std::set(found.rows.begin(), found.rows.end()).size(), found.rows.size()) << "a row repeated";
    for (const std::vector<int> &row : found.rows) {
        ASSERT_EQ(int(row.size()), r.perTicket);
        EXPECT_TRUE(std::is_sorted(row.begin(), row.end()));
        EXPECT_EQ(std::set(row.begin(), row.end()).size(), row.size());
        EXPECT_GE(row.front(), 1);
        EXPECT_LE(row.back(), r.horses);
        for (int b = 1; b <= r.bases; ++b)
            EXPECT_EQ(row[std::size_t(b - 1)], b) << "bases first in every row";
    }
    EXPECT_TRUE(holdsEveryPromisedArrival(found.rows, r));
}

TEST(CoveringSearch, BoundsOfTheCatalogueCases)
{
    // C(13,5,4) >= 149, C(14,5,4) >= 219: the catalogue's 157 and 230 are above the bound.
    EXPECT_EQ(ticketLowerBound({ 13, 5, 0, 4 }), 149);
    EXPECT_EQ(ticketLowerBound({ 14, 5, 0, 4 }), 219);
    EXPECT_EQ(ticketLowerBound({ 12, 5, 0, 4 }), 113);
    EXPECT_EQ(ticketLowerBound({ 11, 4, 0, 3 }), 47);
    EXPECT_EQ(ticketLowerBound({ 12, 5, 1, 4 }), 47);
    EXPECT_EQ(fullTicketCount({ 12, 5, 1, 4 }), 330);
    EXPECT_EQ(ticketLowerBound({ 20, 5, 3, 3 }), 1); // the bases alone: any ticket holding them
}

TEST(CoveringSearch, EveryTableReturnedHoldsEveryPromisedArrival)
{
    std::mt19937 random(2024);
    for (int trial = 0; trial < 40; ++trial) {
        SystemRequest r;
        r.horses = 4 + int(random() % 9); // 4..12
        r.perTicket = 2 + int(random() % 4);
        if (r.perTicket > r.horses)
            r.perTicket = r.horses;
        r.bases = int(random() % std::min(4, r.perTicket));
        r.guarantee = r.bases + int(random() % (r.perTicket - r.bases + 1));
        SCOPED_TRACE(::testing::Message()
            << "n=" << r.horses << " k=" << r.perTicket << " b=" << r.bases << " T=" << r.guarantee);
        ASSERT_TRUE(systemRequestError(r).isEmpty()) << systemRequestError(r).toStdString();
        SearchControl control;
        control.moveBudget = 20000;
        const FoundSystem found = searchReducedSystem(r, std::uint64_t(trial), control);
        expectWellFormed(found, r);
        if (std::int64_t(found.rows.size()) > found.lowerBound) {
            EXPECT_EQ(found.end, FoundSystem::End::MoveBudget);
        }
    }
    // The checker is no rubber stamp: a table with a row taken out fails it.
    const SystemRequest steiner { 11, 5, 0, 4 };
    SearchControl control;
    control.moveBudget = 2000000;
    FoundSystem found = searchReducedSystem(steiner, 1, control);
    ASSERT_EQ(found.rows.size(), 66u);
    found.rows.erase(found.rows.begin() + 17);
    EXPECT_FALSE(holdsEveryPromisedArrival(found.rows, steiner));
    EXPECT_FALSE(keepsGuarantee(found.rows, steiner));
}

TEST(CoveringSearch, ReachesTheCatalogueSizesWithinAMoveBudgetAndRepeatsItself)
{
    struct Case
    {
        int system;
        SystemRequest request;
        int tickets; // the best known: the catalogue's, less the rows it adds to reach its advertised count
    };
    const Case cases[] = {
        { 6, { 9, 5, 0, 3 }, 12 }, // the greedy table has 13; the bound, 11, is not reachable
        { 21, { 11, 5, 1, 4 }, 30 }, // the greedy table has 37; the catalogue pads 30 to 34
        { 14, { 11, 5, 0, 4 }, 66 }, // the Steiner system S(4,5,11)
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.system);
        SearchControl control;
        control.moveBudget = 400000;
        const FoundSystem found = searchReducedSystem(c.request, 1, control);
        expectWellFormed(found, c.request);
        EXPECT_EQ(int(found.rows.size()), c.tickets);
        EXPECT_LE(int(found.rows.size()), reducedSystem(c.system).ticketCount);
        SearchControl again;
        again.moveBudget = 400000;
        const FoundSystem second = searchReducedSystem(c.request, 1, again);
        EXPECT_EQ(second.rows, found.rows);
        EXPECT_EQ(second.moves, found.moves);
    }
}

TEST(CoveringSearch, AStopRequestReturnsTheBestTableSoFar)
{
    const SystemRequest request { 14, 5, 0, 4 };
    SearchControl control;
    std::vector<SearchProgress> reports;
    std::int64_t movesAtStop = -1;
    control.progressInterval = 0;
    control.progress = [&](const SearchProgress &p) {
        reports.push_back(p);
        // "Annuler" pressed once the search has a table and is trying to better it.
        if (movesAtStop < 0 && p.bestTickets > 0 && p.triedTickets > 0 && p.moves > 5000) {
            movesAtStop = p.moves;
            control.requestStop();
        }
    };
    const FoundSystem found = searchReducedSystem(request, 3, control);
    EXPECT_EQ(found.end, FoundSystem::End::Stopped);
    expectWellFormed(found, request);
    ASSERT_FALSE(reports.empty());
    EXPECT_EQ(reports.back().bestTickets, int(found.rows.size()));
    // Measured from the moves reported when the stop came, not from the start: on a loaded machine
    // one thread may run far ahead of the one that reports before the stop is even asked for.
    // After it, each of the two workers makes at most the 1024 moves between two looks at the stop
    // flag, and the other's count in the report may lag by as many.
    ASSERT_GE(movesAtStop, 0);
    EXPECT_LT(found.moves - movesAtStop, 4096) << "the stop was not honoured promptly";
}

// The two threads of a search are scheduled as the machine pleases: a caller that holds up its own
// thread (a slow progress report) must not change the table, nor the moves counted, whether the
// search ends at its move budget (an odd one, so that its halves differ) or at the lower bound, and
// whether or not the workers exchange tables along the way (the third case, every 8,192 moves).
TEST(CoveringSearch, TheTableDoesNotDependOnHowTheThreadsAreScheduled)
{
    struct Case
    {
        SystemRequest request;
        std::int64_t budget;
        std::uint64_t seed; // 1 for C(11,5,4): the second worker reaches the bound first, the first is stopped
        std::int64_t exchangeMoves = ReducedSearchOptions {}.exchangeMoves;
    };
    for (const Case &c : { Case { { 13, 4, 0, 3 }, 300001, 5 }, Case { { 11, 5, 0, 4 }, 4000000, 1 },
             Case { { 14, 5, 0, 4 }, 3000001, 2, 8192 } }) {
        const SystemRequest &request = c.request;
        const std::int64_t budget = c.budget;
        SCOPED_TRACE(request.horses);
        std::vector<FoundSystem> runs;
        for (int slow = 0; slow < 3; ++slow) {
            SearchControl control;
            control.moveBudget = budget;
            control.progressInterval = 0;
            if (slow > 0)
                control.progress = [slow](const SearchProgress &) {
                    std::this_thread::sleep_for(std::chrono::microseconds(200 * slow));
                };
            ReducedSearchOptions options;
            options.exchangeMoves = c.exchangeMoves;
            runs.push_back(searchReducedSystem(request, c.seed, control, options));
            expectWellFormed(runs.back(), request);
        }
        if (c.exchangeMoves < 100000) {
            EXPECT_GT(runs[0].takenTables, 0) << "no worker ever took the other's smaller table";
        }
        const bool atBound = std::int64_t(runs[0].rows.size()) == runs[0].lowerBound;
        EXPECT_EQ(runs[0].end, atBound ? FoundSystem::End::BoundReached : FoundSystem::End::MoveBudget);
        if (!atBound) {
            EXPECT_EQ(runs[0].moves, budget) << "every move of the budget made, none twice";
        }
        for (const FoundSystem &run : runs) {
            EXPECT_EQ(run.rows, runs[0].rows);
            EXPECT_EQ(run.moves, runs[0].moves);
            EXPECT_EQ(run.end, runs[0].end);
            // Past the bound, whether the slower worker takes the table or is stopped first
            // depends on timing; the table kept and the moves counted do not.
            if (!atBound) {
                EXPECT_EQ(run.takenTables, runs[0].takenTables);
            }
        }
    }
}

// The first worker searches as a search on one thread would with its half of the budget, and the
// second only ever takes the first's smaller tables: two threads never end above one.
TEST(CoveringSearch, TwoWorkersNeverEndAboveTheFirstAlone)
{
    int taken = 0;
    for (const SystemRequest &request : { SystemRequest { 14, 5, 0, 4 } }) {
        for (std::uint64_t seed : { 1, 2 }) {
            SCOPED_TRACE(request.horses * 10 + int(seed));
            ReducedSearchOptions options;
            options.exchangeMoves = 8192;
            SearchControl both;
            both.moveBudget = 3000000;
            const FoundSystem together = searchReducedSystem(request, seed, both, options);
            options.workers = 1;
            SearchControl one;
            one.moveBudget = 1500000;
            const FoundSystem alone = searchReducedSystem(request, seed, one, options);
            expectWellFormed(together, request);
            EXPECT_LE(together.rows.size(), alone.rows.size());
            EXPECT_EQ(alone.takenTables, 0);
            taken += together.takenTables;
        }
    }
    EXPECT_GT(taken, 0) << "the second worker never followed the first";
}

// Blocks searched in orbits of a cycle come out as whole orbits that cover: the Fano plane as the
// cyclic difference set it is, the Steiner system S(3,4,8) as two orbits of a 7-cycle with the
// eighth point fixed; a count that is no multiple of the cycle is refused.
TEST(CoveringSearch, CyclicOrbitsGiveWholeOrbits)
{
    for (const auto &[v, k, t, blocks] : { std::tuple { 7, 3, 2, 7 }, std::tuple { 8, 4, 3, 14 } }) {
        SCOPED_TRACE(v);
        CoveringDesignSearch search;
        search.points = v;
        search.blockSize = k;
        search.strength = t;
        search.blocks = blocks;
        search.cycle = 7;
        SearchControl control;
        control.moveBudget = 2000000;
        const CoveringDesignOutcome outcome = searchCoveringDesign(search, control);
        ASSERT_TRUE(outcome.found) << outcome.error;
        EXPECT_TRUE(coversEverySubset(outcome.blocks, v, t));
        const std::multiset<PointSet> all(outcome.blocks.begin(), outcome.blocks.end());
        for (PointSet block : outcome.blocks) {
            const PointSet cycled = block & 0x7f;
            const PointSet shifted = (block & ~PointSet(0x7f)) | (((cycled << 1) | (cycled >> 6)) & 0x7f);
            EXPECT_EQ(all.count(shifted), all.count(block)) << "an orbit broken at block " << block;
        }
    }
    CoveringDesignSearch uneven;
    uneven.points = 7;
    uneven.blockSize = 3;
    uneven.strength = 2;
    uneven.blocks = 8;
    uneven.cycle = 7;
    SearchControl control;
    EXPECT_FALSE(searchCoveringDesign(uneven, control).found);
    EXPECT_FALSE(searchCoveringDesign(uneven, control).error.empty());
}

// The search behind the checked-in tables gives them again from the same settings.
TEST(CoveringSearch, FixedSizeSearchGivesTheCheckedInTables)
{
    struct Case
    {
        int system, v, k, t, bases;
    };
    for (const Case c : { Case { 6, 9, 5, 3, 0 }, Case { 20, 9, 4, 3, 1 }, Case { 14, 11, 5, 4, 0 } }) {
        SCOPED_TRACE(c.system);
        const ReducedSystem &system = reducedSystem(c.system);
        CoveringDesignSearch search;
        search.points = c.v;
        search.blockSize = c.k;
        search.strength = c.t;
        search.blocks = system.ticketCount;
        SearchControl control;
        const CoveringDesignOutcome outcome = searchCoveringDesign(search, control);
        ASSERT_TRUE(outcome.found);
        std::vector<std::vector<int>> rows;
        for (PointSet block : outcome.blocks) {
            std::vector<int> row;
            for (int b = 1; b <= c.bases; ++b)
                row.push_back(b);
            for (int p = 0; p < c.v; ++p)
                if ((block >> p) & 1)
                    row.push_back(c.bases + 1 + p);
            rows.push_back(row);
        }
        std::sort(rows.begin(), rows.end());
        std::vector<std::vector<int>> expected;
        for (int t = 1; t <= system.ticketCount; ++t)
            expected.emplace_back(system.row(t).begin(), system.row(t).end());
        EXPECT_EQ(rows, expected);
    }
}

// A move budget smaller than the two workers once left the second one searching without end.
// Every small request, with and without a share, ends on a budget of 1 and 2 moves with a proven
// table; a watchdog stops a search that would not end, so that a fault fails here instead of hanging.
TEST(CoveringSearch, EveryTinyMoveBudgetEndsWithAProvenTable)
{
    int searched = 0;
    for (int n = 2; n <= 9; ++n)
        for (int k = 2; k <= std::min(5, n); ++k)
            for (int b = 0; b <= std::min(3, k - 1); ++b)
                for (int t = b + 1; t <= k; ++t)
                    for (int share : { 100, 99 })
                        for (std::int64_t moves : { 1, 2 }) {
                            const SystemRequest request { n, k, b, t };
                            SCOPED_TRACE(testing::Message() << "n " << n << " k " << k << " b " << b << " t " << t
                                                            << " share " << share << " moves " << moves);
                            SearchControl control;
                            control.moveBudget = moves;
                            ReducedSearchOptions options;
                            options.sharePercent = share;
                            std::mutex mutex;
                            std::condition_variable ended;
                            bool done = false;
                            bool stoppedByWatchdog = false;
                            std::thread watchdog([&] {
                                std::unique_lock<std::mutex> lock(mutex);
                                if (!ended.wait_for(lock, std::chrono::seconds(20), [&] { return done; })) {
                                    stoppedByWatchdog = true;
                                    control.requestStop();
                                }
                            });
                            const FoundSystem found = searchReducedSystem(request, 1, control, options);
                            {
                                std::lock_guard<std::mutex> lock(mutex);
                                done = true;
                            }
                            ended.notify_one();
                            watchdog.join();
                            ASSERT_FALSE(stoppedByWatchdog) << "the search did not end on its move budget";
                            ASSERT_TRUE(found.verified);
                            EXPECT_LE(found.moves, moves);
                            EXPECT_TRUE(keepsShare(found.rows, request, share));
                            EXPECT_TRUE(found.end == FoundSystem::End::MoveBudget
                                || found.end == FoundSystem::End::BoundReached);
                            ++searched;
                        }
    EXPECT_GT(searched, 400);
}

} // namespace
} // namespace mvx
