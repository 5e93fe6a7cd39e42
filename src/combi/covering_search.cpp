#include "combi/covering_search.h"

#include "combi/covering_constructions.h"
#include "combi/covering_greedy.h"
#include "combi/table_exchange.h"

#include <algorithm>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#include <bit>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <exception>
#include <limits>
#include <mutex>
#include <thread>
#include <utility>

namespace mvx {

namespace {

using Clock = std::chrono::steady_clock;

// xoshiro256** seeded through splitmix64: the same sequence on every platform and standard library,
// which is what lets a seed reproduce a table.
class Random
{
public:
    explicit Random(std::uint64_t seed)
    {
        for (auto &word : state_) {
            seed += 0x9e3779b97f4a7c15ULL;
            std::uint64_t z = seed;
            z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
            z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
            word = z ^ (z >> 31);
        }
    }

    std::uint64_t next()
    {
        const std::uint64_t result = std::rotl(state_[1] * 5, 7) * 9;
        const std::uint64_t t = state_[1] << 17;
        state_[2] ^= state_[0];
        state_[3] ^= state_[1];
        state_[1] ^= state_[2];
        state_[0] ^= state_[3];
        state_[2] ^= t;
        state_[3] = std::rotl(state_[3], 45);
        return result;
    }

    // Uniform in 0..n-1 (multiply-shift; the bias is far below anything the search could notice).
    std::uint32_t below(std::uint32_t n) { return std::uint32_t(((next() >> 32) * n) >> 32); }
    double unit() { return double(next() >> 11) * 0x1.0p-53; }

    // A random set bit of a non-empty mask.
    PointSet bitOf(PointSet m)
    {
        int skip = int(below(std::uint32_t(pointCount(m))));
        while (skip-- > 0)
            m &= m - 1;
        return m & (~m + 1);
    }

private:
    std::uint64_t state_[4];
};

// How many searches run side by side, each on its own thread with its own seed and share of the
// move budget. Fixed rather than read from the machine: the table a request and a seed give must
// not depend on where it is searched.
constexpr int kSearchWorkers = 2;

// How many exchange points the second worker may run ahead of the first before it waits for it:
// the workers' pace differs from one start to the next, and evens out over a few.
constexpr int kExchangeLag = 4;

// What the workers of one search share: the caller's control, the state each publishes every
// few thousand moves for the progress reports, and the fewest moves after which a worker reached
// the lower bound (the others stop once their own moves pass it: whatever they would find later
// could not win).
struct SharedSearch
{
    struct Slot
    {
        std::atomic<std::int64_t> moves { 0 };
        std::atomic<int> bestTickets { 0 };
        std::atomic<int> triedTickets { 0 };
        std::atomic<int> uncovered { 0 };
        std::atomic<bool> running { true };
    };

    explicit SharedSearch(SearchControl &c)
        : control(c)
        , start(Clock::now())
    { }

    double seconds() const { return std::chrono::duration<double>(Clock::now() - start).count(); }

    void boundReachedAfter(std::int64_t moves)
    {
        std::int64_t current = boundMoves.load();
        while (moves < current && !boundMoves.compare_exchange_weak(current, moves)) { }
        wake();
    }

    void wake()
    {
        std::lock_guard<std::mutex> lock(mutex);
        changed.notify_all();
    }

    // The state of every worker as one report: the best table of all, the size the most advanced
    // worker is trying, every move made.
    SearchProgress progress(double now) const
    {
        SearchProgress p;
        for (const Slot &slot : slots) {
            p.moves += slot.moves.load(std::memory_order_relaxed);
            const int best = slot.bestTickets.load(std::memory_order_relaxed);
            if (best > 0 && (p.bestTickets == 0 || best < p.bestTickets))
                p.bestTickets = best;
            const int tried = slot.triedTickets.load(std::memory_order_relaxed);
            if (tried > 0 && slot.running.load(std::memory_order_relaxed)
                && (p.triedTickets == 0 || tried < p.triedTickets)) {
                p.triedTickets = tried;
                p.uncovered = slot.uncovered.load(std::memory_order_relaxed);
            }
        }
        if (p.triedTickets == 0)
            p.uncovered = slots[0].uncovered.load(std::memory_order_relaxed);
        p.seconds = now;
        double used = -1;
        if (control.moveBudget > 0)
            used = double(p.moves) / double(control.moveBudget);
        if (control.secondsBudget > 0)
            used = std::max(used, now / control.secondsBudget);
        p.budgetUsed = used < 0 ? -1 : std::min(used, 1.0);
        return p;
    }

    SearchControl &control;
    Clock::time_point start;
    Slot slots[kSearchWorkers];
    std::atomic<std::int64_t> boundMoves { std::numeric_limits<std::int64_t>::max() };
    std::mutex mutex;
    std::condition_variable changed;
};

// The moves, time and stop request of one worker, shared by every annealing run it makes. Moves
// are counted exactly, so a move budget ends the search at the same state every time; the clock,
// the stop flag and the other workers are looked at every few thousand moves. The first worker
// runs on the caller's thread and makes the progress reports of all.
class Budget
{
public:
    // `limited`: the worker may make at most `moveBudget` moves, none at all when it is 0 (its
    // share of a budget smaller than the workers); else it runs until the time or a stop.
    Budget(SharedSearch &shared, int worker, std::int64_t moveBudget, bool limited)
        : shared_(shared)
        , control_(shared.control)
        , slot_(shared.slots[worker])
        , moveBudget_(moveBudget)
        , limited_(limited)
        , reports_(worker == 0)
    { }

    double seconds() const { return shared_.seconds(); }
    std::int64_t moves() const { return progress_.moves; }
    bool exhausted() const { return end_ != FoundSystem::End::BoundReached || overtaken_ || !adopted_.empty(); }

