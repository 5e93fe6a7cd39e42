// covering_search: the covering designs behind the ticket tables of the reduced systems.
//
// A reduced system over v horses, B of them bases, with k horses per ticket promises that every t-subset of the
// v - B other horses lies in at least one ticket. With the bases in every row, the rest of each row is a
// (k - B)-subset of the other horses, so a table is a covering design C(v - B, k - B, t): blocks such that every
// t-subset of the points lies in at least one block.
//
// The search is simulated annealing over a fixed number of blocks, with the neighbourhood of Nurmela and
// Ostergard: the cost is the number of uncovered t-subsets; a move picks a random uncovered t-subset T and a block
// holding all but one point of T, and swaps one of the block's points outside T for the missing point. Coverage
// counters are indexed by the subset's bitmask, so a move costs a scan of the blocks plus a few counter updates.
// Cooling runs by levels; when the temperature has fallen below its floor the search reheats, and after a number of
// reheats without success it restarts from random blocks. Everything is driven by one seeded generator, so a given
// seed always gives the same table.
//
// Two aids for the hardest case (14 points, blocks of 5, t = 4, 230 blocks):
//  --orbit3: blocks come in orbits of the permutation made of 3-cycles on the first 3c points (the remaining points
//            fixed), plus (blocks mod 3) fixed blocks, each one 3-cycle together with all the fixed points. The
//            search moves an orbit representative and its two images together, which cuts the space by three.
//  --repair d: when a cooling reaches a new low of a single uncovered t-subset (or at most --repair-cost of them),
//            try every way of replacing up to d blocks, each new block containing the first t-subset left uncovered.

#include <algorithm>
#include <bit>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Mask = std::uint32_t;
using Clock = std::chrono::steady_clock;

// xoshiro256** seeded through splitmix64: the same sequence on every platform and standard library.
class Random
{
public:
    explicit Random(std::uint64_t seed)
    {
        for (auto &word : m_state) {
            seed += 0x9e3779b97f4a7c15ULL;
            std::uint64_t z = seed;
            z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
            z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
            word = z ^ (z >> 31);
        }
    }

    std::uint64_t next()
    {
        const std::uint64_t result = std::rotl(m_state[1] * 5, 7) * 9;
        const std::uint64_t t = m_state[1] << 17;
        m_state[2] ^= m_state[0];
        m_state[3] ^= m_state[1];
        m_state[1] ^= m_state[2];
        m_state[0] ^= m_state[3];
        m_state[2] ^= t;
        m_state[3] = std::rotl(m_state[3], 45);
        return result;
    }

    // Uniform in 0..n-1 (multiply-shift; the bias is far below anything the search could notice).
    std::uint32_t below(std::uint32_t n) { return static_cast<std::uint32_t>(((next() >> 32) * n) >> 32); }
    double unit() { return static_cast<double>(next() >> 11) * 0x1.0p-53; }

    // A random set bit of a non-empty mask.
    Mask bitOf(Mask m)
    {
        int skip = static_cast<int>(below(static_cast<std::uint32_t>(std::popcount(m))));
        while (skip-- > 0)
            m &= m - 1;
        return m & (~m + 1);
    }

private:
    std::uint64_t m_state[4];
};

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
    double startTemperature = 1.0;
    double endTemperature = 0.05;
    double coolingFactor = 0.99;
    long levelLength = 0; // moves per temperature level; 0 picks one from the instance size
    int reheats = 10; // reheats before a restart from random blocks
    bool orbit3 = false;
    int repairDepth = 0;
    int repairCost = 1; // repair states with at most this many uncovered subsets
    bool verbose = false; // a line per cooling on standard error
};

long long binomial(int n, int r)
{
    if (r < 0 || r > n)
        return 0;
    long long c = 1;
    for (int i = 1; i <= r; ++i)
        c = c * (n - r + i) / i;
    return c;
}

