#include "game/game_sections.h"

#include <QtEndian>

#include <algorithm>
#include <cstdint>

namespace mvx {

namespace {

constexpr qsizetype kHeaderSize = 8; // kind, then the payload length

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

const QByteArray *findGameSection(const std::vector<GameSection> &sections, const std::array<char, 4> &kind)
{
    const auto found
        = std::find_if(sections.begin(), sections.end(), [&](const GameSection &s) { return s.kind == kind; });
    return found == sections.end() ? nullptr : &found->payload;
}

} // namespace mvx