    // Shows `table` (the worker's best, kept up to date by it) to the workers after it every
    // `interval` moves of this worker's own; a smaller table of a worker before it interrupts the
    // annealing until takeAdopted() collects it.
    void exchangeThrough(TableExchange &exchange, int worker, const std::vector<PointSet> &table, std::int64_t interval)
    {
        exchange_ = &exchange;
        worker_ = worker;
        table_ = &table;
        exchangeInterval_ = interval;
    }
    std::vector<PointSet> takeAdopted() { return std::exchange(adopted_, {}); }
    FoundSystem::End end() const { return end_; }
    SearchProgress &progress() { return progress_; }

    // Counts one move; false when the budget allows no more.
    bool spendMove()
    {
        if (exhausted())
            return false;
        if (limited_ && progress_.moves >= moveBudget_) {
            end_ = FoundSystem::End::MoveBudget;
            return false;
        }
        ++progress_.moves;
        return (progress_.moves & 1023) != 0 || poll();
    }

    // Reads the stop flag, the clock and the other workers, and reports progress when it is due;
    // false to stop.
    bool poll()
    {
        if (exhausted())
            return false;
        publish();
        if (progress_.moves >= shared_.boundMoves.load(std::memory_order_relaxed)) {
            overtaken_ = true;
            return false;
        }
        if (control_.stopRequested()) {
            end_ = FoundSystem::End::Stopped;
            return false;
        }
        const double now = seconds();
        if (control_.secondsBudget > 0 && now >= control_.secondsBudget) {
            end_ = FoundSystem::End::TimeBudget;
            return false;
        }
        if (reports_ && control_.progress && now >= nextReport_)
            report(now);
        // Polls come at least every 1024 moves, and at the same moves in every run: the r-th
        // exchange happens at the first poll past r intervals, whatever the clock says.
        if (exchange_ && exchangeInterval_ > 0 && progress_.moves >= (exchanges_ + 1) * exchangeInterval_) {
            ++exchanges_;
            adopted_ = exchange_->meet(
                worker_, exchanges_, *table_, [this] { return keepWaiting(); },
                std::max(control_.progressInterval, 0.01));
            if (!adopted_.empty())
                return false;
        }
        return true;
    }

    // A better table: published at once, reported by the first worker at its next poll.
    void improved()
    {
        publish();
        if (reports_)
            report(seconds());
    }

    void publish()
    {
        slot_.moves.store(progress_.moves, std::memory_order_relaxed);
        slot_.bestTickets.store(progress_.bestTickets, std::memory_order_relaxed);
        slot_.triedTickets.store(progress_.triedTickets, std::memory_order_relaxed);
        slot_.uncovered.store(progress_.uncovered, std::memory_order_relaxed);
        if (progress_.bestTickets != reportedBest_ && !reports_) {
            reportedBest_ = progress_.bestTickets;
            shared_.wake();
        }
    }

private:
    void report(double now)
    {
        nextReport_ = now + control_.progressInterval;
        if (control_.progress)
            control_.progress(shared_.progress(now));
    }

    // While the second worker waits at an exchange for the first (which never waits, and makes
    // the reports): gives up on a stop or at the end of the time budget.
    bool keepWaiting() const
    {
        return !control_.stopRequested() && (control_.secondsBudget <= 0 || seconds() < control_.secondsBudget);
    }

    SharedSearch &shared_;
    SearchControl &control_;
    SharedSearch::Slot &slot_;
    SearchProgress progress_;
    std::int64_t moveBudget_;
    bool limited_;
    bool reports_;
    bool overtaken_ = false; // another worker reached the lower bound in fewer moves
    TableExchange *exchange_ = nullptr;
    int worker_ = 0;
    const std::vector<PointSet> *table_ = nullptr;
    std::int64_t exchangeInterval_ = 0;
    std::int64_t exchanges_ = 0;
    std::vector<PointSet> adopted_; // a smaller table from another worker, until collected
    int reportedBest_ = 0;
    double nextReport_ = 0;
    FoundSystem::End end_ = FoundSystem::End::BoundReached; // BoundReached: still running
};

// True when exactly one point of `subset` is missing from `block`.
bool oneAway(PointSet subset, PointSet block)
{
    const PointSet missing = subset & ~block;
    return missing != 0 && (missing & (missing - 1)) == 0;
}

std::vector<int> pointsOf(PointSet m)
{
    std::vector<int> points;
    for (int p = 0; m; ++p, m >>= 1)
        if (m & 1)
            points.push_back(p);
    return points;
}

// The point permutations the blocks are searched under: the identity alone, or the powers of a
// product of 3-cycles. images[j][p] is the image of point p under the j-th power.
struct Symmetry
{
    std::vector<std::vector<int>> images;
    std::vector<std::vector<int>> inverses;
    std::vector<PointSet> fixedBlocks;

