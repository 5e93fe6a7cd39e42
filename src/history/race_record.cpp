#include "history/race_record.h"

#include "combi/game_cost.h"
#include "model/stakes_file.h"

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

int betStorageCode(Bet bet)
{
    if (isClassicBet(bet))
        return horsesPerTicket(bet);
    return 100 + 10 * int(bet.kind) + bet.size;
}

std::optional<Bet> betFromStorageCode(int code)
{
    if (code >= 2 && code <= 5)
        return classicBet(code);
    if (code < 100)
        return std::nullopt;
    const Bet bet { Bet::Kind((code - 100) / 10), std::int8_t((code - 100) % 10) };
    if ((code - 100) / 10 >= Stakes::kBetKinds || !isValidBet(bet) || isClassicBet(bet))
        return std::nullopt;
    return bet;
}

namespace {

// Lower case, "é" as "e", no final "+": "Quinté+" and "quinte" alike.
QString plainBetText(const QString &text)
{
    QString t = text.trimmed().toLower();
    t.replace(QChar(u'é'), QLatin1Char('e'));
    if (t.endsWith(QLatin1Char('+')))
        t.chop(1);
    return t;
}

std::vector<Bet> everyCouple()
{
    using K = Bet::Kind;
    return { Bet { K::Couple, 2 }, Bet { K::CoupleWinner, 2 }, Bet { K::CouplePlaced, 2 },
        Bet { K::CoupleInOrder, 2 } };
}

} // namespace

std::vector<Bet> betsFromText(const QString &text)
{
    const QString trimmed = text.trimmed();
    // The tool's names first: "couple" is the couplé alone, as every command takes it.
    if (const std::optional<Bet> bet = betFromCliName(trimmed.toLower()))
        return { *bet };
    const QString plain = plainBetText(trimmed);
    if (plain == QLatin1String("couple") || plain == QLatin1String("2"))
        return everyCouple();
    bool isNumber = false;
    const int size = plain.toInt(&isNumber);
    if (isNumber) {
        if (const std::optional<Bet> bet = classicBet(size))
            return { *bet };
        return {};
    }
    for (const Bet &bet : allBets())
        if (plainBetText(betName(bet)) == plain)
            return { bet };
    return {};
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
    const std::optional<Bet> bet = classicBet(horsesPerTicket);
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
