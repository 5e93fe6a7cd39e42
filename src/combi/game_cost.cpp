#include "combi/game_cost.h"

#include <QLocale>

#include <cmath>

namespace mvx {

namespace {

// Unit stakes in cents, by bet, at the PMU's sales points: tiercé 1 €, quarté+ 1,30 € and
// quinté+ 2 € (the PMU's basic stakes, as punters' guides list them); couplé 1,50 €, the usual
// stake asked for by punters, kept for the three couplés of the operator; Super4 1 € (the press
// at its launch in 2017); the Multi 3 € whatever its size (zone-turf.fr, 2009), the 2sur4 3 €
// (punters' guides), the Pick5 1 € (canalturf.com at its launch, 2012). The simple, the trio,
// the trio ordre and the Mini Multi have no stake here that a source gives: 0, no cost shown
// until the punter types one. On the racecourse itself every bet starts at 2 €
// (france-galop.com, "Parier sur l'hippodrome"): a punter there types --stake 2.
// A change of tariff is a change of one number here.
std::int64_t usualStakeCents(Bet::Kind kind)
{
    switch (kind) {
    case Bet::Kind::Couple:
    case Bet::Kind::CoupleWinner:
    case Bet::Kind::CouplePlaced:
    case Bet::Kind::CoupleInOrder:
        return 150;
    case Bet::Kind::Tierce:
    case Bet::Kind::Super4:
    case Bet::Kind::Pick5:
        return 100;
    case Bet::Kind::Quarte:
        return 130;
    case Bet::Kind::Quinte:
        return 200;
    case Bet::Kind::TwoOfFour:
    case Bet::Kind::Multi:
        return 300;
    case Bet::Kind::SimpleWinner:
    case Bet::Kind::SimplePlaced:
    case Bet::Kind::Trio:
    case Bet::Kind::TrioInOrder:
    case Bet::Kind::MiniMulti:
        return 0;
    }
    return 0;
}

constexpr std::int64_t kLargestStakeCents = 100000000; // a million euros

} // namespace

std::optional<std::int64_t> defaultUnitStakeCents(Bet bet)
{
    const std::int64_t cents = usualStakeCents(bet.kind);
    if (cents == 0)
        return std::nullopt;
    return cents;
}

std::optional<std::int64_t> defaultUnitStakeCents(int horsesPerTicket)
{
    const std::optional<Bet> bet = classicBet(horsesPerTicket);
    return bet ? defaultUnitStakeCents(*bet) : std::nullopt;
}

std::optional<std::int64_t> gameCostCents(std::int64_t tickets, std::int64_t unitStakeCents, std::int64_t multiplier)
{
    if (tickets < 0 || unitStakeCents < 0 || multiplier < 0)
        return std::nullopt;
    std::int64_t perTicket = 0;
    std::int64_t cost = 0;
    if (__builtin_mul_overflow(unitStakeCents, multiplier, &perTicket)
        || __builtin_mul_overflow(perTicket, tickets, &cost))
        return std::nullopt;
    return cost;
}

std::optional<std::int64_t> parseEuroCents(QStringView text)
{
    text = text.trimmed();
    std::int64_t euros = 0;
    std::int64_t cents = 0;
    int digits = 0;
    int decimals = -1; // -1 until the separator
    for (QChar c : text) {
        if (c == QLatin1Char(',') || c == QLatin1Char('.')) {
            if (decimals >= 0 || digits == 0)
                return std::nullopt;
            decimals = 0;
        } else if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
            const int d = c.unicode() - '0';
            if (decimals < 0) {
                euros = euros * 10 + d;
                if (++digits > 7)
                    return std::nullopt;
            } else {
                if (++decimals > 2)
                    return std::nullopt;
                cents = cents * 10 + d;
            }
        } else {
            return std::nullopt;
        }
    }
    if (digits == 0 || decimals == 0)
        return std::nullopt;
    if (decimals == 1)
        cents *= 10;
    const std::int64_t total = euros * 100 + cents;
    if (total > kLargestStakeCents)
        return std::nullopt;
    return total;
}