    PointSet apply(int power, PointSet m) const { return power == 0 ? m : map(images[std::size_t(power)], m); }
    PointSet applyInverse(int power, PointSet m) const { return power == 0 ? m : map(inverses[std::size_t(power)], m); }
    int order() const { return int(images.size()); }

private:
    static PointSet map(const std::vector<int> &image, PointSet m)
    {
        PointSet r = 0;
        for (int p : pointsOf(m))
            r |= PointSet(1) << image[std::size_t(p)];
        return r;
    }
};

Symmetry trivialSymmetry(int v)
{
    Symmetry s;
    std::vector<int> identity(std::size_t(v), 0);
    for (int p = 0; p < v; ++p)
        identity[std::size_t(p)] = p;
    s.images = { identity };
    s.inverses = { identity };
    return s;
}

// 3-cycles (0 1 2)(3 4 5)... on as many points as a whole number of cycles allows while leaving
// k - 3 points fixed, and (blocks mod 3) fixed blocks, each a cycle together with the fixed points.
bool orbitSymmetry(const CoveringDesignSearch &o, Symmetry &s, std::string &error)
{
    const int fixedPoints = o.blockSize - 3;
    const int cycles = (o.points - fixedPoints) / 3;
    const int fixedBlocks = o.blocks % 3;
    if (fixedPoints < 0 || cycles * 3 + fixedPoints != o.points || fixedBlocks > cycles) {
        error = "--orbit3 needs v = 3c + (k - 3) with at least (blocks mod 3) cycles";
        return false;
    }
    s.images.assign(3, std::vector<int>(std::size_t(o.points), 0));
    s.inverses.assign(3, std::vector<int>(std::size_t(o.points), 0));
    for (int j = 0; j < 3; ++j) {
        for (int p = 0; p < o.points; ++p) {
            const bool cycled = p < cycles * 3;
            s.images[std::size_t(j)][std::size_t(p)] = cycled ? (p / 3) * 3 + (p % 3 + j) % 3 : p;
            s.inverses[std::size_t(j)][std::size_t(p)] = cycled ? (p / 3) * 3 + (p % 3 + 3 - j) % 3 : p;
        }
    }
    PointSet fixedMask = 0;
    for (int p = cycles * 3; p < o.points; ++p)
        fixedMask |= PointSet(1) << p;
    for (int c = 0; c < fixedBlocks; ++c)
        s.fixedBlocks.push_back(fixedMask | (PointSet(7) << (3 * c)));
    return true;
}

// The powers of a cycle on the first `length` points, the others fixed.
bool cyclicSymmetry(const CoveringDesignSearch &o, Symmetry &s, std::string &error)
{
    const int length = o.cycle;
    if (o.orbit3 || length < 2 || length > o.points || o.blocks % length != 0) {
        error = "--cycle L needs 2 <= L <= v, blocks a multiple of L and no --orbit3";
        return false;
    }
    s.images.assign(std::size_t(length), std::vector<int>(std::size_t(o.points), 0));
    s.inverses.assign(std::size_t(length), std::vector<int>(std::size_t(o.points), 0));
    for (int j = 0; j < length; ++j) {
        for (int p = 0; p < o.points; ++p) {
            const bool cycled = p < length;
            s.images[std::size_t(j)][std::size_t(p)] = cycled ? (p + j) % length : p;
            s.inverses[std::size_t(j)][std::size_t(p)] = cycled ? (p + length - j) % length : p;
        }
    }
    return true;
}

class Annealing
{
public:
    Annealing(const CoveringDesignSearch &o, const Symmetry &symmetry, Budget &budget)
        : o_(o)
        , symmetry_(symmetry)
        , budget_(budget)
        , random_(o.seed)
        , coverage_(o.points, o.strength, o.among)
        , lotto_(o.among > o.strength)
    {
        freeBlocks_ = (o.blocks - int(symmetry.fixedBlocks.size())) / symmetry.order();
        levelLength_ = o.schedule.levelLength > 0 ? o.schedule.levelLength
                                                  : std::max<std::int64_t>(1000, 4LL * o.blocks * o.blockSize);
    }

    int restarts() const { return restarts_; }
    int bestCost() const { return bestCost_; }

    // True when the blocks cover every t-subset; the blocks are then in `blocks`. A first start
    // from `warmStart` (without symmetry) when it holds exactly the blocks searched for.
    bool run(std::vector<PointSet> &blocks, const std::vector<PointSet> &warmStart = {}, double warmTemperature = 0)
    {
        bool warm = int(warmStart.size()) == o_.blocks && symmetry_.order() == 1;
        const double reheatTemperature
            = o_.schedule.reheatTemperature > 0 ? o_.schedule.reheatTemperature : o_.schedule.startTemperature;
        for (int start = 0; !budget_.exhausted() && (o_.schedule.starts <= 0 || start < o_.schedule.starts); ++start) {
            if (warm)
                startFrom(warmStart);
            else
                randomStart();
            double temperature = warm && warmTemperature > 0 ? warmTemperature : o_.schedule.startTemperature;
            warm = false;
            for (int reheat = 0; reheat <= o_.schedule.reheats && !budget_.exhausted(); ++reheat) {
                const bool covered = cool(temperature);
                temperature = reheatTemperature;
                if (covered) {
                    blocks = blocks_;
                    return true;
                }
                if (o_.verbose)
                    note("  restart %d, cooling %d: cost %d, best %d, %.1f s", restarts_, reheat,
                        coverage_.uncoveredCount(), bestCost_, budget_.seconds());
            }
            ++restarts_;
        }
        return false;
    }

private:
    template <typename... Args> void note(const char *format, Args... args)
    {
        if (!o_.log)
            return;
        char line[256];
        std::snprintf(line, sizeof line, format, args...);
        o_.log(line);
    }

    void randomStart()
    {
        blocks_.clear();
        coverage_.clear();
        for (int i = 0; i < freeBlocks_; ++i) {
            PointSet block = 0;
            while (pointCount(block) < o_.blockSize)
                block |= PointSet(1) << random_.below(std::uint32_t(o_.points));
            for (int j = 0; j < symmetry_.order(); ++j)
                blocks_.push_back(symmetry_.apply(j, block));
        }
        for (PointSet block : symmetry_.fixedBlocks)
            blocks_.push_back(block);
        for (PointSet block : blocks_)
            coverage_.addBlock(block);
    }

