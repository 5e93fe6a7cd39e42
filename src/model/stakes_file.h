#pragma once

#include "model/bet.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <array>
#include <cstdint>
#include <optional>

namespace mvx {

// What the user plays on each ticket: the unit stake of a ticket of each bet, in cents, and how
// many times each ticket is played. The Multi and the Mini Multi have one stake for all their
// sizes. A unit stake of 0 means no stake is known for that bet: no cost is shown for it.
struct Stakes
{
    static constexpr int kBetKinds = 16;
    static constexpr std::int64_t kLargestStakeCents = 100000000; // a million euros
    static constexpr std::int64_t kLargestMultiplier = 10000;

    // By the number of the bet's kind: the couplé, tiercé, quarté+ and quinté+ first, so that
    // entries 0..3 are the tickets of 2..5 horses as they always were.
    std::array<std::int64_t, kBetKinds> unitStakeCents {};
    std::int64_t multiplier = 1;

    std::int64_t unitStake(Bet bet) const
    {
        const std::size_t kind = std::size_t(bet.kind);
        return kind < unitStakeCents.size() ? unitStakeCents[kind] : 0;
    }
    // The unit stake of the bet a ticket of that many horses gave before the bet was chosen; 0
    // for a size without one.
    std::int64_t unitStake(int horsesPerTicket) const
    {
        const std::optional<Bet> bet = classicBet(horsesPerTicket);
        return bet ? unitStake(*bet) : 0;
    }

    friend bool operator==(const Stakes &, const Stakes &) = default;
};

// The stakes file, kept in the settings folder beside the settings file: text lines,
//   mises 2 / one line per bet, "KEY C" / multiplicateur M
// with the bets in the order of their kinds' numbers, each keyed by its tool name ("couple",
// "tierce", "quarte", "quinte", "simple-gagnant", …, "multi", "mini-multi", "pick5"), the unit
// stakes in cents (0..100000000) and the multiplier 1..10000. A file of the first form,
//   mises 1 / couple C / tierce C / quarte C / quinte C / multiplicateur M
// is still read: the bets it does not name take their stake from `unlisted`.
QString stakesFilePath(const QString &settingsFolder);
QByteArray encodeStakes(const Stakes &stakes);
// Nothing unless every line is there, in its order, with a value in its range.
std::optional<Stakes> decodeStakes(QByteArrayView bytes, const Stakes &unlisted = Stakes {});

// The stakes of the file, or `defaults` when there is none or it is damaged in any way.
Stakes loadStakes(const QString &settingsFolder, const Stakes &defaults);
// Writes the file atomically; false (the old file kept) when it could not be written.
bool saveStakes(const QString &settingsFolder, const Stakes &stakes);

} // namespace mvx
