#include "game/game_sections.h"

#include <QtEndian>

#include <algorithm>
#include <cstdint>
#include <optional>

namespace mvx {

namespace {

constexpr qsizetype kHeaderSize = 8; // kind, then the payload length

using Kind = std::array<char, 4>;

bool isPart(const Kind &kind)
{
    return std::any_of(std::begin(kKnownSectionKinds), std::end(kKnownSectionKinds),
        [&](const KnownSectionKind &known) { return known.kind == kind; });
}

// Far more sections than a game holds: past this many headers in a row the bytes are not a
// game's, and the reading stops looking, so that no file makes it slow.
constexpr int kMostSections = 64;
// The most places a tag is tried at, for each kind, by one search.
constexpr int kMostTagsTried = 256;

// Every kind this program writes: the parts of the game and the contents.
const std::vector<Kind> &ourKinds()
{
    static const std::vector<Kind> kinds = [] {
        std::vector<Kind> all { kContentsSection };
        for (const KnownSectionKind &known : kKnownSectionKinds)
            all.push_back(known.kind);
        return all;
    }();
    return kinds;
}

// The kind of ours a tag is, exactly or with one damaged byte.
std::optional<Kind> meantKind(const Kind &kind)
{
    for (const Kind &ours : ourKinds()) {
        int differences = 0;
        for (std::size_t i = 0; i < kind.size(); ++i)
            differences += kind[i] != ours[i] ? 1 : 0;
        if (differences <= 1)
            return ours;
    }
    return std::nullopt;
}

bool tagByte(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

// Four capital letters or digits: a kind of a later program, or of none at all.
bool looksLikeTag(const Kind &kind)
{
    return std::all_of(kind.begin(), kind.end(), tagByte);
}

Kind kindAt(QByteArrayView bytes, qsizetype at)
{
    Kind kind {};
    std::copy_n(bytes.data() + at, kind.size(), kind.begin());
    return kind;
}

std::uint64_t lengthAt(QByteArrayView bytes, qsizetype at)
{
    return qFromLittleEndian<std::uint32_t>(bytes.data() + at + 4);
}

void addOnce(std::vector<Kind> &kinds, const Kind &kind)
{
    if (std::find(kinds.begin(), kinds.end(), kind) == kinds.end())
        kinds.push_back(kind);
}

// Calls `found` at each place in [from, to), in order, where a tag of ours begins, until it
// returns true (the place) or it has been called kMostTagsTried times: one pass over the bytes.
template <typename Found>
std::optional<qsizetype> firstTagAt(QByteArrayView bytes, qsizetype from, qsizetype to, Found found)
{
    const qsizetype last = std::min(to, bytes.size() - 3);
    int tried = 0;
    for (qsizetype at = from; at < last; ++at) {
        const char *p = bytes.data() + at;
        const bool ours = std::any_of(ourKinds().begin(), ourKinds().end(),
            [p](const Kind &kind) { return std::equal(kind.begin(), kind.end(), p); });
        if (!ours)
            continue;
        if (found(at))
            return at;
        if (++tried == kMostTagsTried)
            break;
    }
    return std::nullopt;
}

// What a header cut short by the end of the bytes was: the kind of ours its first bytes begin,
// when only one does.
std::optional<Kind> kindOfCutHeader(QByteArrayView bytes, qsizetype at)
{
    const qsizetype left = bytes.size() - at;
    if (left >= 4)
        return meantKind(kindAt(bytes, at));
    std::optional<Kind> found;
    for (const Kind &ours : ourKinds()) {
        if (!std::equal(bytes.data() + at, bytes.data() + bytes.size(), ours.begin()))
            continue;
        if (found)
            return std::nullopt;
        found = ours;
    }
    return found;
}

// Whether the headers from `at` follow one another to `end` exactly, or (`cutAllowed`) to a last
// section that the end of the bytes cuts short.
bool headersRun(QByteArrayView bytes, qsizetype at, qsizetype end, bool cutAllowed)
{
    for (int headers = 0; at < end; ++headers) {
        if (headers == kMostSections)
            return true;
        const qsizetype left = end - at;
        if (left < kHeaderSize) {
            if (!cutAllowed)
                return false;
            const qsizetype tagBytes = std::min<qsizetype>(left, 4);
            return std::all_of(bytes.data() + at, bytes.data() + at + tagBytes, tagByte)
                || kindOfCutHeader(bytes, at).has_value();
        }
        const Kind kind = kindAt(bytes, at);
        if (!looksLikeTag(kind) && !meantKind(kind))
            return false;
        const std::uint64_t length = lengthAt(bytes, at);
        if (length > std::uint64_t(left - kHeaderSize))
            return cutAllowed;
        at += kHeaderSize + qsizetype(length);
    }
    return at == end;
}

// Where the section at `at` ends, when its header can be one (a tag of four capitals or digits,
// or one of ours with a damaged byte) and its payload fits in the bytes.
std::optional<qsizetype> sectionEnd(QByteArrayView bytes, qsizetype at)
{
    const qsizetype left = bytes.size() - at;
    if (left < kHeaderSize)
        return std::nullopt;
    const Kind kind = kindAt(bytes, at);
    const std::uint64_t length = lengthAt(bytes, at);
    if ((!looksLikeTag(kind) && !meantKind(kind)) || length > std::uint64_t(left - kHeaderSize))
        return std::nullopt;
    return at + kHeaderSize + qsizetype(length);
}

// Whether a section can begin at `at`: the end of the bytes, a tag of ours or a whole header (a
// header damaged further on must not cost the sections before it), or a file cut short.
bool sectionFollows(QByteArrayView bytes, qsizetype at)
{
    return at == bytes.size() || (bytes.size() - at >= 4 && meantKind(kindAt(bytes, at))) || sectionEnd(bytes, at)
        || headersRun(bytes, at, bytes.size(), true);
}

// Whether a tag of ours stands inside [from, to) with headers from it that end exactly at `to`
// or run whole to the end of the bytes: the length before it grew over sections that are still
// whole.
bool swallowsSections(QByteArrayView bytes, qsizetype from, qsizetype to)
{
    return firstTagAt(bytes, from, to - 3, [&](qsizetype at) {
        return headersRun(bytes, at, to, false) || headersRun(bytes, at, bytes.size(), true);
    }).has_value();
}

// The first tag of ours at or after `from` where a section can be read again.
std::optional<qsizetype> nextSoundTag(QByteArrayView bytes, qsizetype from)
{
    return firstTagAt(bytes, from, bytes.size(), [&](qsizetype at) {
        const std::optional<qsizetype> end = sectionEnd(bytes, at);
        return (end && sectionFollows(bytes, *end)) || headersRun(bytes, at, bytes.size(), true);
    });
}

// Collects what a reading lost: a part of the game is named, the contents are not (they hold
// none), anything else is a damage that no known kind can tell.
struct Losses
{
    GameSectionsReading &reading;
    bool unknown = false;

    void lose(const std::optional<Kind> &kind)
    {
        if (!kind)
            unknown = true;
        else if (isPart(*kind))
            addOnce(reading.damaged, *kind);
    }
};

// One header listed by the contents.
struct ListedSection
{
    Kind kind;
    std::uint64_t length;
};

// The contents read as `count` headers after a contents tag, when they can be trusted: listing
// sections that fill the bytes exactly or run past their end (a file cut short), and agreeing
// with every header that still stands where they say but one at most, and with one at least.
std::optional<std::vector<ListedSection>> contentsOf(QByteArrayView bytes, qsizetype count)
{
    const qsizetype first = kHeaderSize + count * kHeaderSize;
    if (count <= 0 || first > bytes.size())
        return std::nullopt;
    std::vector<ListedSection> listed;
    std::uint64_t end = std::uint64_t(first);
    int agree = 0;
    int disagree = 0;
    for (qsizetype at = kHeaderSize; at < first; at += kHeaderSize) {
        const ListedSection section { kindAt(bytes, at), lengthAt(bytes, at) };
        if (!looksLikeTag(section.kind) || section.kind == kContentsSection)
            return std::nullopt;
        if (end + kHeaderSize <= std::uint64_t(bytes.size())) {
            const bool same
                = kindAt(bytes, qsizetype(end)) == section.kind && lengthAt(bytes, qsizetype(end)) == section.length;
            (same ? agree : disagree) += 1;
        }
        end += kHeaderSize + section.length;
        listed.push_back(section);
    }
    if (end < std::uint64_t(bytes.size()) || disagree > 1 || (disagree > 0 && agree == 0))
        return std::nullopt;
    return listed;
}

// The contents at the front of the bytes: as long as their header says, or, when that header
// is damaged, as many headers as agree with the sections that follow them.
std::optional<std::vector<ListedSection>> trustedContents(QByteArrayView bytes)
{
    if (bytes.size() < kHeaderSize || meantKind(kindAt(bytes, 0)) != kContentsSection)
        return std::nullopt;
    const std::uint64_t length = lengthAt(bytes, 0);
    if (kindAt(bytes, 0) == kContentsSection && length % kHeaderSize == 0
        && length <= std::uint64_t(kMostSections * kHeaderSize) && length <= std::uint64_t(bytes.size() - kHeaderSize))
        if (std::optional<std::vector<ListedSection>> listed = contentsOf(bytes, qsizetype(length / kHeaderSize)))
            return listed;
    for (qsizetype count = 1; count <= kMostSections && kHeaderSize + count * kHeaderSize <= bytes.size(); ++count) {
        if (!looksLikeTag(kindAt(bytes, count * kHeaderSize)))
            break;
        if (std::optional<std::vector<ListedSection>> listed = contentsOf(bytes, count))
            return listed;
    }
    return std::nullopt;
}

// Reads the sections where the contents say they stand: a header that disagrees loses its
// section alone, and a file cut short loses every listed section past the cut.
void readListed(QByteArrayView bytes, const std::vector<ListedSection> &listed, Losses &losses)
{
    std::uint64_t at = kHeaderSize + listed.size() * kHeaderSize;
    for (const ListedSection &section : listed) {
        const std::uint64_t end = at + kHeaderSize + section.length;
        const bool stands = end <= std::uint64_t(bytes.size()) && lengthAt(bytes, qsizetype(at)) == section.length;
        const Kind kind = stands ? kindAt(bytes, qsizetype(at)) : section.kind;
        // The header is right when it says what the contents say, or when it is one of ours and
        // the contents' copy of it is the damaged one.
        if (stands && (kind == section.kind || (kind == meantKind(section.kind) && isPart(kind)))) {
            losses.reading.sections.push_back(GameSection {
                kind, bytes.sliced(qsizetype(at) + kHeaderSize, qsizetype(section.length)).toByteArray() });
        } else {
            // A kind of a later program may have been anything.
            losses.lose(isPart(section.kind) ? std::optional<Kind>(section.kind) : std::nullopt);
        }
        at = end;
    }
}

// Reads the sections from header to header. A header that is damaged (its length runs past the
// end or into the middle of what follows, or over whole sections) loses its section, and the
// reading goes on at the next tag of ours from which the headers run whole.
void readWalking(QByteArrayView bytes, Losses &losses)
{
    qsizetype at = 0;
    for (int headers = 0; at < bytes.size(); ++headers) {
        const qsizetype left = bytes.size() - at;
        if (headers == kMostSections) {
            losses.lose(std::nullopt);
            break;
        }
        if (left < kHeaderSize) {
            losses.lose(kindOfCutHeader(bytes, at));
            break;
        }
        const Kind kind = kindAt(bytes, at);
        const std::optional<Kind> meant = meantKind(kind);
        const std::optional<qsizetype> end = sectionEnd(bytes, at);
        if (end && sectionFollows(bytes, *end) && !swallowsSections(bytes, at + kHeaderSize, *end)) {
            if (meant && *meant != kind)
                losses.lose(meant);
            else if (kind != kContentsSection)
                losses.reading.sections.push_back(
                    GameSection { kind, bytes.sliced(at, *end - at).sliced(kHeaderSize).toByteArray() });
            at = *end;
            continue;
        }
        // A section of a later program that runs past the end of a file cut short is lost too,
        // and may have been anything.
        losses.lose(meant);
        const std::optional<qsizetype> sound = nextSoundTag(bytes, at + 1);
        if (!sound)
            break;
        at = *sound;
    }
}

} // namespace

QByteArray encodeGameSections(const std::vector<GameSection> &sections)
{
    QByteArray bytes;
    if (sections.empty())
        return bytes;
    auto appendHeader = [&bytes](const Kind &kind, qsizetype length) {
        bytes.append(kind.data(), qsizetype(kind.size()));
        char le[4];
        qToLittleEndian<std::uint32_t>(std::uint32_t(length), le);
        bytes.append(le, 4);
    };
    appendHeader(kContentsSection, qsizetype(sections.size()) * kHeaderSize);
    for (const GameSection &section : sections)
        appendHeader(section.kind, section.payload.size());
    for (const GameSection &section : sections) {
        appendHeader(section.kind, section.payload.size());
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
        section.kind = kindAt(bytes, at);
        const std::uint64_t length = lengthAt(bytes, at);
        at += kHeaderSize;
        if (length > std::uint64_t(bytes.size() - at))
            break;
        section.payload = bytes.sliced(at, qsizetype(length)).toByteArray();
        at += qsizetype(length);
        if (section.kind != kContentsSection)
            sections.push_back(std::move(section));
    }
    return sections;
}

GameSectionsReading readGameSections(QByteArrayView bytes)
{
    GameSectionsReading reading;
    Losses losses { reading };
    if (const std::optional<std::vector<ListedSection>> listed = trustedContents(bytes))
        readListed(bytes, *listed, losses);
    else
        readWalking(bytes, losses);
    reading.damagedUnknown = losses.unknown && reading.damaged.empty();
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
