// covering_search: the covering designs behind the ticket tables of the reduced systems.
//
// A reduced system over v horses, B of them bases, with k horses per ticket promises that every t-subset of the
// v - B other horses lies in at least one ticket. With the bases in every row, the rest of each row is a
// (k - B)-subset of the other horses, so a table is a covering design C(v - B, k - B, t): blocks such that every
// t-subset of the points lies in at least one block.
//
// The search itself is the program's own (combi/covering_search.h): simulated annealing over a fixed number of
// blocks, with the 3-cycle orbits and the exhaustive repair for the hardest case. This front end reads the
// options, writes the rows of positions and checks every covering before writing it.

#include "combi/covering_search.h"
#include "combi/covering_design.h"

#include <algorithm>
#include <bit>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

// The running search, stopped by SIGTERM or SIGINT: it then writes the best covering found so far.
mvx::SearchControl *runningSearch = nullptr;

extern "C" void stopSearch(int)
{
    if (runningSearch)
        runningSearch->requestStop();
}

using mvx::PointSet;
using Mask = PointSet;

struct Options
{
    int v = 0; // points (the non-base horses)
    int k = 0; // block size (non-base horses per ticket)
    int t = 0; // size of the subsets that must be covered
    int blocks = 0; // blocks searched for
    int bases = 0; // bases put in front of every row
    int rows = 0; // rows written: extra distinct rows are added after the covering
    int system = 0; // system number for the block header, 0 for none
    bool complete = false; // write every k-subset instead of searching
    std::string from; // read the blocks from this file instead of searching
    std::uint64_t seed = 1;
    double maxSeconds = 600;
    long long maxMoves = 0; // 0: no limit
    double startTemperature = 1.0;
    double endTemperature = 0.05;
    double coolingFactor = 0.99;
    long levelLength = 0; // moves per temperature level; 0 picks one from the instance size
    int reheats = 10; // reheats before a restart from random blocks
    bool orbit3 = false;
    int cycle = 0; // blocks in orbits of a cycle on the first points
    int repairDepth = 0;
    int repairCost = 1; // repair states with at most this many uncovered subsets
    bool verbose = false; // a line per cooling on standard error
    bool descend = false; // search ever smaller coverings instead of one size
    double cpuSeconds = 0; // with --descend: processor time after which the search stops
    int share = 100; // with --descend: the share (%) of the t-subsets that must be covered
    std::string start; // with --descend: a covering to start from
    int workers = 1; // with --descend: searches side by side (2 exchange their tables)
};

bool readBlocks(const std::string &fileName, const Options &o, std::vector<Mask> &blocks, std::string &error)
{
    std::ifstream in(fileName);
    if (!in) {
        error = "cannot open " + fileName;
        return false;
    }
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream fields(line);
        Mask block = 0;
        int p;
        int n = 0;
        while (fields >> p) {
            if (p < 1 || p > o.v) {
                error = "point out of range in: " + line;
                return false;
            }
            block |= Mask(1) << (p - 1);
            ++n;
        }
        if (n == 0)
            continue;
        if (n != o.k || std::popcount(block) != o.k) {
            error = "not a block of " + std::to_string(o.k) + " distinct points: " + line;
            return false;
        }
        blocks.push_back(block);
    }
    return true;
}

// Rows of positions: the bases 1..B, then the block's points shifted past the bases.
std::vector<std::vector<int>> rowsOf(const std::vector<Mask> &blocks, int bases)
{
    std::vector<std::vector<int>> rows;
    for (Mask b : blocks) {
        std::vector<int> row;
        for (int i = 1; i <= bases; ++i)
            row.push_back(i);
        for (int p = 0; p < 32; ++p)
            if ((b >> p) & 1)
                row.push_back(p + 1 + bases);
        rows.push_back(row);
    }
    return rows;
}

void usage()
{
    std::fprintf(stderr,
        "usage: covering_search --v V --k K --t T [--blocks N] [--bases B] [--rows R] [--system S]\n"
        "                       [--complete] [--from FILE] [--seed X] [--max-seconds S] [--max-moves M]\n"
        "                       [--start-temperature T0] [--end-temperature T1] [--cooling F]\n"
        "                       [--level-length L] [--reheats R] [--orbit3] [--cycle L] [--repair D]\n"
        "                       [--repair-cost C] [--verbose]\n"
        "       covering_search --descend --v V --k K --t T [--seed X] [--max-moves M] [--cpu-seconds S]\n"
        "                       [--share P] [--start FILE] [--workers 1|2]\n"
        "V, K and T count the points without the bases. Writes the rows to standard output and a line\n"
        "about the search to standard error; exits with 1 when no covering was found.\n");
}

