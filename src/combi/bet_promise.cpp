#include "combi/bet_promise.h"

#include "combi/own_system.h"

namespace mvx {

std::vector<BetPromise> betPromises(Bet bet, int bases)
{
    const int k = horsesPerTicket(bet);
    if (!isValidBet(bet) || k < 2 || k > kMostPerOwnTicket || bases < 0 || bases >= k)
        return {};
    using K = Bet::Kind;
    switch (bet.kind) {
    case K::Multi:
    case K::MiniMulti:
        if (bases > 3)
            return {};
        return { BetPromise { 4, 4, k == 4 } };
    case K::CouplePlaced:
    case K::TwoOfFour: {
        const int usual = bet.kind == K::CouplePlaced ? 3 : 4;
        return { BetPromise { 2, usual, false }, BetPromise { 2, 7 - usual, false } };
    }
    case K::Trio:
    case K::Super4:
    case K::Pick5:
        return { BetPromise { k, k, true } };
    case K::CoupleInOrder:
    case K::TrioInOrder:
    case K::SimpleWinner:
    case K::SimplePlaced:
        return {};
    case K::Couple:
    case K::CoupleWinner:
    case K::Tierce:
    case K::Quarte:
    case K::Quinte:
        break;
    }
    std::vector<BetPromise> promises;
    // T = k - 1 first where it means something, as the tab offers it.
    if (k - 1 > bases)
        promises.push_back({ k - 1, k - 1, false });
    for (int t = bases + 1; t <= k; ++t)
        if (t != k - 1)
            promises.push_back({ t, t, t == k });
    if (bet.kind == K::Quinte && bases < 3)
        promises.push_back({ 3, 4, false });
    return promises;
}

QString betPromiseText(Bet bet, const SystemRequest &r)
{
    const int m = promiseSize(r);
    switch (bet.kind) {
    case Bet::Kind::Multi:
    case Bet::Kind::MiniMulti:
        if (r.guarantee == 4 && m == 4)
            return QStringLiteral("si les 4 premiers sont parmi vos %1 chevaux, un ticket paie le %2")
                .arg(r.horses)
                .arg(betName(bet));
        break;
    case Bet::Kind::CouplePlaced:
    case Bet::Kind::TwoOfFour:
        if (r.guarantee == 2 && r.bases == 0)
            return QStringLiteral("si %1 de vos chevaux sont dans les %1 premiers, un ticket paie").arg(m);
        break;
    default:
        break;
    }
    return guaranteeText(r);
}

} // namespace mvx