    void startFrom(const std::vector<PointSet> &blocks)
    {
        blocks_ = blocks;
        coverage_.clear();
        for (PointSet block : blocks_)
            coverage_.addBlock(block);
    }

    // Moves point x of the orbit of block `index` to y (given in that block's own frame).
    void moveOrbit(int index, PointSet x, PointSet y)
    {
        const int order = symmetry_.order();
        const int first = index - index % order;
        const int power = index % order;
        const PointSet xr = symmetry_.applyInverse(power, x);
        const PointSet yr = symmetry_.applyInverse(power, y);
        for (int j = 0; j < order; ++j) {
            const PointSet xj = symmetry_.apply(j, xr);
            const PointSet yj = symmetry_.apply(j, yr);
            PointSet &block = blocks_[std::size_t(first + j)];
            coverage_.swapPoint(block, xj, yj);
            block = (block & ~xj) | yj;
        }
    }

    // The movable blocks holding all of `target` but one point, in increasing order, into
    // candidates_. Most of a move's time goes here, so four blocks are looked at together where
    // the processor allows (every x86-64 does); candidates are rare, so the few found cost little.
    void oneAwayBlocks(PointSet target, int movable)
    {
        candidates_.resize(std::size_t(movable));
        int *out = candidates_.data();
        int n = 0;
        const PointSet *blocks = blocks_.data();
        int i = 0;
#if defined(__SSE2__)
        const __m128i t = _mm_set1_epi32(int(target));
        const __m128i zero = _mm_setzero_si128();
        const __m128i one = _mm_set1_epi32(1);
        for (; i + 4 <= movable; i += 4) {
            const __m128i missing = _mm_andnot_si128(_mm_loadu_si128(reinterpret_cast<const __m128i *>(blocks + i)), t);
            const __m128i single = _mm_cmpeq_epi32(_mm_and_si128(missing, _mm_sub_epi32(missing, one)), zero);
            const __m128i found = _mm_andnot_si128(_mm_cmpeq_epi32(missing, zero), single);
            for (int bits = _mm_movemask_ps(_mm_castsi128_ps(found)); bits; bits &= bits - 1)
                out[n++] = i + std::countr_zero(unsigned(bits));
        }
#endif
        for (; i < movable; ++i)
            if (oneAway(target, blocks[i]))
                out[n++] = i;
        candidates_.resize(std::size_t(n));
    }

    // The movable blocks holding t - 1 points of the missed m-subset `target`: one swap makes
    // them keep it.
    void blocksMeetingOneShort(PointSet target, int movable)
    {
        candidates_.clear();
        for (int i = 0; i < movable; ++i)
            if (pointCount(blocks_[std::size_t(i)] & target) == o_.strength - 1)
                candidates_.push_back(i);
    }

    // One cooling from the start temperature to the floor; true on a covering.
    bool cool(double startTemperature)
    {
        const int movable = freeBlocks_ * symmetry_.order();
        const PointSet all = (PointSet(1) << o_.points) - 1;
        candidates_.clear();
        candidates_.reserve(std::size_t(movable));
        int coolingBest = 1 << 30;
        for (double temperature = startTemperature; temperature > o_.schedule.endTemperature;
             temperature *= o_.schedule.coolingFactor) {
            for (std::int64_t step = 0; step < levelLength_; ++step) {
                const int cost = coverage_.uncoveredCount();
                if (cost <= o_.allowedUncovered)
                    return true;
                if (cost < bestCost_)
                    bestCost_ = cost;
                // A repair is tried at each new low of the cooling, so a search hovering near a
                // low does not repeat it for every state it passes through.
                if (cost < coolingBest) {
                    coolingBest = cost;
                    if (cost <= o_.repairCost && o_.repairDepth > 0 && o_.allowedUncovered == 0 && !lotto_ && repair())
                        return true;
                }
                budget_.progress().uncovered = cost;
                if (!budget_.spendMove())
                    return false;

                const std::vector<PointSet> &uncovered = coverage_.uncovered();
                const PointSet target = uncovered[random_.below(std::uint32_t(uncovered.size()))];
                if (lotto_)
                    blocksMeetingOneShort(target, movable);
                else
                    oneAwayBlocks(target, movable);
                int index;
                PointSet x, y;
                if (candidates_.empty()) {
                    index = int(random_.below(std::uint32_t(movable)));
                    x = random_.bitOf(blocks_[std::size_t(index)]);
                    y = random_.bitOf(~blocks_[std::size_t(index)] & all);
                } else {
                    index = candidates_[random_.below(std::uint32_t(candidates_.size()))];
                    x = random_.bitOf(blocks_[std::size_t(index)] & ~target);
                    // A missed m-subset: one of its points the block lacks (a t-subset lacks one).
                    y = lotto_ ? random_.bitOf(target & ~blocks_[std::size_t(index)])
                               : target & ~blocks_[std::size_t(index)];
                }
                moveOrbit(index, x, y);
                const int delta = coverage_.uncoveredCount() - cost;
                if (delta > 0 && random_.unit() >= std::exp(-delta / temperature)) {
                    // The move is undone in the moved block's frame: its point y goes back to x.
                    moveOrbit(index, y, x);
                }
            }
            if (!budget_.poll())
                return false;
        }
        return coverage_.uncoveredCount() <= o_.allowedUncovered;
    }

    // Exhaustive repair of a state with few uncovered t-subsets, on the blocks without symmetry.
    bool repair()
    {
        note("  %d uncovered after %.1f s, %lld moves: trying a repair of up to %d blocks", coverage_.uncoveredCount(),
            budget_.seconds(), static_cast<long long>(budget_.moves()), o_.repairDepth);
        const std::vector<PointSet> saved = blocks_;
        const SubsetCoverage savedCoverage = coverage_;
        std::vector<char> replaced(blocks_.size(), 0);
        if (repairLevel(o_.repairDepth, replaced)) {
            note("  repair succeeded after %.1f s", budget_.seconds());
            return true;
        }
        blocks_ = saved;
        coverage_ = savedCoverage;
        note("  repair failed (%.1f s)", budget_.seconds());
        return false;
    }