// All r-subsets of the points 0..n-1 as masks, in lexicographic order of their sorted points.
std::vector<Mask> subsetsInOrder(int n, int r)
{
    std::vector<Mask> result;
    std::vector<int> pick(r);
    for (int i = 0; i < r; ++i)
        pick[i] = i;
    if (r > n)
        return result;
    while (true) {
        Mask m = 0;
        for (int p : pick)
            m |= Mask(1) << p;
        result.push_back(m);
        int i = r - 1;
        while (i >= 0 && pick[i] == n - r + i)
            --i;
        if (i < 0)
            break;
        ++pick[i];
        for (int j = i + 1; j < r; ++j)
            pick[j] = pick[j - 1] + 1;
    }
    return result;
}

std::vector<int> pointsOf(Mask m)
{
    std::vector<int> points;
    for (int p = 0; m; ++p, m >>= 1)
        if (m & 1)
            points.push_back(p);
    return points;
}

// Coverage of the t-subsets by a multiset of blocks, with the list of uncovered t-subsets kept up to date.
class Coverage
{
public:
    Coverage(int v, int t)
        : m_t(t)
        , m_count(std::size_t(1) << v, 0)
        , m_where(std::size_t(1) << v, -1)
    {
        for (Mask s : subsetsInOrder(v, t)) {
            m_where[s] = static_cast<int>(m_uncovered.size());
            m_uncovered.push_back(s);
        }
    }

    int uncoveredCount() const { return static_cast<int>(m_uncovered.size()); }
    const std::vector<Mask> &uncovered() const { return m_uncovered; }
    int count(Mask s) const { return m_count[s]; }

    void addBlock(Mask block)
    {
        forEachSubset(block, 0, [this](Mask s) { increment(s); });
    }
    void removeBlock(Mask block)
    {
        forEachSubset(block, 0, [this](Mask s) { decrement(s); });
    }

    // Replaces point x of a block by y; only the t-subsets through x or y change.
    void swapPoint(Mask block, Mask x, Mask y)
    {
        const Mask rest = block & ~x;
        forEachSubset(rest, 1, [this, x](Mask s) { decrement(s | x); });
        forEachSubset(rest, 1, [this, y](Mask s) { increment(s | y); });
    }

    // Calls f on every subset of `block` of size t - less.
    template <typename F> void forEachSubset(Mask block, int less, F f) const
    {
        const int size = m_t - less;
        for (Mask s = block;; s = (s - 1) & block) {
            if (std::popcount(s) == size)
                f(s);
            if (s == 0)
                break;
        }
    }

private:
    void increment(Mask s)
    {
        if (m_count[s]++ == 0) {
            const int i = m_where[s];
            const Mask last = m_uncovered.back();
            m_uncovered[i] = last;
            m_where[last] = i;
            m_uncovered.pop_back();
            m_where[s] = -1;
        }
    }

    void decrement(Mask s)
    {
        if (--m_count[s] == 0) {
            m_where[s] = static_cast<int>(m_uncovered.size());
            m_uncovered.push_back(s);
        }
    }

    int m_t;
    std::vector<std::uint16_t> m_count;
    std::vector<int> m_where;
    std::vector<Mask> m_uncovered;
};

// The point permutations the blocks are searched under: the identity alone, or the powers of a product of
// 3-cycles. images[j][p] is the image of point p under the j-th power.
struct Symmetry
{
    std::vector<std::vector<int>> images;
    std::vector<std::vector<int>> inverses;
    std::vector<Mask> fixedBlocks;

    Mask apply(int power, Mask m) const
    {
        Mask r = 0;
        for (int p : pointsOf(m))
            r |= Mask(1) << images[power][p];
        return r;
    }
    Mask applyInverse(int power, Mask m) const
    {
        Mask r = 0;
        for (int p : pointsOf(m))
            r |= Mask(1) << inverses[power][p];
        return r;
    }
    int order() const { return static_cast<int>(images.size()); }
};

Symmetry trivialSymmetry(int v)
{
    Symmetry s;
    std::vector<int> identity(v);
    for (int p = 0; p < v; ++p)
        identity[p] = p;
    s.images = { identity };
    s.inverses = { identity };
    return s;
}

