#include "game/game_sections.h"

#include <QtEndian>

#include <algorithm>
#include <cstdint>
#include <optional>

namespace mvx {

namespace {

constexpr qsizetype kHeaderSize = 8; // kind, then the payload length

using Kind = std::array<char, 4>;

bool isKnown(const Kind &kind)
{
    return std::any_of(std::begin(kKnownSectionKinds), std::end(kKnownSectionKinds),
        [&](const KnownSectionKind &known) { return known.kind == kind; });
}

// The known kind a tag with one damaged byte was.
std::optional<Kind> nearKnown(const Kind &kind)
{
    for (const KnownSectionKind &known : kKnownSectionKinds) {
        int differences = 0;
        for (std::size_t i = 0; i < kind.size(); ++i)
            differences += kind[i] != known.kind[i] ? 1 : 0;
        if (differences == 1)
            return known.kind;
    }
    return std::nullopt;
}

// Four capital letters or digits: a kind of a later program, or of none at all.
bool looksLikeTag(const Kind &kind)
{
    return std::all_of(
        kind.begin(), kind.end(), [](char c) { return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); });
}

Kind kindAt(QByteArrayView bytes, qsizetype at)
{
    Kind kind {};
    std::copy_n(bytes.data() + at, kind.size(), kind.begin());
    return kind;
}

void addOnce(std::vector<Kind> &kinds, const Kind &kind)
{
    if (std::find(kinds.begin(), kinds.end(), kind) == kinds.end())
        kinds.push_back(kind);
}

} // namespace

QByteArray encodeGameSections(const std::vector<GameSection> &sections)
{
    QByteArray bytes;
    for (const GameSection &section : sections) {
        bytes.append(section.kind.data(), qsizetype(section.kind.size()));
        char length[4];
        qToLittleEndian<std::uint32_t>(std::uint32_t(section.payload.size()), length);
        bytes.append(length, 4);
        bytes.append(section.payload);
    }
    return bytes;
}

std::vector<GameSection> decodeGameSections(QByteArrayView bytes)
{
    std::vector<GameSection> sections;
    qsizetype at = 0;
    while (bytes.size() - at >= kHeaderSize) {
        GameSection section;
        std::copy_n(bytes.data() + at, section.kind.size(), section.kind.begin());
        const std::uint32_t length = qFromLittleEndian<std::uint32_t>(bytes.data() + at + 4);
        at += kHeaderSize;
        if (std::uint64_t(length) > std::uint64_t(bytes.size() - at))
            break;
        section.payload = bytes.sliced(at, qsizetype(length)).toByteArray();
        at += qsizetype(length);
        sections.push_back(std::move(section));
    }
    return sections;
}

GameSectionsReading readGameSections(QByteArrayView bytes)
{
    GameSectionsReading reading;
    // Whether the walk from header to header reached the end of the bytes exactly.
    bool whole = true;
    qsizetype at = 0;
    while (at < bytes.size()) {
        if (bytes.size() - at < 4) {
            whole = false;
            break;
        }
        const Kind kind = kindAt(bytes, at);
        const std::optional<Kind> meant = isKnown(kind) ? std::optional<Kind>(kind) : nearKnown(kind);
        if (!meant && !looksLikeTag(kind)) {
            whole = false;
            break;
        }
        // A header or payload cut short ends the reading.
        const std::uint64_t length
            = bytes.size() - at >= kHeaderSize ? qFromLittleEndian<std::uint32_t>(bytes.data() + at + 4) : 0;
        if (bytes.size() - at < kHeaderSize || length > std::uint64_t(bytes.size() - at - kHeaderSize)) {
            if (meant)
                addOnce(reading.damaged, *meant);
            else
                whole = false;
            break;
        }
        at += kHeaderSize;
        if (meant && *meant != kind)
            addOnce(reading.damaged, *meant);
        else
            reading.sections.push_back(GameSection { kind, bytes.sliced(at, qsizetype(length)).toByteArray() });
        at += qsizetype(length);
    }
    if (!whole) {
        // A length that runs into the next section loses it, and the walk then meets no header
        // where one should be: every known kind whose tag stands in the bytes and that was not
        // read is damaged.
        for (const KnownSectionKind &known : kKnownSectionKinds) {
            const bool read = findGameSection(reading.sections, known.kind) != nullptr;
            if (!read && bytes.indexOf(QByteArrayView(known.kind.data(), 4)) >= 0)
                addOnce(reading.damaged, known.kind);
        }
        reading.damagedUnknown = reading.damaged.empty();
    }
    return reading;
}

QString gameSectionPart(const std::array<char, 4> &kind)
{
    for (const KnownSectionKind &known : kKnownSectionKinds)
        if (known.kind == kind)
            return QString::fromUtf8(known.part);
    return {};
}

const QByteArray *findGameSection(const std::vector<GameSection> &sections, const std::array<char, 4> &kind)
{
    const auto found
        = std::find_if(sections.begin(), sections.end(), [&](const GameSection &s) { return s.kind == kind; });
    return found == sections.end() ? nullptr : &found->payload;
}

} // namespace mvx
