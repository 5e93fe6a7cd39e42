#pragma once

#include <atomic>
#include <cstdint>

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
    bool stopRequested() const { return stop_.load(std::memory_order_relaxed); }
    void requestStop() { stop_.store(true, std::memory_order_relaxed); }

private:
    std::uint64_t total_;
    std::atomic<std::uint64_t> done_ { 0 };
    std::atomic<bool> stop_ { false };
};

} // namespace mvx
