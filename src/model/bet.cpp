#include "model/bet.h"

#include <array>

namespace mvx {

namespace {

using K = Bet::Kind;

// The bets in the order the lists offer them: the four of old first, then the operator's others.
constexpr std::array<BetKindInfo, 16> kKinds { {
    { K::Quinte, "quinte", "Quinté+", 5, 5, true, true },
    { K::Quarte, "quarte", "Quarté+", 4, 4, true, true },
    { K::Tierce, "tierce", "Tiercé", 3, 3, true, true },
    { K::Couple, "couple", "Couplé", 2, 2, false, true },
    { K::CoupleWinner, "couple-gagnant", "Couplé gagnant", 2, 2, false, true },
    { K::CouplePlaced, "couple-place", "Couplé placé", 2, 2, false, true },
    { K::CoupleInOrder, "couple-ordre", "Couplé ordre", 2, 2, true, true },
    { K::TwoOfFour, "2sur4", "2sur4", 2, 2, false, true },
    { K::Trio, "trio", "Trio", 3, 3, false, true },
    { K::TrioInOrder, "trio-ordre", "Trio ordre", 3, 3, true, true },
    { K::Super4, "super4", "Super4", 4, 4, true, true },
    { K::Multi, "multi", "Multi", 4, 7, false, false },
    { K::MiniMulti, "mini-multi", "Mini Multi", 4, 6, false, false },
    { K::Pick5, "pick5", "Pick5", 5, 5, false, true },
    { K::SimpleWinner, "simple-gagnant", "Simple gagnant", 1, 1, false, false },
    { K::SimplePlaced, "simple-place", "Simple placé", 1, 1, false, false },
} };

bool sized(Bet::Kind kind)
{
    const BetKindInfo &info = betKindInfo(kind);
    return info.largestSize > info.smallestSize;
}

} // namespace

std::span<const BetKindInfo> betKinds()
{
    return kKinds;
}

const BetKindInfo &betKindInfo(Bet::Kind kind)
{
    for (const BetKindInfo &info : kKinds)
        if (info.kind == kind)
            return info;
    return kKinds[0];
}

std::vector<Bet> allBets()
{
    std::vector<Bet> bets;
    for (const BetKindInfo &info : kKinds)
        for (int size = info.smallestSize; size <= info.largestSize; ++size)
            bets.push_back(Bet { info.kind, std::int8_t(size) });
    return bets;
}

bool isValidBet(Bet bet)
{
    for (const BetKindInfo &info : kKinds)
        if (info.kind == bet.kind)
            return bet.size >= info.smallestSize && bet.size <= info.largestSize;
    return false;
}

int horsesPerTicket(Bet bet)
{
    return bet.size;
}

bool isOrdered(Bet bet)
{
    return betKindInfo(bet.kind).ordered;
}

bool hasComplement(Bet bet)
{
    return betKindInfo(bet.kind).complement;
}

bool isClassicBet(Bet bet)
{
    return bet.kind == K::Couple || bet.kind == K::Tierce || bet.kind == K::Quarte || bet.kind == K::Quinte;
}

QString betName(Bet bet)
{
    const QString name = QString::fromUtf8(betKindInfo(bet.kind).frenchName);
    return sized(bet.kind) ? QStringLiteral("%1 en %2").arg(name).arg(int(bet.size)) : name;
}

QString betCliName(Bet bet)
{
    const QString name = QString::fromLatin1(betKindInfo(bet.kind).cliName);
    return sized(bet.kind) ? name + QString::number(bet.size) : name;
}

std::optional<Bet> betFromCliName(const QString &name)
{
    for (const Bet &bet : allBets())
        if (betCliName(bet) == name)
            return bet;
    return std::nullopt;
}

std::optional<Bet> classicBet(int horsesPerTicket)
{
    switch (horsesPerTicket) {
    case 2:
        return Bet { K::Couple, 2 };
    case 3:
        return Bet { K::Tierce, 3 };
    case 4:
        return Bet { K::Quarte, 4 };
    case 5:
        return Bet { K::Quinte, 5 };
    default:
        return std::nullopt;
    }
}

std::vector<Bet> betsOfSize(int horsesPerTicket)
{
    std::vector<Bet> bets;
    if (const std::optional<Bet> classic = classicBet(horsesPerTicket))
        bets.push_back(*classic);
    for (const Bet &bet : allBets())
        if (bet.size == horsesPerTicket && !isClassicBet(bet))
            bets.push_back(bet);
    return bets;
}

} // namespace mvx