bool parse(int argc, char **argv, Options &o)
{
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto value = [&]() -> const char * { return i + 1 < argc ? argv[++i] : nullptr; };
        auto number = [&](auto &target) {
            const char *text = value();
            if (!text)
                return false;
            std::istringstream in(text);
            in >> target;
            return !in.fail();
        };
        bool ok = true;
        if (a == "--v")
            ok = number(o.v);
        else if (a == "--k")
            ok = number(o.k);
        else if (a == "--t")
            ok = number(o.t);
        else if (a == "--blocks")
            ok = number(o.blocks);
        else if (a == "--bases")
            ok = number(o.bases);
        else if (a == "--rows")
            ok = number(o.rows);
        else if (a == "--system")
            ok = number(o.system);
        else if (a == "--complete")
            o.complete = true;
        else if (a == "--from") {
            const char *text = value();
            ok = text != nullptr;
            if (ok)
                o.from = text;
        } else if (a == "--seed")
            ok = number(o.seed);
        else if (a == "--max-seconds")
            ok = number(o.maxSeconds);
        else if (a == "--max-moves")
            ok = number(o.maxMoves);
        else if (a == "--start-temperature")
            ok = number(o.startTemperature);
        else if (a == "--end-temperature")
            ok = number(o.endTemperature);
        else if (a == "--cooling")
            ok = number(o.coolingFactor);
        else if (a == "--level-length")
            ok = number(o.levelLength);
        else if (a == "--reheats")
            ok = number(o.reheats);
        else if (a == "--orbit3")
            o.orbit3 = true;
        else if (a == "--cycle")
            ok = number(o.cycle);
        else if (a == "--repair")
            ok = number(o.repairDepth);
        else if (a == "--repair-cost")
            ok = number(o.repairCost);
        else if (a == "--verbose")
            o.verbose = true;
        else if (a == "--descend")
            o.descend = true;
        else if (a == "--cpu-seconds")
            ok = number(o.cpuSeconds);
        else if (a == "--share")
            ok = number(o.share);
        else if (a == "--workers")
            ok = number(o.workers) && (o.workers == 1 || o.workers == 2);
        else if (a == "--start") {
            const char *text = value();
            ok = text != nullptr;
            if (ok)
                o.start = text;
        } else
            ok = false;
        if (!ok) {
            std::fprintf(stderr, "bad or incomplete option: %s\n", a.c_str());
            return false;
        }
    }
    if (o.v < 1 || o.v > 24 || o.k < 1 || o.k > o.v || o.t < 1 || o.t > o.k || o.bases < 0) {
        std::fprintf(stderr, "need 1 <= t <= k <= v <= 24\n");
        return false;
    }
    if (o.descend && (o.k > 7 || o.v > 20 || o.t < 1 || o.share < 1 || o.share > 100)) {
        std::fprintf(stderr, "--descend needs v <= 20, k <= 7 and a share of 1 to 100\n");
        return false;
    }
    if (!o.complete && !o.descend && o.from.empty() && o.blocks < 1) {
        std::fprintf(stderr, "--blocks is needed for a search\n");
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    Options o;
    if (!parse(argc, argv, o)) {
        usage();
        return 2;
    }

    std::vector<Mask> blocks;
    std::string how;
    char line[256];
    if (o.complete) {
        blocks = mvx::subsetsInOrder(o.v, o.k);
        how = "every " + std::to_string(o.k) + "-subset of the " + std::to_string(o.v) + " other positions";
    } else if (o.descend) {
        // The reduced-system search on one thread (or two), from a greedy covering (or --start)
        // down one block at a time, stopped by the move budget or the processor time spent.
        mvx::SystemRequest request { o.v, o.k, 0, o.t };
        mvx::ReducedSearchOptions options;
        options.workers = o.workers;
        options.sharePercent = o.share;
        if (!o.start.empty()) {
            std::vector<Mask> startBlocks;
            std::string error;
            if (!readBlocks(o.start, o, startBlocks, error)) {
                std::fprintf(stderr, "%s\n", error.c_str());
                return 2;
            }
            options.start = rowsOf(startBlocks, 0);
        }
        mvx::SearchControl control;
        control.moveBudget = o.maxMoves;
        control.secondsBudget = o.maxSeconds;
        const std::clock_t cpuStart = std::clock();
        auto cpuUsed = [&] { return double(std::clock() - cpuStart) / CLOCKS_PER_SEC; };
        if (o.cpuSeconds > 0) {
            control.progressInterval = 0.05;
            control.progress = [&](const mvx::SearchProgress &) {
                if (cpuUsed() >= o.cpuSeconds)
                    control.requestStop();
            };
        }
        runningSearch = &control;
        std::signal(SIGTERM, stopSearch);
        std::signal(SIGINT, stopSearch);
        const mvx::FoundSystem found = mvx::searchReducedSystem(request, o.seed, control, options);
        runningSearch = nullptr;
        if (found.rows.empty()) {
            std::fprintf(stderr, "no covering\n");
            return 1;
        }
        for (const auto &row : found.rows) {
            Mask block = 0;
            for (int p : row)
                block |= Mask(1) << (p - 1);
            blocks.push_back(block);
        }
        std::fprintf(stderr,
            "C(%d,%d,%d) share %d%%: %zu blocks, seed %llu, %lld moves, %.1f s processor, %.1f s wall, "
            "bound %lld, won %lld of %lld\n",
            o.v, o.k, o.t, o.share, blocks.size(), static_cast<unsigned long long>(o.seed),
            static_cast<long long>(found.moves), cpuUsed(), found.seconds, static_cast<long long>(found.lowerBound),
            static_cast<long long>(found.wonArrivals), static_cast<long long>(found.promisedArrivals));
        std::snprintf(line, sizeof line,
            "covering C(%d,%d,%d) of %zu blocks, annealing descent on %s, seed %llu, %lld moves, %.0f s", o.v, o.k,
            o.t, blocks.size(), o.workers == 1 ? "one thread" : "two threads", static_cast<unsigned long long>(o.seed),
            static_cast<long long>(found.moves), cpuUsed());
        how = line;
        if (o.share < 100) {
            // A partial covering: written as found, with no covering check.
            for (const auto &row : rowsOf(blocks, o.bases)) {
                for (std::size_t i = 0; i < row.size(); ++i)
                    std::printf(i ? "-%d" : "%d", row[i]);
                std::printf("\n");
            }
            return 0;
        }
    } else if (!o.from.empty()) {
        std::string error;
        if (!readBlocks(o.from, o, blocks, error)) {
            std::fprintf(stderr, "%s\n", error.c_str());
            return 2;
        }
        std::snprintf(
            line, sizeof line, "covering C(%d,%d,%d) of %zu blocks read from a file", o.v, o.k, o.t, blocks.size());
        how = line;
    } else {
        mvx::CoveringDesignSearch search;
        search.points = o.v;
        search.blockSize = o.k;
        search.strength = o.t;
        search.blocks = o.blocks;
        search.seed = o.seed;
        search.schedule.startTemperature = o.startTemperature;
        search.schedule.endTemperature = o.endTemperature;
        search.schedule.coolingFactor = o.coolingFactor;
        search.schedule.levelLength = o.levelLength;
        search.schedule.reheats = o.reheats;
        search.orbit3 = o.orbit3;
        search.cycle = o.cycle;
        search.repairDepth = o.repairDepth;
        search.repairCost = o.repairCost;
        search.verbose = o.verbose;
        search.log = [](const std::string &text) { std::fprintf(stderr, "%s\n", text.c_str()); };
        mvx::SearchControl control;
        control.secondsBudget = o.maxSeconds;
        control.moveBudget = o.maxMoves;
        const mvx::CoveringDesignOutcome outcome = mvx::searchCoveringDesign(search, control);
        if (!outcome.error.empty()) {
            std::fprintf(stderr, "%s\n", outcome.error.c_str());
            return 2;
        }
        const bool found = outcome.found;
        std::fprintf(stderr, "C(%d,%d,%d) with %d blocks, seed %llu: %s after %.2f s, %lld moves, %d restarts%s\n", o.v,
            o.k, o.t, o.blocks, static_cast<unsigned long long>(o.seed), found ? "found" : "not found", outcome.seconds,
            static_cast<long long>(outcome.moves), outcome.restarts,
            found ? "" : (", best cost " + std::to_string(outcome.bestCost)).c_str());
        if (!found)
            return 1;
        blocks = outcome.blocks;
        std::snprintf(line, sizeof line, "covering C(%d,%d,%d) of %d blocks, annealing%s, seed %llu", o.v, o.k, o.t,
            o.blocks, o.orbit3 ? " over 3-cycle orbits" : "", static_cast<unsigned long long>(o.seed));
        how = line;
    }

    if (!mvx::coversEverySubset(blocks, o.v, o.t)) {
        std::fprintf(stderr, "the blocks do not cover every %d-subset\n", o.t);
        return 1;
    }

    std::vector<std::vector<int>> rows = rowsOf(blocks, o.bases);
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    const std::size_t covering = rows.size();
    if (o.rows > 0) {
        if (static_cast<std::size_t>(o.rows) < rows.size()) {
            std::fprintf(stderr, "the covering has %zu rows, more than the %d asked for\n", rows.size(), o.rows);
            return 1;
        }
        // Extra rows: the first k-subsets in lexicographic order that are not yet in the table.
        std::vector<std::vector<int>> extra;
        for (const auto &row : rowsOf(mvx::subsetsInOrder(o.v, o.k), o.bases)) {
            if (rows.size() + extra.size() == static_cast<std::size_t>(o.rows))
                break;
            if (!std::binary_search(rows.begin(), rows.end(), row))
                extra.push_back(row);
        }
        if (rows.size() + extra.size() != static_cast<std::size_t>(o.rows)) {
            std::fprintf(stderr, "not enough distinct rows to reach %d\n", o.rows);
            return 1;
        }
        rows.insert(rows.end(), extra.begin(), extra.end());
        std::sort(rows.begin(), rows.end());
    }

    if (o.system > 0) {
        std::printf("system %d\n", o.system);
        std::printf("# %s", how.c_str());
        if (o.bases == 1)
            std::printf(", position 1 in every row");
        else if (o.bases > 1)
            std::printf(", positions 1..%d in every row", o.bases);
        if (rows.size() > covering)
            std::printf(", %zu extra rows", rows.size() - covering);
        std::printf("\n");
    }
    for (const auto &row : rows) {
        for (std::size_t i = 0; i < row.size(); ++i)
            std::printf(i ? "-%d" : "%d", row[i]);
        std::printf("\n");
    }
    return 0;
}
