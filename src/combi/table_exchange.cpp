#include "combi/table_exchange.h"

#include <algorithm>
#include <chrono>

namespace mvx {

TableExchange::TableExchange(int workers, int lag)
    : lag_(std::max(lag, 0))
    , seats_(std::size_t(std::max(workers, 1)))
{ }

std::vector<PointSet> TableExchange::meet(int worker, std::int64_t round, const std::vector<PointSet> &mine,
    const std::function<bool()> &keepWaiting, double interval)
{
    std::unique_lock<std::mutex> lock(mutex_);
    Seat &me = seats_[std::size_t(worker)];
    if (me.held.empty() || *me.held.rbegin()->second != mine)
        me.held[round] = std::make_shared<const std::vector<PointSet>>(mine);
    else
        me.held[round] = me.held.rbegin()->second;
    me.reached = round;
    // The others read this worker's point r - lag when they reach r: once every one of them has
    // passed a point, the tables held before its r - lag are never read again.
    std::int64_t slowest = round;
    for (const Seat &seat : seats_)
        if (!seat.ended)
            slowest = std::min(slowest, seat.reached);
    for (Seat &seat : seats_)
        seat.held.erase(seat.held.begin(), seat.held.lower_bound(slowest - lag_));
    changed_.notify_all();

    const std::int64_t wanted = round - lag_;
    if (wanted < 1 || worker == 0)
        return {};
    const auto before = seats_.begin() + worker;
    const auto arrived = [&] {
        return std::all_of(
            seats_.begin(), before, [&](const Seat &seat) { return seat.ended || seat.reached >= wanted; });
    };
    const auto wait = std::chrono::duration<double>(std::max(interval, 0.001));
    while (!changed_.wait_for(lock, wait, arrived)) {
        lock.unlock();
        const bool goOn = keepWaiting();
        lock.lock();
        if (!goOn)
            return {};
    }

    const std::vector<PointSet> *smallest = nullptr;
    for (std::size_t w = 0; w < std::size_t(worker); ++w) {
        const Seat &seat = seats_[w];
        // A worker that ended after the point is read as it stood at the point.
        const auto at = seat.held.find(wanted);
        const std::vector<PointSet> &theirs = seat.reached >= wanted && at != seat.held.end() ? *at->second : seat.last;
        if (!theirs.empty() && theirs.size() < mine.size() && (!smallest || theirs.size() < smallest->size()))
            smallest = &theirs;
    }
    return smallest ? *smallest : std::vector<PointSet> {};
}

void TableExchange::leave(int worker, const std::vector<PointSet> &last)
{
    std::lock_guard<std::mutex> lock(mutex_);
    Seat &seat = seats_[std::size_t(worker)];
    seat.last = last;
    seat.ended = true;
    changed_.notify_all();
}

} // namespace mvx
