#pragma once

#include <QStringView>

#include <cstdint>
#include <optional>

namespace mvx {

// The check every number box uses: leading blanks, an optional sign, then decimal digits and
// nothing else, within the 32-bit range. An empty text is not an integer.
std::optional<std::int32_t> parseInteger(QStringView text);

} // namespace mvx
