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
    return betForTickets(Bet {}, horsesPerTicket) != std::optional<Bet>(bet);
}

} // namespace mvx
