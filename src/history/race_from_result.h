#pragma once

#include "arrival/official_result.h"
#include "arrival/result_classification.h"
#include "history/race_record.h"
#include "model/stakes_file.h"

#include <array>
#include <optional>

namespace mvx {

// What each result category's tickets brought, per unit stake, category 1 in slot 0.
using ResultCategoryGains = std::array<double, kResultCategories>;

// A comparison with the official result as it is recorded: the money lines of resultMoney at
// these stakes ("Mise", the winnings, "Remboursement" and "Bilan"), and each category that
// has tickets with what they brought (× the multiplier). The refunded tickets are counted as
// refunds, not as winnings. The stake is the bet's own. None when no unit stake is known for
// the bet or an amount does not fit.
std::optional<RaceRecord> raceFromResult(
    Bet bet, const ResultTotals &totals, const ResultCategoryGains &gains, const Stakes &stakes);

} // namespace mvx
