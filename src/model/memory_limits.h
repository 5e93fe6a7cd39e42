#pragma once

#include <cstdint>
#include <optional>

namespace mvx {

// What the machine and the process let the program take, in bytes. Each is missing where
// there is no such limit or it cannot be read.
struct MemoryLimits
{
    std::optional<std::uint64_t> physical;         // the machine's memory
    std::optional<std::uint64_t> available;        // what the system can give now without swapping
    std::optional<std::uint64_t> addressSpaceLeft; // the address-space limit less what the process maps
    std::optional<std::uint64_t> groupLeft;        // the control group's memory limit less its usage
};

// Read from the system at the moment of the call (Linux: sysconf, /proc, getrlimit, cgroups).
MemoryLimits currentMemoryLimits();

// The most a new block may take when the program already holds `held` bytes of the same kind:
// the tightest of half of physical memory less what is held, and of the available memory, the
// address space left and the control group's room, each less a margin for everything else.
std::uint64_t memoryRoom(const MemoryLimits &limits, std::uint64_t held);

} // namespace mvx
