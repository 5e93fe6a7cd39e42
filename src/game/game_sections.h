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

// The contents, written first before the others: each later section's kind and payload length,
// 8 bytes apiece, as its header says them. With it a reader knows where every section stands
// even when a header is damaged, and which sections a file cut short has lost. It holds no part
// of the game; an older copy skips it like any kind it does not know.
inline constexpr std::array<char, 4> kContentsSection { 'S', 'O', 'M', 'M' };

// The bet the game is played as, when it is not the one its ticket size gives (older copies,
// which skip it, play the game as that one). Not "PARI": "MPAR" and its length byte would read
// as that tag with one damaged byte.
inline constexpr std::array<char, 4> kBetSection { 'J', 'O', 'U', 'E' };

// Every kind this program writes, with what a message calls the part of the game it holds: a
// new kind is one more line here. A kind's tag is four capital letters or digits and differs
// in at least two bytes from every other kind's, and from any four bytes that straddle another
// kind's header, so that a tag with one damaged byte is still told apart.
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

// The contents section, then the sections; nothing for no section.
QByteArray encodeGameSections(const std::vector<GameSection> &sections);

// The sections in file order, every kind but the contents included. A section whose header or
// payload runs past the end of the bytes ends the reading: what came before it is kept.
std::vector<GameSection> decodeGameSections(QByteArrayView bytesAfterRecord);

// The sections read whole, and the known kinds the bytes held that could not be read whole: a
// section cut short, a tag with a damaged byte, a length that runs into what follows, a section
// the contents list that a file cut short no longer holds. Past a damaged header the reading
// goes on at the next section it can tell (the contents say where; without them, the next
// known tag from which the headers run whole to the end), so that every section that can
// still be read whole is read. When the bytes are damaged where no known kind can be told,
// `damagedUnknown` is set instead.
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