    void replaceBlock(int index, PointSet block)
    {
        coverage_.addBlock(block);
        coverage_.removeBlock(blocks_[std::size_t(index)]);
        blocks_[std::size_t(index)] = block;
    }

    bool repairLevel(int depth, std::vector<char> &replaced)
    {
        const int cost = coverage_.uncoveredCount();
        if (cost == 0)
            return true;
        const std::int64_t perBlock = binomial(o_.blockSize, o_.strength);
        if (depth == 0 || cost > depth * perBlock)
            return false;
        const PointSet all = (PointSet(1) << o_.points) - 1;
        const std::vector<PointSet> &uncovered = coverage_.uncovered();
        PointSet together = 0;
        for (PointSet s : uncovered)
            together |= s;
        if (depth == 1 && pointCount(together) > o_.blockSize)
            return false;
        // The new block holds the first uncovered subset (on the last level, all of them).
        const PointSet core = depth == 1 ? together : uncovered.front();
        const PointSet outside = all & ~core;
        const int missing = o_.blockSize - pointCount(core);
        std::vector<PointSet> newBlocks;
        for (PointSet extra = outside;; extra = (extra - 1) & outside) {
            if (pointCount(extra) == missing)
                newBlocks.push_back(core | extra);
            if (extra == 0)
                break;
        }
        for (PointSet block : newBlocks) {
            for (int r = 0; r < int(blocks_.size()); ++r) {
                if (replaced[std::size_t(r)] || blocks_[std::size_t(r)] == block)
                    continue;
                if ((++repairSteps_ & 1023) == 0 && !budget_.poll())
                    return false;
                if (depth == 1) {
                    // Removing block r may only uncover subsets of the new block.
                    bool fits = true;
                    coverage_.forEachSubset(blocks_[std::size_t(r)], 0, [&](PointSet s) {
                        if (coverage_.count(s) == 1 && (s & ~block))
                            fits = false;
                    });
                    if (!fits)
                        continue;
                }
                const PointSet old = blocks_[std::size_t(r)];
                replaceBlock(r, block);
                replaced[std::size_t(r)] = 1;
                if (repairLevel(depth - 1, replaced))
                    return true;
                replaced[std::size_t(r)] = 0;
                replaceBlock(r, old);
            }
        }
        return false;
    }

    const CoveringDesignSearch &o_;
    const Symmetry &symmetry_;
    Budget &budget_;
    Random random_;
    SubsetCoverage coverage_;
    std::vector<PointSet> blocks_;
    std::vector<int> candidates_;
    bool lotto_; // promises of m > t points: a block keeps one by holding t of them
    int freeBlocks_ = 0;
    std::int64_t levelLength_ = 0;
    std::int64_t repairSteps_ = 0;
    int restarts_ = 0;
    int bestCost_ = 1 << 30;
};

bool validDesign(int v, int k, int t, int m)
{
    return v >= 1 && v <= kMaxCoveringPoints && k >= 1 && k <= v && t >= 0 && t <= k && (m == 0 || (m >= t && m <= v));
}

CoveringDesignOutcome anneal(const CoveringDesignSearch &search, Budget &budget,
    const std::vector<PointSet> &warmStart = {}, double warmTemperature = 0)
{
    CoveringDesignOutcome outcome;
    if (!validDesign(search.points, search.blockSize, search.strength, search.among) || search.blocks < 1) {
        outcome.error = "need 0 <= t <= k <= v <= 24, t <= m <= v and at least one block";
        return outcome;
    }
    Symmetry symmetry = trivialSymmetry(search.points);
    if (search.orbit3 && !orbitSymmetry(search, symmetry, outcome.error))
        return outcome;
    if (search.cycle > 0 && !cyclicSymmetry(search, symmetry, outcome.error))
        return outcome;
    const std::int64_t movesBefore = budget.moves();
    Annealing annealing(search, symmetry, budget);
    outcome.found = annealing.run(outcome.blocks, warmStart, warmTemperature);
    outcome.moves = budget.moves() - movesBefore;
    outcome.restarts = annealing.restarts();
    outcome.bestCost = annealing.bestCost();
    outcome.seconds = budget.seconds();
    return outcome;
}

// The block whose removal misses the fewest promises (the first on a tie).
std::size_t leastNeededBlock(const std::vector<PointSet> &blocks, int v, int t, int m)
{
    SubsetCoverage coverage(v, t, m);
    for (PointSet block : blocks)
        coverage.addBlock(block);
    std::size_t best = 0;
    int fewest = 1 << 30;
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        const int before = coverage.uncoveredCount();
        coverage.removeBlock(blocks[i]);
        const int alone = coverage.uncoveredCount() - before;
        coverage.addBlock(blocks[i]);
        if (alone < fewest) {
            fewest = alone;
            best = i;
        }
    }
    return best;
}

std::vector<std::vector<int>> rowsOf(const std::vector<PointSet> &blocks, int bases)
{
    std::vector<std::vector<int>> rows;
    rows.reserve(blocks.size());
    for (PointSet block : blocks) {
        std::vector<int> row;
        for (int b = 1; b <= bases; ++b)
            row.push_back(b);
        for (int p : pointsOf(block))
            row.push_back(p + 1 + bases);
        rows.push_back(std::move(row));
    }
    std::sort(rows.begin(), rows.end());
    return rows;
}

} // namespace