QString euroText(std::int64_t cents)
{
    const bool negative = cents < 0;
    const std::uint64_t magnitude = negative ? 0 - std::uint64_t(cents) : std::uint64_t(cents);
    return QStringLiteral("%1%2.%3 €")
        .arg(negative ? QStringLiteral("-") : QString())
        .arg(magnitude / 100)
        .arg(magnitude % 100, 2, 10, QLatin1Char('0'));
}

QString gameCostLine(std::int64_t tickets, std::int64_t unitStakeCents, std::int64_t multiplier, std::int64_t costCents)
{
    return QStringLiteral("Coût : %1 tickets × %2 × %3 = %4")
        .arg(tickets)
        .arg(euroText(unitStakeCents))
        .arg(multiplier)
        .arg(euroText(costCents));
}

Stakes defaultStakes()
{
    Stakes stakes;
    for (std::size_t kind = 0; kind < stakes.unitStakeCents.size(); ++kind)
        stakes.unitStakeCents[kind] = usualStakeCents(Bet::Kind(kind));
    stakes.multiplier = 1;
    return stakes;
}

QString frenchEuroText(std::int64_t cents)
{
    const QLocale french(QLocale::French, QLocale::France);
    const bool negative = cents < 0;
    const std::uint64_t magnitude = negative ? 0 - std::uint64_t(cents) : std::uint64_t(cents);
    return QStringLiteral("%1%2,%3 €")
        .arg(negative ? QStringLiteral("-") : QString())
        .arg(french.toString(qulonglong(magnitude / 100)))
        .arg(magnitude % 100, 2, 10, QLatin1Char('0'));
}

std::optional<std::int64_t> stakesCostCents(const Stakes &stakes, std::optional<Bet> bet, std::int64_t tickets)
{
    const std::int64_t unit = bet ? stakes.unitStake(*bet) : 0;
    if (unit <= 0)
        return std::nullopt;
    return gameCostCents(tickets, unit, stakes.multiplier);
}

std::optional<std::int64_t> stakesCostCents(const Stakes &stakes, int horsesPerTicket, std::int64_t tickets)
{
    return stakesCostCents(stakes, classicBet(horsesPerTicket), tickets);
}

QString frenchCostLine(const Stakes &stakes, std::optional<Bet> bet, std::int64_t tickets)
{
    const std::optional<std::int64_t> cost = stakesCostCents(stakes, bet, tickets);
    if (!cost)
        return {};
    const QLocale french(QLocale::French, QLocale::France);
    QString line = QStringLiteral("Coût : %1 %2 × %3")
                       .arg(french.toString(qlonglong(tickets)),
                           tickets == 1 ? QStringLiteral("ticket") : QStringLiteral("tickets"),
                           frenchEuroText(stakes.unitStake(*bet)));
    if (stakes.multiplier != 1)
        line += QStringLiteral(" × %1").arg(french.toString(qlonglong(stakes.multiplier)));
    return line + QStringLiteral(" = ") + frenchEuroText(*cost);
}

QString frenchCostLine(const Stakes &stakes, int horsesPerTicket, std::int64_t tickets)
{
    return frenchCostLine(stakes, classicBet(horsesPerTicket), tickets);
}

QString stakeAndBalanceLines(const Stakes &stakes, std::optional<Bet> bet, std::int64_t tickets, double winnings)
{
    const std::optional<std::int64_t> stake = stakesCostCents(stakes, bet, tickets);
    // Winnings are sums of payouts of two decimals: rounded to the cent, then played
    // `multiplier` times.
    const double wonCents = std::round(winnings * 100.0);
    if (!stake || !std::isfinite(wonCents) || std::fabs(wonCents) > 9.0e15)
        return {};
    std::int64_t won = 0;
    std::int64_t balance = 0;
    if (__builtin_mul_overflow(std::int64_t(wonCents), stakes.multiplier, &won)
        || __builtin_sub_overflow(won, *stake, &balance))
        return {};
    return QStringLiteral("Mise : %1\rBilan : %2%3")
        .arg(frenchEuroText(*stake), balance > 0 ? QStringLiteral("+") : QString(), frenchEuroText(balance));
}

QString stakeAndBalanceLines(const Stakes &stakes, int horsesPerTicket, std::int64_t tickets, double winnings)
{
    return stakeAndBalanceLines(stakes, classicBet(horsesPerTicket), tickets, winnings);
}

} // namespace mvx
