#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <array>
#include <vector>

namespace mvx {

// What a game file holds after its 108-byte record: zero or more sections, each four ASCII bytes
// naming its kind, its payload length as a little-endian uint32, then the payload. A reader
// skips the kinds it does not know, so that an older copy of the program still opens a newer
// game; an older copy that reads only the record ignores them all.
struct GameSection
{
    std::array<char, 4> kind {};
    QByteArray payload;
};

// The kinds this program writes: the punter's own system (the request and its table).
inline constexpr std::array<char, 4> kOwnSystemSection { 'M', 'S', 'Y', 'S' };
// Beside it, the share of the arrivals its table is searched for and the table's origin, when the
// share is not 100 % or the table is the library's (older copies, which skip it, check the table
// against the full guarantee).
inline constexpr std::array<char, 4> kOwnShareSection { 'M', 'P', 'A', 'R' };
// The conditions on the tickets (groups, sum), of any game that has them.
inline constexpr std::array<char, 4> kConditionsSection { 'C', 'O', 'N', 'D' };

QByteArray encodeGameSections(const std::vector<GameSection> &sections);

// The sections in file order, every kind included. A section whose header or payload runs past
// the end of the bytes ends the reading: what came before it is kept.
std::vector<GameSection> decodeGameSections(QByteArrayView bytesAfterRecord);

// The payload of the first section of that kind, or nullptr.
const QByteArray *findGameSection(const std::vector<GameSection> &sections, const std::array<char, 4> &kind);

} // namespace mvx