CoveringDesignOutcome searchCoveringDesign(const CoveringDesignSearch &search, SearchControl &control)
{
    SharedSearch shared(control);
    Budget budget(shared, 0, control.moveBudget, control.moveBudget > 0);
    return anneal(search, budget);
}

QString systemRequestError(const SystemRequest &r)
{
    if (r.horses < 1 || r.horses > 20)
        return QStringLiteral("le nombre de chevaux doit aller de 1 à 20");
    if (r.perTicket < 2 || r.perTicket > kMostPerOwnTicket)
        return QStringLiteral("le nombre de chevaux par ticket doit aller de 2 à %1").arg(kMostPerOwnTicket);
    if (r.bases < 0 || r.bases > 3)
        return QStringLiteral("le nombre de bases doit aller de 0 à 3");
    if (r.perTicket > r.horses)
        return QStringLiteral("il faut au moins autant de chevaux que de chevaux par ticket");
    if (r.bases >= r.perTicket)
        return QStringLiteral("il faut moins de bases que de chevaux par ticket");
    if (r.guarantee < r.bases || r.guarantee > r.perTicket)
        return QStringLiteral("la garantie doit aller du nombre de bases au nombre de chevaux par ticket");
    if (r.among != 0 && (r.among < r.guarantee || r.among > r.horses))
        return QStringLiteral("les chevaux parmi lesquels la garantie vaut doivent aller de la garantie au nombre de "
                              "chevaux");
    return {};
}

std::int64_t fullTicketCount(const SystemRequest &r)
{
    return binomial(r.horses - r.bases, r.perTicket - r.bases);
}

int promiseSize(const SystemRequest &r)
{
    return r.among > r.guarantee ? r.among : r.guarantee;
}

std::int64_t ticketLowerBound(const SystemRequest &r)
{
    return promiseLowerBound(
        r.horses - r.bases, r.perTicket - r.bases, r.guarantee - r.bases, promiseSize(r) - r.bases);
}

bool keepsGuarantee(const std::vector<std::vector<int>> &rows, const SystemRequest &request)
{
    if (!systemRequestError(request).isEmpty() || rows.empty())
        return false;
    const int others = request.horses - request.bases;
    std::vector<PointSet> blocks;
    for (const std::vector<int> &row : rows) {
        if (int(row.size()) != request.perTicket)
            return false;
        PointSet positions = 0;
        for (int p : row) {
            if (p < 1 || p > request.horses)
                return false;
            positions |= PointSet(1) << (p - 1);
        }
        if (pointCount(positions) != request.perTicket)
            return false;
        const PointSet bases = (PointSet(1) << request.bases) - 1;
        if ((positions & bases) != bases)
            return false;
        blocks.push_back(positions >> request.bases);
    }
    return meetsEverySubset(blocks, others, promiseSize(request) - request.bases, request.guarantee - request.bases);
}

std::int64_t wonArrivalCount(const std::vector<std::vector<int>> &rows, const SystemRequest &request)
{
    if (!systemRequestError(request).isEmpty())
        return -1;
    const int others = request.horses - request.bases;
    const int t = request.guarantee - request.bases;
    const PointSet bases = (PointSet(1) << request.bases) - 1;
    std::vector<PointSet> blocks;
    for (const std::vector<int> &row : rows) {
        if (int(row.size()) != request.perTicket)
            return -1;
        PointSet positions = 0;
        for (int p : row) {
            if (p < 1 || p > request.horses)
                return -1;
            positions |= PointSet(1) << (p - 1);
        }
        if (pointCount(positions) != request.perTicket || (positions & bases) != bases)
            return -1;
        blocks.push_back(positions >> request.bases);
    }
    return metSubsetCount(blocks, others, promiseSize(request) - request.bases, t);
}

std::int64_t promisedArrivalCount(const SystemRequest &request)
{
    return binomial(request.horses - request.bases, promiseSize(request) - request.bases);
}

bool keepsShare(const std::vector<std::vector<int>> &rows, const SystemRequest &request, int sharePercent)
{
    if (sharePercent >= 100)
        return keepsGuarantee(rows, request);
    if (rows.empty())
        return false;
    const std::int64_t won = wonArrivalCount(rows, request);
    return won >= 0 && won * 100 >= std::int64_t(sharePercent) * promisedArrivalCount(request);
}

std::int64_t allowedMisses(const SystemRequest &request, int sharePercent)
{
    if (sharePercent >= 100)
        return 0;
    const std::int64_t all = promisedArrivalCount(request);
    const std::int64_t needed = (all * std::max(sharePercent, 0) + 99) / 100;
    return all - needed;
}

std::int64_t shareLowerBound(const SystemRequest &request, int sharePercent)
{
    if (sharePercent >= 100)
        return ticketLowerBound(request);
    const std::int64_t needed = promisedArrivalCount(request) - allowedMisses(request, sharePercent);
    const std::int64_t perTicket = promisesPerBlock(request.horses - request.bases, request.perTicket - request.bases,
        request.guarantee - request.bases, promiseSize(request) - request.bases);
    return std::max<std::int64_t>(1, (needed + perTicket - 1) / perTicket);
}

