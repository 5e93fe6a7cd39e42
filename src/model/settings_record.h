#pragma once

#include <array>
#include <cstdint>

namespace mvx {

// The settings kept between runs, as the 28 little-endian int32 of the 112-byte settings file.
// Reserved fields are never set by the program but are written back as they were read.
struct SettingsRecord
{
    std::int32_t reserved0 = 0;
    std::int32_t interfaceLanguage = 0; // 1 French, 2 English; anything else reads as French
    std::array<std::int32_t, 3> reserved8 {};
    std::int32_t horizontalAdjustment = 0; // millimetres, bet-slip printing
    std::int32_t verticalAdjustment = 0;
    std::int32_t defaultsMarker = 0; // 1 whenever the defaults were applied
    std::array<std::int32_t, 20> savedPointsByPosition {};
};

} // namespace mvx
