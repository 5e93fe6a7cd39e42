#include "combi/own_system.h"
#include "game/game_sections.h"
#include "model/model_test_support.h"

#include <gtest/gtest.h>

using namespace mvx;
using mvx::testing::littleEndian;

namespace {

// One section spelled out by hand: kind, little-endian length, payload.
QByteArray section(const char *kind, const QByteArray &payload)
{
    return QByteArray(kind, 4) + littleEndian({ std::int32_t(payload.size()) }) + payload;
}

// The own-system payload of 5 horses, 4 per ticket, 1 base, T = 4: the complete game, every
// row needed.
QByteArray ownPayload(const QByteArray &rows, std::int32_t rowCount)
{
    return QByteArray("\x01\x05\x04\x01\x04\x00", 6) + littleEndian({ rowCount }) + rows;
}

const QByteArray kRows("\x01\x02\x03\x04"
                       "\x01\x02\x03\x05"
                       "\x01\x02\x04\x05"
                       "\x01\x03\x04\x05",
    16);

} // namespace

TEST(GameSections, UnknownKindsAreSkippedAndATruncatedSectionEndsTheReading)
{
    const QByteArray own = ownPayload(kRows, 4);
    const QByteArray bytes = section("ABCD", "later") + section("MSYS", own) + section("COND", "xyz");
    // The contents first: each section's header, in order.
    const QByteArray contents = section("SOMM",
        QByteArray("ABCD", 4) + littleEndian({ 5 }) + QByteArray("MSYS", 4) + littleEndian({ std::int32_t(own.size()) })
            + QByteArray("COND", 4) + littleEndian({ 3 }));
    EXPECT_EQ(encodeGameSections({ { { 'A', 'B', 'C', 'D' }, "later" }, { kOwnSystemSection, own },
                  { { 'C', 'O', 'N', 'D' }, "xyz" } }),
        contents + bytes);
    EXPECT_EQ(decodeGameSections(contents + bytes).size(), 3u) << "the contents are not a section of the game";

    const std::vector<GameSection> all = decodeGameSections(bytes);
    ASSERT_EQ(all.size(), 3u);
    const QByteArray *found = findGameSection(all, kOwnSystemSection);
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(*found, own);

    // Cut inside the last payload, then inside a header: what came before is kept.
    EXPECT_EQ(decodeGameSections(QByteArrayView(bytes).chopped(1)).size(), 2u);
    EXPECT_EQ(decodeGameSections(QByteArrayView(bytes).first(section("ABCD", "later").size() + 5)).size(), 1u);
    // A length past the end, however large, reads nothing of that section.
    EXPECT_TRUE(decodeGameSections(QByteArray("MSYS\xff\xff\xff\xff", 8) + own).empty());
    EXPECT_TRUE(decodeGameSections({}).empty());
}

TEST(GameSections, OwnSystemPayloadIsCheckedFieldByField)
{
    bool dropped = true;
    const std::optional<OwnSystem> own = decodeOwnSystem(ownPayload(kRows, 4), &dropped);
    ASSERT_TRUE(own);
    EXPECT_FALSE(dropped);
    EXPECT_EQ(own->rows.size(), 4u);
    EXPECT_EQ(own->rows[1], (std::vector<int> { 1, 2, 3, 5 }));
    EXPECT_EQ(encodeOwnSystem(*own), ownPayload(kRows, 4));

    // A request without a table is a request.
    const std::optional<OwnSystem> empty = decodeOwnSystem(ownPayload({}, 0));
    ASSERT_TRUE(empty);
    EXPECT_FALSE(empty->hasTable());

    // A row count that disagrees with the bytes, an unknown version, a request the tab cannot
    // make (k > n): the section is refused.
    EXPECT_FALSE(decodeOwnSystem(ownPayload(kRows, 3)));
    EXPECT_FALSE(decodeOwnSystem(ownPayload(kRows, 5)));
    QByteArray version = ownPayload(kRows, 4);
    version[0] = 3;
    EXPECT_FALSE(decodeOwnSystem(version));
    QByteArray tooFew = ownPayload(kRows, 4);
    tooFew[1] = 3;
    EXPECT_FALSE(decodeOwnSystem(tooFew));

    // Rows that miss an arrival, hold a horse past n or leave out the base: the table goes.
    for (const QByteArray &rows : { kRows.left(12) + QByteArray("\x01\x02\x03\x04", 4),
             kRows.left(12) + QByteArray("\x01\x03\x04\x06", 4), kRows.left(12) + QByteArray("\x02\x03\x04\x05", 4) }) {
        const std::optional<OwnSystem> wrong = decodeOwnSystem(ownPayload(rows, 4), &dropped);
        ASSERT_TRUE(wrong);
        EXPECT_TRUE(dropped);
        EXPECT_FALSE(wrong->hasTable());
    }
}

// A promise about the first M > T: written as version 2 with M after T, read back whole; M that
// is not above T or past the horses is damage, and a table that misses a triple is dropped.
TEST(GameSections, OwnSystemKeepsThePromiseAboutTheFirstM)
{
    // Five horses, pairs, two of the first three: the pairs inside {1, 2} and {3, 4, 5}.
    OwnSystem pairs;
    pairs.request = SystemRequest { 5, 2, 0, 2, 3 };
    pairs.rows = { { 1, 2 }, { 3, 4 }, { 3, 5 }, { 4, 5 } };
    const QByteArray bytes = encodeOwnSystem(pairs);
    EXPECT_EQ(bytes,
        QByteArray("\x02\x05\x02\x00\x02\x03\x00", 7) + littleEndian({ 4 })
            + QByteArray("\x01\x02\x03\x04\x03\x05\x04\x05", 8));
    bool dropped = true;
    const std::optional<OwnSystem> read = decodeOwnSystem(bytes, &dropped);
    ASSERT_TRUE(read);
    EXPECT_FALSE(dropped);
    EXPECT_EQ(promiseSize(read->request), 3);
    EXPECT_EQ(read->rows, pairs.rows);

    // M = T is the first T, written as it always was.
    OwnSystem plain = pairs;
    plain.request.among = 2;
    plain.rows.clear();
    EXPECT_EQ(encodeOwnSystem(plain).at(0), '\x01');
    EXPECT_EQ(encodeOwnSystem(plain).size(), 10);

    for (char among : { '\x02', '\x01', '\x06' }) {
        QByteArray damaged = bytes;
        damaged[5] = among;
        EXPECT_FALSE(decodeOwnSystem(damaged)) << int(among);
    }
    // Without the pair {3, 4}, the arrival 1-3-4 holds no pair of a ticket.
    QByteArray missing = bytes;
    missing[13] = '\x05';
    const std::optional<OwnSystem> wrong = decodeOwnSystem(missing, &dropped);
    ASSERT_TRUE(wrong);
    EXPECT_TRUE(dropped);
}
