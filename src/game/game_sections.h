#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

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
// The official result of the race (game/result_section.h), once it is typed in.
inline constexpr std::array<char, 4> kOfficialResultSection { 'R', 'S', 'L', 'T' };

// The bet the game is played as, when it is not the one its ticket size gives (older copies,
// which skip it, play the game as that one).
inline constexpr std::array<char, 4> kBetSection { 'P', 'A', 'R', 'I' };

// Every kind this program writes, with what a message calls the part of the game it holds: a
// new kind is one more line here. A kind's tag is four capital letters or digits and differs
// from every other kind's in at least two bytes, so that a tag with one damaged byte is still
// told apart.
struct KnownSectionKind
{
    std::array<char, 4> kind;
    const char *part; // UTF-8
};
inline constexpr KnownSectionKind kKnownSectionKinds[] = {
    { kOwnSystemSection, "le système personnel" },
    { kOwnShareSection, "la part des arrivées garantie" },
    { kConditionsSection, "les conditions" },
    { kOfficialResultSection, "le résultat officiel" },
    { kBetSection, "le pari" },
};

QByteArray encodeGameSections(const std::vector<GameSection> &sections);

// The sections in file order, every kind included. A section whose header or payload runs past
// the end of the bytes ends the reading: what came before it is kept.
std::vector<GameSection> decodeGameSections(QByteArrayView bytesAfterRecord);

// The sections read whole, and the known kinds the bytes held that could not be read whole: a
// section cut short, a tag with a damaged byte, a length that runs into what follows. When the
// bytes are damaged where no known kind can be told, `damagedUnknown` is set instead.
struct GameSectionsReading
{
    std::vector<GameSection> sections;
    std::vector<std::array<char, 4>> damaged;
    bool damagedUnknown = false;
};
GameSectionsReading readGameSections(QByteArrayView bytesAfterRecord);

// What a message calls the part of the game a known kind holds; empty for another kind.
QString gameSectionPart(const std::array<char, 4> &kind);

// The payload of the first section of that kind, or nullptr.
const QByteArray *findGameSection(const std::vector<GameSection> &sections, const std::array<char, 4> &kind);

} // namespace mvx
