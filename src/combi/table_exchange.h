#pragma once

#include "combi/covering_design.h"

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

namespace mvx {

// Where the workers of one search show each other their best tables, at points fixed by their own
// move counts rather than by the clock. At its r-th point a worker leaves its table and learns the
// smallest table the workers before it (lower numbers) held at their (r - lag)-th point, waiting
// for one that has not reached it yet (or ended). The first worker learns nothing and never waits:
// it searches exactly as it would alone, and the others follow whichever table is smallest. What
// each worker learns, and therefore the whole search, depends on the seed and the moves alone,
// however the threads are scheduled; the lag lets a worker run up to that many points ahead of a
// slower one before it has to wait.
class TableExchange
{
public:
    TableExchange(int workers, int lag);

    // Worker `worker`, holding `mine`, reached its exchange point `round` (1, 2, 3... in turn).
    // Returns the smallest table a worker before it held at its point round - lag, or its last one
    // if it ended before reaching it; empty when none is smaller than `mine` (among equals, the
    // lowest worker's). A table of the same size is not taken: the workers go on searching apart.
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
        // By point, those another may still read; a table that did not change is shared.
        std::map<std::int64_t, std::shared_ptr<const std::vector<PointSet>>> held;
        std::vector<PointSet> last;
    };

    int lag_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<Seat> seats_;
};

} // namespace mvx
