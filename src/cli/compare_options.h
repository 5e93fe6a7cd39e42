#pragma once

#include "arrival/classification.h"
#include "arrival/winnings.h"

#include <QString>

#include <optional>

namespace mvx::cli {

// The value of compare's --arrival ("7,3,12,1,9"): the horses of places 1 to 5, 1..20 each;
// fewer leave the later places unset. Nothing when the text is not that.
std::optional<Arrival> readArrivalOption(const QString &text);

// The value of compare's --payouts: up to ten amounts with the full stop, in the order of the
// comparison window's fields, each rounded to two decimals as the window keeps it once its field
// is left; missing ones are 0. Nothing when the text is not that.
std::optional<Payouts> readPayoutsOption(const QString &text);

} // namespace mvx::cli
