#pragma once

#include "arrival/official_result.h"

#include <span>
#include <vector>

namespace mvx {

// What non-runners on a ticket make of it.
enum class NonRunnerOutcome : std::uint8_t
{
    // The stake is given back.
    Refund,
    // The ticket meets `category` when every horse of it that ran finished among the first
    // `places`; its combination is those horses in finishing order, then one "NP" per
    // non-runner when the category's combinations hold non-runners.
    RunnersAmongFirst,
    // The ticket meets `category` when the first `places` finishers all ran on it; its
    // combination is those finishers.
    RunnersHoldFirst,
};

// One row of the rules on non-runners. The rows of a ticket size and a number of non-runners
// are the categories such a ticket can meet, in table order: the first that holds and for which
// a rapport is published pays the ticket.
struct NonRunnerRule
{
    int horsesPerTicket = 0;
    int nonRunners = 0; // on the ticket, once the complément has taken its place
    bool orMore = false; // the row also holds for more non-runners
    NonRunnerOutcome outcome = NonRunnerOutcome::Refund;
    int places = 0;
    ResultCategory category = ResultCategory::None;
    // The ticket is paid this many times the category's rapport.
    int times = 1;
    // The row pays only through a rapport published for it, and a ticket it does not pay is not
    // a winner left without a rapport (the operator's own rapports for combinations holding a
    // non-runner, published where it chooses to).
    bool ownRapportOnly = false;
    // Where the rule is written, for the reader who checks it.
    const char *article = "";
};

// The whole table, in the order its rows are tried.
std::span<const NonRunnerRule> nonRunnerRules();

// The rows for tickets of that size with that many non-runners, in order; empty when none
// applies (no non-runner, or a size no rule is written for).
std::vector<NonRunnerRule> nonRunnerRulesFor(int horsesPerTicket, int nonRunners);

} // namespace mvx
