#include "arrival/non_runner_rules.h"

#include <array>

namespace mvx {

namespace {

using O = NonRunnerOutcome;
using C = ResultCategory;

// The regulation of the pari mutuel (arrêté du 13 septembre 1985 as last consolidated) for each
// bet, with the operator's own rapports for combinations holding a non-runner (published since
// 30 November 2017). The complément has already replaced the ticket's first non-runner when these
// rows are read. Where the rule of the day differs, this table is the one place to change.
constexpr std::array<NonRunnerRule, 15> kRules { {
    // tiercé
    { 3, 3, true, O::Refund, 0, C::None, 1, false, "art. 68" },
    { 3, 2, false, O::RunnersAmongFirst, 1, C::TierceTwoNonRunners, 1, false, "art. 68 c" },
    { 3, 1, false, O::RunnersAmongFirst, 2, C::TierceOneNonRunner, 1, false, "art. 68 b" },
    // quarté+
    { 4, 2, true, O::Refund, 0, C::None, 1, false, "art. 86-9" },
    { 4, 1, false, O::RunnersAmongFirst, 3, C::QuarteOneNonRunner, 1, false, "art. 86-9" },
    // quinté+: the bet stays a quinté+, paid on its bonus rapports where no rapport of its own is
    // published
    { 5, 3, true, O::Refund, 0, C::None, 1, false, "art. 95-4" },
    { 5, 2, false, O::RunnersAmongFirst, 3, C::QuinteTwoNonRunners, 1, false, "art. 95-4, rapports NP" },
    { 5, 2, false, O::RunnersHoldFirst, 3, C::Bonus3, 4, false, "art. 95-4" },
    { 5, 1, false, O::RunnersAmongFirst, 5, C::QuinteOneNonRunner, 1, true, "rapports NP du 30 novembre 2017" },
    { 5, 1, false, O::RunnersHoldFirst, 4, C::Bonus4, 4, false, "art. 95-4" },
    { 5, 1, false, O::RunnersAmongFirst, 5, C::Bonus4Of5, 4, false, "art. 95-4" },
    { 5, 1, false, O::RunnersHoldFirst, 3, C::Bonus3, 2, false, "art. 95-4" },
    // couplé: gagnant when the runner wins, else placé when it is placed
    { 2, 2, true, O::Refund, 0, C::None, 1, false, "art. 43" },
    { 2, 1, false, O::RunnersAmongFirst, 1, C::CoupleWinnerOneNonRunner, 1, false, "art. 43 b" },
    { 2, 1, false, O::RunnersAmongFirst, 3, C::CouplePlacedOneNonRunner, 1, false, "art. 43 c" },
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
    for (const NonRunnerRule &rule : nonRunnerRules())
        if (rule.horsesPerTicket == horsesPerTicket
            && (rule.nonRunners == nonRunners || (rule.orMore && nonRunners > rule.nonRunners)))
            rows.push_back(rule);
    return rows;
}

} // namespace mvx
