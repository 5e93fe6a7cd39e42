#pragma once

#include "arrival/official_result.h"

#include <span>

namespace mvx {

// What non-runners on a ticket make of it.
enum class NonRunnerOutcome : std::uint8_t
{
    // The stake is given back.
    Refund,
    // The ticket wins `category` when every horse of it that ran finished among the first
    // `places`.
    RunnersAmongFirst,
    // A quinté+ ticket becomes a quarté+ ticket on its four runners, in their ticket order: its
    // stake goes to the quarté+ pool.
    PlayedAsQuarte,
};

// One row of the operator's rules on non-runners. The rows of a ticket size and a number of
// non-runners are tried in table order; the first that holds gives the outcome.
struct NonRunnerRule
{
    int horsesPerTicket = 0;
    int nonRunners = 0; // on the ticket, once the complément has taken its place
    bool orMore = false; // the row also holds for more non-runners
    NonRunnerOutcome outcome = NonRunnerOutcome::Refund;
    int places = 0; // RunnersAmongFirst
    ResultCategory category = ResultCategory::None; // RunnersAmongFirst
};

// The whole table, in the order its rows are tried.
std::span<const NonRunnerRule> nonRunnerRules();

// The rows for tickets of that size with that many non-runners, in order; empty when none
// applies (no non-runner, or a size no rule is written for).
std::vector<NonRunnerRule> nonRunnerRulesFor(int horsesPerTicket, int nonRunners);

} // namespace mvx
