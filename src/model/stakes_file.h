#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <array>
#include <cstdint>
#include <optional>

namespace mvx {

// What the user plays on each ticket: the unit stake of a ticket of 2 (couplé), 3 (tiercé),
// 4 (quarté+) and 5 (quinté+) horses, in cents, and how many times each ticket is played.
// A unit stake of 0 means no stake is known for that size: no cost is shown for it.
struct Stakes
{
    static constexpr int kSmallestTicket = 2;
    static constexpr int kLargestTicket = 5;
    static constexpr std::int64_t kLargestStakeCents = 100000000; // a million euros
    static constexpr std::int64_t kLargestMultiplier = 10000;

    std::array<std::int64_t, kLargestTicket - kSmallestTicket + 1> unitStakeCents {};
    std::int64_t multiplier = 1;

    // The unit stake of tickets of that many horses; 0 for a size without one.
    std::int64_t unitStake(int horsesPerTicket) const
    {
        if (horsesPerTicket < kSmallestTicket || horsesPerTicket > kLargestTicket)
            return 0;
        return unitStakeCents[std::size_t(horsesPerTicket - kSmallestTicket)];
    }

    friend bool operator==(const Stakes &, const Stakes &) = default;
};

// The stakes file, kept in the settings folder beside the settings file: six text lines,
//   mises 1 / couple C / tierce C / quarte C / quinte C / multiplicateur M
// with the unit stakes in cents (0..100000000) and the multiplier 1..10000.
QString stakesFilePath(const QString &settingsFolder);
QByteArray encodeStakes(const Stakes &stakes);
// Nothing unless every line is there, in its order, with a value in its range.
std::optional<Stakes> decodeStakes(QByteArrayView bytes);

// The stakes of the file, or `defaults` when there is none or it is damaged in any way.
Stakes loadStakes(const QString &settingsFolder, const Stakes &defaults);
// Writes the file atomically; false (the old file kept) when it could not be written.
bool saveStakes(const QString &settingsFolder, const Stakes &stakes);

} // namespace mvx