// 3-cycles (0 1 2)(3 4 5)... on as many points as a whole number of cycles allows while leaving k - 3 points fixed,
// and (blocks mod 3) fixed blocks, each a cycle together with the fixed points.
bool orbitSymmetry(const Options &o, Symmetry &s, std::string &error)
{
    const int fixedPoints = o.k - 3;
    const int cycles = (o.v - fixedPoints) / 3;
    const int fixedBlocks = o.blocks % 3;
    if (fixedPoints < 0 || cycles * 3 + fixedPoints != o.v || fixedBlocks > cycles) {
        error = "--orbit3 needs v = 3c + (k - 3) with at least (blocks mod 3) cycles";
        return false;
    }
    s.images.assign(3, std::vector<int>(o.v));
    s.inverses.assign(3, std::vector<int>(o.v));
    for (int j = 0; j < 3; ++j) {
        for (int p = 0; p < o.v; ++p) {
            const bool cycled = p < cycles * 3;
            s.images[j][p] = cycled ? (p / 3) * 3 + (p % 3 + j) % 3 : p;
            s.inverses[j][p] = cycled ? (p / 3) * 3 + (p % 3 + 3 - j) % 3 : p;
        }
    }
    Mask fixedMask = 0;
    for (int p = cycles * 3; p < o.v; ++p)
        fixedMask |= Mask(1) << p;
    for (int c = 0; c < fixedBlocks; ++c)
        s.fixedBlocks.push_back(fixedMask | (Mask(7) << (3 * c)));
    return true;
}

class Search
{
public:
    Search(const Options &o, const Symmetry &symmetry)
        : m_o(o)
        , m_symmetry(symmetry)
        , m_random(o.seed)
        , m_coverage(o.v, o.t)
        , m_start(Clock::now())
    {
        m_freeBlocks = (o.blocks - static_cast<int>(symmetry.fixedBlocks.size())) / symmetry.order();
        m_levelLength = o.levelLength > 0 ? o.levelLength : std::max<long>(1000, 4L * o.blocks * o.k);
    }

    double seconds() const { return std::chrono::duration<double>(Clock::now() - m_start).count(); }
    int restarts() const { return m_restarts; }
    long long moves() const { return m_moves; }
    int bestCost() const { return m_bestCost; }

    // True when the blocks cover every t-subset; the blocks are then in `blocks`.
    bool run(std::vector<Mask> &blocks)
    {
        while (seconds() < m_o.maxSeconds) {
            randomStart();
            for (int reheat = 0; reheat <= m_o.reheats && seconds() < m_o.maxSeconds; ++reheat) {
                if (cool()) {
                    blocks = m_blocks;
                    return true;
                }
                if (m_o.verbose)
                    std::fprintf(stderr, "  restart %d, cooling %d: cost %d, best %d, %.1f s\n", m_restarts, reheat,
                        m_coverage.uncoveredCount(), m_bestCost, seconds());
            }
            ++m_restarts;
        }
        return false;
    }

private:
    void randomStart()
    {
        m_blocks.clear();
        m_coverage = Coverage(m_o.v, m_o.t);
        for (int i = 0; i < m_freeBlocks; ++i) {
            Mask block = 0;
            while (std::popcount(block) < m_o.k)
                block |= Mask(1) << m_random.below(static_cast<std::uint32_t>(m_o.v));
            for (int j = 0; j < m_symmetry.order(); ++j)
                m_blocks.push_back(m_symmetry.apply(j, block));
        }
        for (Mask block : m_symmetry.fixedBlocks)
            m_blocks.push_back(block);
        for (Mask block : m_blocks)
            m_coverage.addBlock(block);
    }

    // Moves point x of the orbit of block `index` to y (given in that block's own frame).
    void moveOrbit(int index, Mask x, Mask y)
    {
        const int order = m_symmetry.order();
        const int first = index - index % order;
        const int power = index % order;
        const Mask xr = m_symmetry.applyInverse(power, x);
        const Mask yr = m_symmetry.applyInverse(power, y);
        for (int j = 0; j < order; ++j) {
            const Mask xj = m_symmetry.apply(j, xr);
            const Mask yj = m_symmetry.apply(j, yr);
            m_coverage.swapPoint(m_blocks[first + j], xj, yj);
            m_blocks[first + j] = (m_blocks[first + j] & ~xj) | yj;
        }
    }

