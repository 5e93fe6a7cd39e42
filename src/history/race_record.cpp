#include "history/race_record.h"

#include "combi/game_cost.h"

#include <cmath>

namespace mvx {

namespace {

// A sum of payouts rounded to the cent and played `multiplier` times, as the comparison's
// balance line counts it; none beyond what the history can hold.
std::optional<std::int64_t> playedCents(double amount, std::int64_t multiplier)
{
    const double cents = std::round(amount * 100.0);
    if (!std::isfinite(cents) || std::fabs(cents) > 9.0e15)
        return std::nullopt;
    std::int64_t played = 0;
    if (__builtin_mul_overflow(std::int64_t(cents), multiplier, &played))
        return std::nullopt;
    return played;
}

} // namespace

std::optional<BetKind> betFromTicketSize(int horsesPerTicket)
{
    if (horsesPerTicket < 2 || horsesPerTicket > 5)
        return std::nullopt;
    return BetKind(horsesPerTicket);
}

int ticketSize(BetKind bet)
{
    return int(bet);
}

QString betLabel(BetKind bet)
{
    switch (bet) {
    case BetKind::Couple:
        return QStringLiteral("Couplé");
    case BetKind::Tierce:
        return QStringLiteral("Tiercé");
    case BetKind::Quarte:
        return QStringLiteral("Quarté+");
    case BetKind::Quinte:
        return QStringLiteral("Quinté+");
    }
    return QString();
}

std::optional<BetKind> betFromText(const QString &text)
{
    QString t = text.trimmed().toLower();
    t.replace(QChar(u'é'), QLatin1Char('e'));
    if (t.endsWith(QLatin1Char('+')))
        t.chop(1);
    static const char *const kNames[] = { "couple", "tierce", "quarte", "quinte" };
    for (int size = 2; size <= 5; ++size)
        if (t == QLatin1String(kNames[size - 2]) || t == QString::number(size))
            return BetKind(size);
    return std::nullopt;
}

QString ticketMakingText(const TicketMaking &making)
{
    QString text;
    switch (making.source) {
    case TicketOrigin::CatalogueSystem:
        text = QStringLiteral("Système %1").arg(making.catalogueSystem);
        break;
    case TicketOrigin::Generator:
        text = QStringLiteral("Générateur");
        break;
    case TicketOrigin::OwnSystem:
        text = QStringLiteral("Mon système");
        break;
    case TicketOrigin::OpenedFile:
        text = QStringLiteral("Fichier ouvert");
        break;
    }
    if (making.withConditions)
        text += QStringLiteral(" avec conditions");
    return text;
}

std::optional<RaceRecord> raceFromComparison(int horsesPerTicket, std::int64_t tickets, std::int64_t unitStakeCents,
    std::int64_t multiplier, const WinCounts &counts, const Payouts &payouts)
{
    const std::optional<BetKind> bet = betFromTicketSize(horsesPerTicket);
    const std::optional<std::int64_t> stake = gameCostCents(tickets, unitStakeCents, multiplier);
    const std::optional<std::int64_t> won = playedCents(winnings(counts, payouts), multiplier);
    if (!bet || !stake || !won)
        return std::nullopt;
    RaceRecord race;
    race.bet = *bet;
    race.tickets = tickets;
    race.multiplier = multiplier;
    race.stakeCents = *stake;
    race.wonCents = *won;
    race.balanceCents = raceBalanceCents(race.stakeCents, race.wonCents, race.refundCents);
    for (int c = 1; c <= kWinCategories; ++c) {
        const std::int32_t count = counts[std::size_t(c) - 1];
        if (count == 0)
            continue;
        // What this category alone brings, worked out the way the winnings are.
        WinCounts alone {};
        alone[std::size_t(c) - 1] = count;
        const std::optional<std::int64_t> amount = playedCents(winnings(alone, payouts), multiplier);
        if (!amount)
            return std::nullopt;
        race.winnings.push_back({ gridLabel(WinCategory(c)), count, *amount });
    }
    return race;
}

} // namespace mvx
