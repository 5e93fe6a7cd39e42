#pragma once

#include "model/stakes_file.h"

#include <QString>
#include <QStringView>

#include <cstdint>
#include <optional>

// The cost of a game: tickets × unit stake × stake multiplier, in euro cents so that no rounding
// ever creeps in.
namespace mvx {

// The usual unit stake of a ticket of the bet, in cents; none for a bet without one.
std::optional<std::int64_t> defaultUnitStakeCents(Bet bet);
// The same for the bet a ticket of that many horses gave before the bet was chosen (2 couplé,
// 3 tiercé, 4 quarté+, 5 quinté+); none for other sizes.
std::optional<std::int64_t> defaultUnitStakeCents(int horsesPerTicket);

// tickets × unitStakeCents × multiplier; none when the result would not fit in 64 bits or an
// argument is negative.
std::optional<std::int64_t> gameCostCents(std::int64_t tickets, std::int64_t unitStakeCents, std::int64_t multiplier);

// A stake typed by the user: euros with at most two decimals, the separator a comma or a full
// stop ("1,50", "1.5", "2"); none for anything else or for more than a million euros.
std::optional<std::int64_t> parseEuroCents(QStringView text);

// "3720960.00 €": two decimals after a full stop and no grouping, as the command-line tool writes
// every number, so that a script reads it whatever the locale.
QString euroText(std::int64_t cents);

// One line saying what a game costs: "Coût : 66 tickets × 2.00 € × 1 = 132.00 €".
QString gameCostLine(
    std::int64_t tickets, std::int64_t unitStakeCents, std::int64_t multiplier, std::int64_t costCents);

// The stakes a user starts with: the usual unit stake of each bet, each ticket played once.
Stakes defaultStakes();

// The windows' money text: French, a comma before the two decimals and the thousands grouped,
// whatever the locale: "3 720 960,00 €".
QString frenchEuroText(std::int64_t cents);

// The cost of `tickets` tickets of that many horses at these stakes, in cents; none when no unit
// stake is known for the size or the cost does not fit in 64 bits.
std::optional<std::int64_t> stakesCostCents(const Stakes &stakes, int horsesPerTicket, std::int64_t tickets);
// The same for tickets of the bet; none without a bet.
std::optional<std::int64_t> stakesCostCents(const Stakes &stakes, std::optional<Bet> bet, std::int64_t tickets);

// The windows' cost line, "Coût : 66 tickets × 2,00 € = 132,00 €" ("× 3" after the unit stake
// when each ticket is played three times); empty when the cost cannot be given.
QString frenchCostLine(const Stakes &stakes, int horsesPerTicket, std::int64_t tickets);
QString frenchCostLine(const Stakes &stakes, std::optional<Bet> bet, std::int64_t tickets);

// What a comparison adds to its summary: "Mise : 132,00 €" and "Bilan : +73,40 €" joined by a
// carriage return. The payouts are per unit stake, so the balance is the winnings times the
// multiplier less the stake. Empty when the cost cannot be given.
QString stakeAndBalanceLines(const Stakes &stakes, int horsesPerTicket, std::int64_t tickets, double winnings);
QString stakeAndBalanceLines(const Stakes &stakes, std::optional<Bet> bet, std::int64_t tickets, double winnings);

} // namespace mvx
