#include "game/bet_section.h"

#include <QString>

namespace mvx {

QByteArray encodeBetSection(Bet bet)
{
    return betCliName(bet).toLatin1();
}

std::optional<Bet> decodeBetSection(QByteArrayView payload)
{
    // The longest name is a few bytes long; anything much longer is no name.
    if (payload.size() > 32)
        return std::nullopt;
    for (char c : payload)
        if (!((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-'))
            return std::nullopt;
    return betFromCliName(QString::fromLatin1(payload.data(), payload.size()));
}

bool betNeedsSection(Bet bet, int horsesPerTicket)
{
    // A bet of another size than the tickets is not the game's: they are refused until the bet
    // or the tickets change, and the game opens as their size's bet.
    return mvx::horsesPerTicket(bet) == horsesPerTicket && betForTickets(Bet {}, horsesPerTicket) != bet;
}

} // namespace mvx
