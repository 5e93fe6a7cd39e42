#pragma once

#include <QString>

#include <atomic>
#include <cstdint>
#include <mutex>

namespace mvx {

// What long work and whoever runs it tell each other: how far the work got, out of how much,
// and whether the user asked it to stop. The work may run on another thread than the one that
// shows its progress, so both sides go through atomics.
class WorkProgress
{
public:
    explicit WorkProgress(std::uint64_t total = 0)
        : total_(total)
    { }

    std::uint64_t total() const { return total_; }
    std::uint64_t done() const { return done_.load(std::memory_order_relaxed); }
    void setDone(std::uint64_t done) { done_.store(done, std::memory_order_relaxed); }

    // The work looks at this between pieces and, when set, stops and undoes what it began.
    bool stopRequested() const
    {
        return stop_.load(std::memory_order_relaxed)
            || done_.load(std::memory_order_relaxed) >= stopAt_.load(std::memory_order_relaxed);
    }
    void requestStop() { stop_.store(true, std::memory_order_relaxed); }
    // A stop request that takes effect once the work has done that much.
    void requestStopAt(std::uint64_t done) { stopAt_.store(done, std::memory_order_relaxed); }

    // A line on where the work stands beyond the count (the best found so far, say), shown under
    // the label; empty when the work has none.
    void setStatus(const QString &status)
    {
        const std::lock_guard lock(statusLock_);
        status_ = status;
    }
    QString status() const
    {
        const std::lock_guard lock(statusLock_);
        return status_;
    }

private:
    std::uint64_t total_;
    std::atomic<std::uint64_t> done_ { 0 };
    std::atomic<std::uint64_t> stopAt_ { UINT64_MAX };
    std::atomic<bool> stop_ { false };
    mutable std::mutex statusLock_;
    QString status_;
};

} // namespace mvx
