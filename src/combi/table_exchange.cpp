#include "combi/table_exchange.h"

#include <algorithm>
#include <chrono>

namespace mvx {

TableExchange::TableExchange(int workers)
    : seats_(std::size_t(std::max(workers, 1)))
{ }

std::vector<PointSet> TableExchange::meet(int worker, std::int64_t round, const std::vector<PointSet> &mine,
    const std::function<bool()> &keepWaiting, double interval)
{
    std::unique_lock<std::mutex> lock(mutex_);
    Seat &me = seats_[std::size_t(worker)];
    me.held[round % 2] = mine;
    me.reached = round;
    changed_.notify_all();

    const auto arrived = [&](const Seat &seat) { return seat.ended || seat.reached >= round; };
    const auto wait = std::chrono::duration<double>(std::max(interval, 0.001));
    for (;;) {
        if (std::all_of(seats_.begin(), seats_.end(), arrived))
            break;
        if (changed_.wait_for(lock, wait, [&] { return std::all_of(seats_.begin(), seats_.end(), arrived); }))
            break;
        lock.unlock();
        const bool goOn = keepWaiting();
        lock.lock();
        if (!goOn)
            return {};
    }

    const std::vector<PointSet> *smallest = nullptr;
    for (std::size_t w = 0; w < seats_.size(); ++w) {
        if (int(w) == worker)
            continue;
        const Seat &seat = seats_[w];
        // A worker that ended after this point is read as it stood at the point.
        const std::vector<PointSet> &theirs = seat.reached >= round ? seat.held[round % 2] : seat.last;
        if (theirs.empty())
            continue;
        if (theirs.size() < mine.size() && (!smallest || theirs.size() < smallest->size()))
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