namespace {

// What one worker of a reduced-system search ends with.
struct WorkerResult
{
    std::vector<PointSet> best; // without redundant blocks, checked
    std::int64_t bestAfter = 0; // the worker's own moves when it found `best`
    std::int64_t moves = 0;
    FoundSystem::End end = FoundSystem::End::Stopped;
    int rejectedTables = 0;
    int takenTables = 0;
    std::exception_ptr failure;
};

// The i-th term (from 1) of Luby's sequence 1, 1, 2, 1, 1, 2, 4, 1, 1, 2, 1, 1, 2, 4, 8...: within
// a log factor of the best fixed length of restarts whatever that length is; capped at 4,096.
std::int64_t lubyFactor(std::int64_t i)
{
    for (;;) {
        int k = 1;
        while ((std::int64_t(1) << k) - 1 < i)
            ++k;
        if ((std::int64_t(1) << k) - 1 == i)
            return std::int64_t(1) << std::min(k - 1, 12);
        i -= (std::int64_t(1) << (k - 1)) - 1;
    }
}

// One worker's search: a greedy table (or the given one) first, then annealing for one ticket
// fewer each time.
void descend(const SystemRequest &request, std::uint64_t seed, int worker, const ReducedSearchOptions &options,
    Budget &budget, WorkerResult &result)
{
    // Measured on C(12,5,4) and C(13,5,4): from 1.0 (the full schedule) the first cooling scatters
    // the table and each size costs a whole cooling; 0.2 to 0.3 keeps most of it.
    constexpr double kWarmStartTemperature = 0.25;
    const int share = options.sharePercent;
    const std::int64_t lowerBound = shareLowerBound(request, share);
    const int v = request.horses - request.bases;
    const int k = request.perTicket - request.bases;
    const int t = request.guarantee - request.bases;
    const int m = promiseSize(request) - request.bases;

    std::vector<PointSet> &best = result.best;
    auto offer = [&](std::vector<PointSet> blocks) {
        blocks = withoutRedundantBlocks(std::move(blocks), v, t, m);
        if (!best.empty() && blocks.size() >= best.size())
            return;
        if (!keepsShare(rowsOf(blocks, request.bases), request, share)) {
            ++result.rejectedTables;
            return;
        }
        best = std::move(blocks);
        result.bestAfter = budget.moves();
        budget.progress().bestTickets = int(best.size());
        budget.improved();
    };

    if (!options.start.empty() && keepsShare(options.start, request, share)) {
        std::vector<PointSet> start;
        for (const std::vector<int> &row : options.start) {
            PointSet positions = 0;
            for (int p : row)
                positions |= PointSet(1) << (p - 1);
            start.push_back(positions >> request.bases);
        }
        offer(std::move(start));
    }
    // A known construction is made rather than searched: each is as small as a table can be.
    if (std::optional<std::vector<PointSet>> made = constructedDesign(v, k, t, m))
        offer(std::move(*made));
    if (!best.empty()) {
    } else if (share >= 100 && lowerBound >= fullTicketCount(request)) {
        offer(subsetsInOrder(v, k)); // nothing smaller than the complete game keeps the guarantee
    } else {
        offer(bestGreedy(v, k, t, m));
    }
    if (best.empty()) // never expected: the complete game always keeps the guarantee
        offer(subsetsInOrder(v, k));

    CoveringDesignSearch search;
    search.points = v;
    search.blockSize = k;
    search.strength = t;
    search.among = m;
    search.allowedUncovered = int(allowedMisses(request, share));
    // Each start of a size cools once from a low temperature, then reheats twice from where it
    // stands; then the size is started again from the best table with another ticket taken out.
    // A start from random blocks, or a reheat to the full schedule, scatters a table of hundreds of
    // tickets far from any table of its size.
    // Two schedules take turns, one start each. The close one cools to 0.05 and reheats to where
    // it started. The wide one cools over a narrower range and reheats to its top: below 0.1
    // hardly a move is kept and above 0.6 the table is scattered; measured at 60 million moves,
    // the Steiner system C(14,4,3) of 91 tickets turned up with it and not with the close one. The
    // second worker begins with the wide one, so the two workers mostly run different schedules,
    // and both spend about as long in each: the second keeps pace with the first it follows.
    search.schedule.starts = 1;
    search.schedule.reheats = 2;
    auto useSchedule = [&](bool wide) {
        search.schedule.startTemperature = wide ? 0.6 : 1.0;
        search.schedule.endTemperature = wide ? 0.1 : 0.05;
        search.schedule.reheatTemperature = wide ? 0 : kWarmStartTemperature;
    };
    int attempt = 0; // starts at the current size
    while (!best.empty() && std::int64_t(best.size()) > lowerBound && budget.poll()) {
        // Each size is first tried from the best table with its least needed block taken out,
        // cooled from a low temperature so that the table is not shaken apart (a few uncovered
        // subsets are usually mended in a few thousand moves); each later start takes out a
        // block drawn at random. Each size, start and worker gets its own seed from the search's;
        // the first start of the first worker has the seed a single search has always used.
        search.blocks = int(best.size()) - 1;
        search.seed = seed * 0x9e3779b97f4a7c15ULL + std::uint64_t(search.blocks)
            + std::uint64_t(worker) * 0xd1b54a32d192ed03ULL + std::uint64_t(attempt) * 0x94d049bb133111ebULL;
        useSchedule((worker + attempt) % 2 == 1);
        // The starts at one size cool slowly now and then: their levels are longer by the factors
        // 1, 1, 2, 1, 1, 2, 4, 1, 1, 2... (Luby's sequence). Short coolings find the easy sizes at
        // once and keep their share of every long search, which also tries the hard sizes with
        // ever longer coolings instead of repeating what already failed.
        search.schedule.levelLength = std::max<std::int64_t>(1000, 4LL * search.blocks * k) * lubyFactor(attempt + 1);
        std::vector<PointSet> start = best;
        const std::size_t left
            = attempt == 0 ? leastNeededBlock(best, v, t, m) : Random(search.seed).below(std::uint32_t(best.size()));
        start.erase(start.begin() + std::ptrdiff_t(left));
        budget.progress().triedTickets = search.blocks;
        const CoveringDesignOutcome outcome = anneal(search, budget, start, kWarmStartTemperature);
        if (outcome.found) {
            const std::size_t before = best.size();
            offer(outcome.blocks);
            if (best.size() == before)
                break; // the table found failed the check: trying the same size again would repeat it
            attempt = 0;
        } else if (std::vector<PointSet> theirs = budget.takeAdopted(); !theirs.empty()) {
            offer(std::move(theirs)); // another worker's smaller table: go on from there
            ++result.takenTables;
            attempt = 0;
        } else if (budget.exhausted()) {
            break;
        } else {
            ++attempt;
        }
    }
    budget.progress().triedTickets = 0;
    result.moves = budget.moves();
    result.end = budget.end();
}

} // namespace

