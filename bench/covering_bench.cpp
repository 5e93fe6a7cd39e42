// The search for a punter's own reduced system, run as a window runs it: the tickets it reaches
// within a time budget (or a move budget), against the lower bound no table can beat. Speed here
// is the size reached, so each request runs once; the counters say the size, the bound, the moves
// and the processor seconds (both cores count).
//
//   covering_bench                               the four hard requests, 10 s each (14 horses 5 per
//                                                ticket T=4 also 60 s)
//   covering_bench --grid                        every covering behind a request with B < T < k up to
//                                                14 horses, 10 s each
//   covering_bench --moves=M                     a move budget instead of the time
//   covering_bench --fixed                       the move budget movesForSeconds() gives for the time
//   covering_bench --seconds=S                   another time budget
//   covering_bench --large                       the requests punters make on a big field, 60 s each
//   covering_bench --workers=1                   the search on one thread instead of two
//   covering_bench --seed=S                      another seed than 1
//   covering_bench --starts                      the greedy tables a search starts from, the first
//                                                missed promise's and the max-coverage one, on the
//                                                ten hardest requests: size after dropping blocks
//                                                nothing needs, and time
//   covering_bench --constructions               the time each construction takes

#include "combi/covering_constructions.h"
#include "combi/covering_greedy.h"
#include "combi/covering_search.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

namespace {

double processSeconds()
{
    timespec ts {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) * 1e-9;
}

int workers = 2;
std::uint64_t seed = 1;

void Reduce(benchmark::State &state, mvx::SystemRequest request, double seconds, std::int64_t moves)
{
    mvx::FoundSystem found;
    double cpu = 0;
    for (auto _ : state) {
        mvx::SearchControl control;
        control.secondsBudget = moves > 0 ? 0 : seconds;
        control.moveBudget = moves;
        const double before = processSeconds();
        mvx::ReducedSearchOptions options;
        options.workers = workers;
        found = mvx::searchReducedSystem(request, seed, control, options);
        cpu = processSeconds() - before;
    }
    state.counters["tickets"] = double(found.rows.size());
    state.counters["bound"] = double(found.lowerBound);
    state.counters["above"] = double(std::int64_t(found.rows.size()) - found.lowerBound);
    state.counters["Mmoves"] = double(found.moves) / 1e6;
    state.counters["cpu_s"] = cpu;
    state.counters["verified"] = found.verified ? 1 : 0;
    state.counters["taken"] = found.takenTables;
    if (!found.verified)
        state.SkipWithError("no table passed the check");
}

void add(const mvx::SystemRequest &r, double seconds, std::int64_t moves)
{
    const std::string name = "Reduce/n" + std::to_string(r.horses) + "_k" + std::to_string(r.perTicket) + "_b"
        + std::to_string(r.bases) + "_T" + std::to_string(r.guarantee) + "/"
        + (moves > 0 ? std::to_string(moves) + "moves" : std::to_string(int(seconds)) + "s");
    benchmark::RegisterBenchmark(name.c_str(), Reduce, r, seconds, moves)
        ->Iterations(1)
        ->UseRealTime()
        ->Unit(benchmark::kSecond);
}

// One greedy start: its size once the blocks nothing needs are dropped, against the bound.
void Start(benchmark::State &state, int v, int k, int t, bool maxCoverage)
{
    std::size_t size = 0;
    for (auto _ : state) {
        std::vector<mvx::PointSet> blocks
            = maxCoverage ? mvx::maxCoverageGreedy(v, k, t, t) : mvx::firstMissedGreedy(v, k, t, t);
        size = mvx::withoutRedundantBlocks(std::move(blocks), v, t, t).size();
    }
    state.counters["tickets"] = double(size);
    state.counters["bound"] = double(mvx::schonheimBound(v, k, t));
}

void Construction(benchmark::State &state, int v, int k, int t, int m)
{
    std::size_t size = 0;
    for (auto _ : state)
        size = mvx::constructedDesign(v, k, t, m)->size();
    state.counters["tickets"] = double(size);
}

void addStarts()
{
    struct Hard
    {
        int v, k, t;
    };
    for (const Hard &h :
        { Hard { 15, 5, 4 }, Hard { 16, 5, 4 }, Hard { 17, 5, 4 }, Hard { 18, 5, 4 }, Hard { 19, 5, 4 },
            Hard { 20, 5, 4 }, Hard { 19, 5, 3 }, Hard { 20, 5, 3 }, Hard { 20, 6, 4 }, Hard { 20, 7, 4 } })
        for (bool maxCoverage : { false, true }) {
            const std::string name = std::string(maxCoverage ? "MaxCoverageStart" : "FirstMissedStart") + "/C("
                + std::to_string(h.v) + "," + std::to_string(h.k) + "," + std::to_string(h.t) + ")";
            benchmark::RegisterBenchmark(name.c_str(), Start, h.v, h.k, h.t, maxCoverage)
                ->Unit(benchmark::kMillisecond);
        }
}

void addConstructions()
{
    struct Made
    {
        const char *name;
        int v, k, t, m;
    };
    for (const Made &c : { Made { "Turan/20_pairs_every_4", 20, 2, 2, 4 }, Made { "SQS/10", 10, 4, 3, 3 },
             Made { "SQS/20", 20, 4, 3, 3 }, Made { "InversivePlane/17", 17, 5, 3, 3 } })
        benchmark::RegisterBenchmark(c.name, Construction, c.v, c.k, c.t, c.m)->Unit(benchmark::kMillisecond);
}

} // namespace