    // One cooling from the start temperature to the floor; true on a covering.
    bool cool()
    {
        const int movable = m_freeBlocks * m_symmetry.order();
        std::vector<int> candidates;
        candidates.reserve(movable);
        int coolingBest = 1 << 30;
        for (double temperature = m_o.startTemperature; temperature > m_o.endTemperature;
             temperature *= m_o.coolingFactor) {
            for (long step = 0; step < m_levelLength; ++step) {
                const int cost = m_coverage.uncoveredCount();
                if (cost == 0)
                    return true;
                if (cost < m_bestCost)
                    m_bestCost = cost;
                // A repair is tried at each new low of the cooling, so a search hovering near a low does not
                // repeat it for every state it passes through.
                if (cost < coolingBest) {
                    coolingBest = cost;
                    if (cost <= m_o.repairCost && m_o.repairDepth > 0 && repair())
                        return true;
                }
                ++m_moves;

                const auto &uncovered = m_coverage.uncovered();
                const Mask target = uncovered[m_random.below(static_cast<std::uint32_t>(uncovered.size()))];
                candidates.clear();
                for (int i = 0; i < movable; ++i)
                    if (std::popcount(target & ~m_blocks[i]) == 1)
                        candidates.push_back(i);
                int index;
                Mask x, y;
                if (candidates.empty()) {
                    index = static_cast<int>(m_random.below(static_cast<std::uint32_t>(movable)));
                    x = m_random.bitOf(m_blocks[index]);
                    y = m_random.bitOf(~m_blocks[index] & ((Mask(1) << m_o.v) - 1));
                } else {
                    index = candidates[m_random.below(static_cast<std::uint32_t>(candidates.size()))];
                    x = m_random.bitOf(m_blocks[index] & ~target);
                    y = target & ~m_blocks[index];
                }
                moveOrbit(index, x, y);
                const int delta = m_coverage.uncoveredCount() - cost;
                if (delta > 0 && m_random.unit() >= std::exp(-delta / temperature)) {
                    // The move is undone in the moved block's frame: its point y goes back to x.
                    moveOrbit(index, y, x);
                }
            }
            if (seconds() >= m_o.maxSeconds)
                return false;
        }
        return m_coverage.uncoveredCount() == 0;
    }

    // Exhaustive repair of a state with few uncovered t-subsets, on the blocks without symmetry.
    bool repair()
    {
        std::fprintf(stderr, "  %d uncovered after %.1f s, %lld moves: trying a repair of up to %d blocks\n",
            m_coverage.uncoveredCount(), seconds(), m_moves, m_o.repairDepth);
        std::vector<Mask> saved = m_blocks;
        Coverage savedCoverage = m_coverage;
        std::vector<char> replaced(m_blocks.size(), 0);
        if (repairLevel(m_o.repairDepth, replaced)) {
            std::fprintf(stderr, "  repair succeeded after %.1f s\n", seconds());
            return true;
        }
        m_blocks = saved;
        m_coverage = savedCoverage;
        std::fprintf(stderr, "  repair failed (%.1f s)\n", seconds());
        return false;
    }

    void replaceBlock(int index, Mask block)
    {
        m_coverage.addBlock(block);
        m_coverage.removeBlock(m_blocks[index]);
        m_blocks[index] = block;
    }

