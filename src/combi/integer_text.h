#pragma once

#include <QStringView>

#include <cstdint>
#include <optional>

namespace mvx {

// The check every number box uses: leading blanks, an optional sign, then decimal digits and
// nothing else, within the 32-bit range. An empty text is not an integer.
std::optional<std::int32_t> parseInteger(QStringView text);

// The lenient reading of the printer adjustment fields: a text that parseInteger accepts gives
// its value; any other gives the value of the digits met before the first wrong character,
// without the sign ("12-3" gives 12, "-5-" gives 5), and 0 when there are none (an empty text, a
// lone sign). Digits that would pass the 32-bit range are not read.
std::int32_t leadingIntegerValue(QStringView text);

} // namespace mvx