int main(int argc, char **argv)
{
    bool grid = false;
    bool large = false;
    bool starts = false;
    bool constructions = false;
    double seconds = 10;
    std::int64_t moves = 0;
    std::vector<char *> rest;
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "--grid") == 0)
            grid = true;
        else if (std::strcmp(argv[i], "--large") == 0)
            large = true;
        else if (std::strcmp(argv[i], "--starts") == 0)
            starts = true;
        else if (std::strcmp(argv[i], "--constructions") == 0)
            constructions = true;
        else if (std::strncmp(argv[i], "--seed=", 7) == 0)
            seed = std::strtoull(argv[i] + 7, nullptr, 10);
        else if (std::strncmp(argv[i], "--workers=", 10) == 0)
            workers = std::atoi(argv[i] + 10);
        else if (std::strncmp(argv[i], "--seconds=", 10) == 0)
            seconds = std::atof(argv[i] + 10);
        else if (std::strcmp(argv[i], "--fixed") == 0)
            moves = -1;
        else if (std::strncmp(argv[i], "--moves=", 8) == 0)
            moves = std::atoll(argv[i] + 8);
        else
            rest.push_back(argv[i]);
    }
    const bool fixed = moves < 0;
    if (fixed)
        moves = mvx::movesForSeconds(seconds);
    if (starts) {
        addStarts();
    } else if (constructions) {
        addConstructions();
    } else if (large) {
        // 5 per ticket with T = 4 and T = 3, 4 per ticket with T = 3, from 17 to 20 horses.
        const double s = seconds == 10 ? 60 : seconds;
        for (const mvx::SystemRequest &r : { mvx::SystemRequest { 17, 5, 0, 4 }, mvx::SystemRequest { 20, 5, 0, 4 },
                 mvx::SystemRequest { 17, 5, 0, 3 }, mvx::SystemRequest { 18, 5, 0, 3 },
                 mvx::SystemRequest { 20, 4, 0, 3 } })
            add(r, s, fixed ? mvx::movesForSeconds(s) : (moves > 0 ? moves : 0));
    } else if (grid) {
        // With the bases in every ticket, a request is the covering C(n - B, k - B, T - B): one
        // request per covering, without bases.
        for (int k = 2; k <= 5; ++k)
            for (int t = 1; t < k; ++t)
                for (int n = k + 1; n <= 14; ++n)
                    add({ n, k, 0, t }, seconds, moves);
    } else {
        for (const mvx::SystemRequest &r : { mvx::SystemRequest { 13, 5, 0, 4 }, mvx::SystemRequest { 14, 5, 0, 4 },
                 mvx::SystemRequest { 13, 4, 0, 3 }, mvx::SystemRequest { 14, 4, 0, 3 } })
            add(r, seconds, moves);
        if (moves == 0 || fixed)
            add({ 14, 5, 0, 4 }, 60, fixed ? mvx::movesForSeconds(60) : 0);
    }
    int count = int(rest.size());
    benchmark::Initialize(&count, rest.data());
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