std::int64_t movesForSeconds(double seconds)
{
    constexpr double kMovesPerSecond = 4e6; // each worker, measured on C(13,5,4) with 157 tickets
    return std::max<std::int64_t>(1, std::int64_t(seconds * kMovesPerSecond * kSearchWorkers));
}

FoundSystem searchReducedSystem(const SystemRequest &request, std::uint64_t seed, SearchControl &control)
{
    return searchReducedSystem(request, seed, control, ReducedSearchOptions {});
}

FoundSystem searchReducedSystem(
    const SystemRequest &request, std::uint64_t seed, SearchControl &control, const ReducedSearchOptions &options)
{
    const int workers = std::clamp(options.workers, 1, kSearchWorkers);
    FoundSystem found;
    found.fullCount = fullTicketCount(request);
    found.lowerBound = shareLowerBound(request, options.sharePercent);

    // The workers run side by side, each with its own share of the move budget. A worker that
    // reaches the lower bound tells the others, which stop once they have made as many moves: the
    // table kept is the smallest, and on a tie the one found in fewer of its worker's moves, then
    // the first worker's. The choice never depends on which thread ran faster, so a request, a seed
    // and a move budget always give the same table.
    SharedSearch shared(control);
    WorkerResult results[kSearchWorkers];
    TableExchange exchange(workers, kExchangeLag);
    auto work = [&](int worker) {
        std::int64_t share = control.moveBudget / workers;
        if (worker == 0)
            share += control.moveBudget % workers;
        Budget budget(shared, worker, share, control.moveBudget > 0);
        if (workers > 1)
            budget.exchangeThrough(exchange, worker, results[worker].best, options.exchangeMoves);
        try {
            descend(request, seed, worker, options, budget, results[worker]);
            if (!results[worker].best.empty() && std::int64_t(results[worker].best.size()) <= found.lowerBound)
                shared.boundReachedAfter(results[worker].bestAfter);
        } catch (...) {
            results[worker].failure = std::current_exception();
            control.requestStop();
        }
        exchange.leave(worker, results[worker].best);
        budget.publish();
        shared.slots[worker].running.store(false);
        shared.wake();
    };
    // A request whose greedy table already meets the bound, or whose budget is tiny, still goes
    // through the same path, so that the answer does not depend on a threshold.
    std::vector<std::thread> helpers;
    for (int worker = workers; worker < kSearchWorkers; ++worker)
        shared.slots[worker].running.store(false);
    for (int worker = 1; worker < workers; ++worker)
        helpers.emplace_back(work, worker);
    work(0);
    // The caller's thread goes on reporting while the others finish.
    {
        const auto interval = std::chrono::duration<double>(std::max(control.progressInterval, 0.001));
        std::unique_lock<std::mutex> lock(shared.mutex);
        auto allDone = [&] {
            for (const SharedSearch::Slot &slot : shared.slots)
                if (slot.running.load())
                    return false;
            return true;
        };
        while (!allDone()) {
            shared.changed.wait_for(lock, interval);
            if (control.progress && !allDone()) {
                lock.unlock();
                control.progress(shared.progress(shared.seconds()));
                lock.lock();
            }
        }
    }
    for (std::thread &helper : helpers)
        helper.join();
    for (const WorkerResult &r : results)
        if (r.failure)
            std::rethrow_exception(r.failure);

    const WorkerResult *winner = nullptr;
    for (const WorkerResult &r : results) {
        found.rejectedTables += r.rejectedTables;
        found.takenTables += r.takenTables;
        if (r.best.empty())
            continue;
        if (!winner || r.best.size() < winner->best.size()
            || (r.best.size() == winner->best.size() && r.bestAfter < winner->bestAfter))
            winner = &r;
    }
    if (winner) {
        found.rows = rowsOf(winner->best, request.bases);
        found.verified = true;
        found.promisedArrivals = promisedArrivalCount(request);
        found.wonArrivals = wonArrivalCount(found.rows, request);
    }
    const bool atBound = winner && std::int64_t(winner->best.size()) <= found.lowerBound;
    // Moves counted as far as the outcome depends on them: past the winner's bound table, what the
    // others did while they had not heard of it depends on the threads' timing.
    for (const WorkerResult &r : results)
        found.moves += atBound ? std::min(r.moves, winner->bestAfter) : r.moves;
    if (atBound) {
        found.end = FoundSystem::End::BoundReached;
    } else {
        // A stop request outranks the clock, which outranks the moves.
        found.end = FoundSystem::End::MoveBudget;
        for (const WorkerResult &r : results)
            if (r.end == FoundSystem::End::TimeBudget)
                found.end = r.end;
        for (const WorkerResult &r : results)
            if (r.end == FoundSystem::End::Stopped)
                found.end = r.end;
    }
    found.seconds = shared.seconds();
    if (control.progress) {
        SearchProgress last = shared.progress(found.seconds);
        last.bestTickets = int(found.rows.size());
        last.moves = found.moves;
        last.triedTickets = 0;
        control.progress(last);
    }
    return found;
}

} // namespace mvx
