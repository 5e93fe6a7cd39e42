#include "history/race_from_result.h"

#include <cmath>

namespace mvx {

namespace {

std::optional<std::int64_t> playedCents(double amount, std::int64_t multiplier)
{
    const double cents = std::round(amount * 100.0);
    std::int64_t played = 0;
    if (!std::isfinite(cents) || std::fabs(cents) > 9.0e15
        || __builtin_mul_overflow(std::int64_t(cents), multiplier, &played))
        return std::nullopt;
    return played;
}

} // namespace

std::optional<RaceRecord> raceFromResult(
    Bet bet, const ResultTotals &totals, const ResultCategoryGains &gains, const Stakes &stakes)
{
    const ResultMoney money = resultMoney(totals, stakes, bet);
    if (!money.stakeCents || !money.refundCents || !money.balanceCents)
        return std::nullopt;
    RaceRecord race;
    race.bet = bet;
    race.tickets = totals.tickets;
    race.multiplier = stakes.multiplier;
    race.stakeCents = *money.stakeCents;
    race.refundedTickets = money.refundedTickets;
    race.refundCents = *money.refundCents;
    race.balanceCents = *money.balanceCents;
    // The balance is the result's own; the winnings are what it holds beside the refund.
    race.wonCents = race.balanceCents - race.refundCents + race.stakeCents;
    for (int c = 1; c <= kResultCategories; ++c) {
        const std::int64_t count = totals.counts[std::size_t(c) - 1];
        if (count == 0 || ResultCategory(c) == ResultCategory::Refunded)
            continue;
        const std::optional<std::int64_t> amount = playedCents(gains[std::size_t(c) - 1], stakes.multiplier);
        if (!amount)
            return std::nullopt;
        race.winnings.push_back({ gridLabel(ResultCategory(c)), count, *amount });
    }
    return race;
}

} // namespace mvx
