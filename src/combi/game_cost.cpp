#include "combi/game_cost.h"

#include <QLocale>

#include <array>
#include <cmath>

namespace mvx {

namespace {

// Unit stakes in cents, by horses per ticket, at the PMU's sales points: tiercé 1 €, quarté+ 1,30 €
// and quinté+ 2 € (the PMU's basic stakes, as punters' guides list them); couplé 1,50 €, the usual
// stake asked for by punters. On the racecourse itself every bet
// starts at 2 € (france-galop.com, "Parier sur l'hippodrome"): a punter there types --stake 2.
// A change of tariff is a change of one number here.
constexpr std::array<std::int64_t, 6> kUnitStakeCents {
    0, // no bet of 0 horses
    0, // nor of 1
    150, // couplé
    100, // tiercé
    130, // quarté+
    200, // quinté+
};

constexpr std::int64_t kLargestStakeCents = 100000000; // a million euros

} // namespace

std::optional<std::int64_t> defaultUnitStakeCents(int horsesPerTicket)
{
    if (horsesPerTicket < 0 || horsesPerTicket >= int(kUnitStakeCents.size())
        || kUnitStakeCents[std::size_t(horsesPerTicket)] == 0)
        return std::nullopt;
    return kUnitStakeCents[std::size_t(horsesPerTicket)];
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
    for (int size = Stakes::kSmallestTicket; size <= Stakes::kLargestTicket; ++size)
        stakes.unitStakeCents[std::size_t(size - Stakes::kSmallestTicket)] = defaultUnitStakeCents(size).value_or(0);
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

std::optional<std::int64_t> stakesCostCents(const Stakes &stakes, int horsesPerTicket, std::int64_t tickets)
{
    const std::int64_t unit = stakes.unitStake(horsesPerTicket);
    if (unit <= 0)
        return std::nullopt;
    return gameCostCents(tickets, unit, stakes.multiplier);
}

QString frenchCostLine(const Stakes &stakes, int horsesPerTicket, std::int64_t tickets)
{
    const std::optional<std::int64_t> cost = stakesCostCents(stakes, horsesPerTicket, tickets);
    if (!cost)
        return {};
    const QLocale french(QLocale::French, QLocale::France);
    QString line = QStringLiteral("Coût : %1 %2 × %3")
                       .arg(french.toString(qlonglong(tickets)),
                           tickets == 1 ? QStringLiteral("ticket") : QStringLiteral("tickets"),
                           frenchEuroText(stakes.unitStake(horsesPerTicket)));
    if (stakes.multiplier != 1)
        line += QStringLiteral(" × %1").arg(french.toString(qlonglong(stakes.multiplier)));
    return line + QStringLiteral(" = ") + frenchEuroText(*cost);
}

QString stakeAndBalanceLines(const Stakes &stakes, int horsesPerTicket, std::int64_t tickets, double winnings)
{
    const std::optional<std::int64_t> stake = stakesCostCents(stakes, horsesPerTicket, tickets);
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

} // namespace mvx