    bool repairLevel(int depth, std::vector<char> &replaced)
    {
        const int cost = m_coverage.uncoveredCount();
        if (cost == 0)
            return true;
        const long long perBlock = binomial(m_o.k, m_o.t);
        if (depth == 0 || cost > depth * perBlock)
            return false;
        const Mask all = (Mask(1) << m_o.v) - 1;
        const auto &uncovered = m_coverage.uncovered();
        Mask together = 0;
        for (Mask s : uncovered)
            together |= s;
        if (depth == 1 && std::popcount(together) > m_o.k)
            return false;
        // The new block holds the first uncovered subset (on the last level, all of them).
        const Mask core = depth == 1 ? together : uncovered.front();
        const Mask outside = all & ~core;
        const int missing = m_o.k - std::popcount(core);
        std::vector<Mask> newBlocks;
        for (Mask extra = outside;; extra = (extra - 1) & outside) {
            if (std::popcount(extra) == missing)
                newBlocks.push_back(core | extra);
            if (extra == 0)
                break;
        }
        for (Mask block : newBlocks) {
            for (int r = 0; r < static_cast<int>(m_blocks.size()); ++r) {
                if (replaced[r] || m_blocks[r] == block)
                    continue;
                if (depth == 1) {
                    // Removing block r may only uncover subsets of the new block.
                    bool fits = true;
                    m_coverage.forEachSubset(m_blocks[r], 0, [&](Mask s) {
                        if (m_coverage.count(s) == 1 && (s & ~block))
                            fits = false;
                    });
                    if (!fits)
                        continue;
                }
                const Mask old = m_blocks[r];
                replaceBlock(r, block);
                replaced[r] = 1;
                if (repairLevel(depth - 1, replaced))
                    return true;
                replaced[r] = 0;
                replaceBlock(r, old);
            }
        }
        return false;
    }

    const Options &m_o;
    const Symmetry &m_symmetry;
    Random m_random;
    Coverage m_coverage;
    std::vector<Mask> m_blocks;
    Clock::time_point m_start;
    int m_freeBlocks = 0;
    long m_levelLength = 0;
    int m_restarts = 0;
    long long m_moves = 0;
    int m_bestCost = 1 << 30;
};

bool covers(const std::vector<Mask> &blocks, int v, int t)
{
    Coverage coverage(v, t);
    for (Mask b : blocks)
        coverage.addBlock(b);
    return coverage.uncoveredCount() == 0;
}

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
        for (int p : pointsOf(b))
            row.push_back(p + 1 + bases);
        rows.push_back(row);
    }
    return rows;
}

void usage()
{
    std::fprintf(stderr,
        "usage: covering_search --v V --k K --t T [--blocks N] [--bases B] [--rows R] [--system S]\n"
        "                       [--complete] [--from FILE] [--seed X] [--max-seconds S]\n"
        "                       [--start-temperature T0] [--end-temperature T1] [--cooling F]\n"
        "                       [--level-length L] [--reheats R] [--orbit3] [--repair D]\n"
        "                       [--repair-cost C] [--verbose]\n"
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
        else if (a == "--repair")
            ok = number(o.repairDepth);
        else if (a == "--repair-cost")
            ok = number(o.repairCost);
        else if (a == "--verbose")
            o.verbose = true;
        else
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
    if (!o.complete && o.from.empty() && o.blocks < 1) {
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
        blocks = subsetsInOrder(o.v, o.k);
        how = "every " + std::to_string(o.k) + "-subset of the " + std::to_string(o.v) + " other positions";
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
        Symmetry symmetry = trivialSymmetry(o.v);
        std::string error;
        if (o.orbit3 && !orbitSymmetry(o, symmetry, error)) {
            std::fprintf(stderr, "%s\n", error.c_str());
            return 2;
        }
        Search search(o, symmetry);
        const bool found = search.run(blocks);
        std::fprintf(stderr, "C(%d,%d,%d) with %d blocks, seed %llu: %s after %.2f s, %lld moves, %d restarts%s\n", o.v,
            o.k, o.t, o.blocks, static_cast<unsigned long long>(o.seed), found ? "found" : "not found",
            search.seconds(), search.moves(), search.restarts(),
            found ? "" : (", best cost " + std::to_string(search.bestCost())).c_str());
        if (!found)
            return 1;
        std::snprintf(line, sizeof line, "covering C(%d,%d,%d) of %d blocks, annealing%s, seed %llu", o.v, o.k, o.t,
            o.blocks, o.orbit3 ? " over 3-cycle orbits" : "", static_cast<unsigned long long>(o.seed));
        how = line;
    }

    if (!covers(blocks, o.v, o.t)) {
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
        for (const auto &row : rowsOf(subsetsInOrder(o.v, o.k), o.bases)) {
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
