#pragma once

#include "model/bet.h"

#include <QByteArray>
#include <QByteArrayView>

#include <optional>

namespace mvx {

// The payload of a game's bet section: the bet's tool name in ASCII ("multi5", "couple-place").
QByteArray encodeBetSection(Bet bet);
// The bet of a payload; none for anything but one bet's name.
std::optional<Bet> decodeBetSection(QByteArrayView payload);

// Whether a game of tickets of that many horses keeps its bet in a section: only a bet of their
// size other than the one the size gives, so that a game of today's bets is written as it always
// was.
bool betNeedsSection(Bet bet, int horsesPerTicket);

} // namespace mvx
