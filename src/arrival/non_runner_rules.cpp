#include "arrival/non_runner_rules.h"

#include <array>

namespace mvx {

namespace {

using O = NonRunnerOutcome;
using C = ResultCategory;

// The operator's published rules for each bet (its betting regulations, the articles on
// non-partants and on the cheval de complément). The complément has already replaced the
// ticket's first non-runner when these rows are read. Where the rule of the day differs, this
// table is the one place to change.
constexpr std::array<NonRunnerRule, 11> kRules { {
    // tiercé
    { 3, 3, true, O::Refund, 0, C::None },
    { 3, 2, false, O::RunnersAmongFirst, 1, C::TierceTwoNonRunners },
    { 3, 1, false, O::RunnersAmongFirst, 2, C::TierceOneNonRunner },
    // quarté+
    { 4, 2, true, O::Refund, 0, C::None },
    { 4, 1, false, O::RunnersAmongFirst, 3, C::QuarteOneNonRunner },
    // quinté+
    { 5, 3, true, O::Refund, 0, C::None },
    { 5, 2, false, O::RunnersAmongFirst, 3, C::QuinteTwoNonRunners },
    { 5, 1, false, O::PlayedAsQuarte, 0, C::None },
    // couplé: gagnant when the runner wins, else placé when it is placed
    { 2, 2, true, O::Refund, 0, C::None },
    { 2, 1, false, O::RunnersAmongFirst, 1, C::CoupleWinnerOneNonRunner },
    { 2, 1, false, O::RunnersAmongFirst, 3, C::CouplePlacedOneNonRunner },
} };

} // namespace

std::span<const NonRunnerRule> nonRunnerRules()
{
    return kRules;
}

std::vector<NonRunnerRule> nonRunnerRulesFor(int horsesPerTicket, int nonRunners)
{
    std::vector<NonRunnerRule> rows;
    if (nonRunners <= 0)
        return rows;
    for (const NonRunnerRule &rule : kRules)
        if (rule.horsesPerTicket == horsesPerTicket
            && (rule.nonRunners == nonRunners || (rule.orMore && nonRunners > rule.nonRunners)))
            rows.push_back(rule);
    return rows;
}

} // namespace mvx
