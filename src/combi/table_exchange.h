#pragma once

#include "combi/covering_design.h"

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

namespace mvx {

// Where the workers of one search show each other their best tables, at points fixed by their own
// move counts rather than by the clock. A worker that reaches its r-th point waits for every other
// worker to reach its r-th point too (or to end), and learns the smallest table they held there; so
// what each worker learns, and therefore the whole search, depends on the seed and the moves alone,
// however the threads are scheduled.
class TableExchange
{
public:
    explicit TableExchange(int workers);

    // Worker `worker`, holding `mine`, reached its exchange point `round` (1, 2, 3... in turn).
    // Returns the smallest table another worker held at that point, or its last one if it ended
    // before reaching it; empty when none is smaller than `mine` (among equals, the lowest worker's). A
    // table of the same size is not taken: the workers go on searching apart.
    // While waiting, `keepWaiting` is called every `interval` seconds: false gives up and returns
    // empty (a stop request or the clock; the search ends anyway).
    std::vector<PointSet> meet(int worker, std::int64_t round, const std::vector<PointSet> &mine,
        const std::function<bool()> &keepWaiting, double interval);

    // Worker `worker` ends with `last`; nobody waits for it any more.
    void leave(int worker, const std::vector<PointSet> &last);

private:
    struct Seat
    {
        std::int64_t reached = 0; // the last exchange point reached
        bool ended = false;
        // The table held at the last two points, by the point's parity: a worker cannot pass point
        // r + 1 before the others have reached it, so the table of point r is not overwritten
        // while another worker may still read it.
        std::vector<PointSet> held[2];
        std::vector<PointSet> last;
    };

    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<Seat> seats_;
};

} // namespace mvx
