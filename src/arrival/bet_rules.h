#pragma once

#include "arrival/official_result.h"
#include "model/bet.h"

#include <span>
#include <vector>

namespace mvx {

// What a rule asks of a ticket's runners (its horses that ran, once the complément has taken
// the place of a non-runner) under one order of the tied horses.
enum class BetTest : std::uint8_t
{
    // The stake is given back.
    Refund,
    // The first `places` finishers are all among the runners; in the order the ticket gives
    // them when `ordered` (then the runners are exactly those finishers).
    FirstPlacesHeld,
    // Every runner finished among the first `places`.
    RunnersAmongFirst,
};

// A bound of a rule that does not limit it.
constexpr int kAnyCount = -1;

// One row of the operator's rules for a bet. The rows of a bet are tried in table order; the
// first whose conditions hold judges the ticket: a refund row refunds it, another gives its
// category when the ticket passes its test, else nothing.
struct BetRule
{
    Bet::Kind kind = Bet::Kind::Quinte;
    int size = 0; // horses on the ticket; 0 for every size of the kind
    // Non-runners on the ticket, once the complément has taken its place: at least, at most.
    int fewestNonRunners = 0;
    int mostNonRunners = kAnyCount;
    // The row holds only when at most this many horses ran (kAnyCount: however many). An
    // unknown number of runners is taken as a full field.
    int mostRunners = kAnyCount;
    // The row holds only when at most this many horses are classified.
    int mostClassified = kAnyCount;
    BetTest test = BetTest::Refund;
    int places = 0;
    bool ordered = false;
    ResultCategory category = ResultCategory::None;
    // The article of the regulation the row comes from.
    const char *article = "";
    // The text read does not settle the row: it follows the nearest text that does.
    bool uncertain = false;
};

// The rows of every bet judged here (all but the tiercé, quarté+, quinté+ and today's couplé).
std::span<const BetRule> betRules();
// The rows of one bet, in the order they are tried.
std::vector<BetRule> betRulesFor(Bet bet);
// The bet is judged by this table (not by the tiercé, quarté+, quinté+ or couplé judge).
bool judgedByBetRules(Bet bet);

} // namespace mvx
