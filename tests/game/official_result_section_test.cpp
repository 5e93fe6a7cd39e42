#include "game/game_file.h"
#include "game/game_sections.h"
#include "game/result_section.h"
#include "model/model_test_support.h"
#include "support/test_data.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace mvx;
using mvx::testing::OrderedPlatform;
using mvx::testing::readBytes;
using mvx::testing::writeBytes;

namespace {

// 7 first, 2 and 9 tied second, 4 a non-runner, 18 the complément, one couplé gagnant rapport of
// 12.50 for the whole category.
OfficialResult smallResult()
{
    OfficialResult result;
    result.arrival = { { 7 }, { 2, 9 } };
    result.nonRunners = { 4 };
    result.complement = 18;
    result.rapports = { Rapport { ResultCategory::CoupleWinner, {}, 12.5 } };
    return result;
}

// The same result spelled out byte by byte.
const QByteArray kSmallPayload("\x01"
                               "\x02\x01\x07\x02\x02\x09"
                               "\x01\x04"
                               "\x12"
                               "\x01\x00"
                               "\x0b\x00\x00\x00\x00\x00\x00\x00\x29\x40",
    22);

OfficialResult fullResult()
{
    OfficialResult result;
    result.arrival = { { 7 }, { 13 }, { 2, 9 }, { 20 } };
    result.nonRunners = { 4, 16 };
    result.rapports = {
        Rapport { ResultCategory::TierceInOrder, { 7, 13, 2 }, 120.5 },
        Rapport { ResultCategory::TierceInOrder, { 7, 13, 9 }, 98.3 },
        Rapport { ResultCategory::TierceOneNonRunner, { 7, 13, kNonRunnerMark }, 20.1 },
    };
    return result;
}

class ResultSection : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        page.source = TicketSource::CatalogueSystem;
        page.systemNumber = 12;
        page.boxes = mvx::testing::selectionBoxes({ "5", "8", "11" });
    }
    QString file(const char *name) const { return dir.filePath(QString::fromUtf8(name)); }
    void save(const QString &name)
    {
        platform.fileNames.push_back(name);
        saveGame(state, page, platform);
    }
    std::optional<TicketRecipe> load(const QString &name)
    {
        platform.fileNames.push_back(name);
        return loadGame(state, page, platform);
    }

    QTemporaryDir dir;
    GameState state;
    OrderedPlatform platform;
    TicketRecipe page;
};

} // namespace

TEST_F(ResultSection, AGameKeepsItsOfficialResultAndAGameWithoutOneKeepsItsBytes)
{
    EXPECT_EQ(encodeOfficialResult(smallResult()), kSmallPayload);
    EXPECT_EQ(decodeOfficialResult(kSmallPayload), smallResult());
    // Rapports for 1 €: version 2 ending with the base byte 1 and the runners not known (0); the
    // quinté+'s own non-runner rapport kept.
    OfficialResult perEuro = smallResult();
    perEuro.rapportsPerEuro = true;
    perEuro.rapports.push_back(Rapport { ResultCategory::QuinteOneNonRunner, { 7, 2, 9, 5, kNonRunnerMark }, 20.4 });
    const QByteArray perEuroBytes = encodeOfficialResult(perEuro);
    EXPECT_EQ(perEuroBytes.front(), '\x02');
    EXPECT_EQ(perEuroBytes.right(2), QByteArray("\x01\x00", 2));
    EXPECT_EQ(decodeOfficialResult(perEuroBytes), perEuro);
    EXPECT_FALSE(decodeOfficialResult(perEuroBytes.chopped(1))) << "version 2 without its last byte";

    // Without a result the game is the record alone, as before results were kept.
    save(file("sans.mvx"));
    const QByteArray without = readBytes(file("sans.mvx"));
    ASSERT_EQ(without.size(), kGameRecordSize);
    EXPECT_EQ(without, encodeGameRecord(state.gameFileRecord));

    state.officialResult = std::make_shared<const OfficialResult>(fullResult());
    save(file("avec.mvx"));
    const QByteArray with = readBytes(file("avec.mvx"));
    EXPECT_EQ(with.left(kGameRecordSize), without);
    const std::vector<GameSection> sections = decodeGameSections(QByteArrayView(with).sliced(kGameRecordSize));
    ASSERT_EQ(sections.size(), 1u);
    EXPECT_EQ(QByteArray(sections[0].kind.data(), 4), QByteArray("RSLT"));

    // Reopened into a program that holds another result, or none.
    state.officialResult = std::make_shared<const OfficialResult>(smallResult());
    ASSERT_TRUE(load(file("avec.mvx")));
    ASSERT_TRUE(state.officialResult);
    EXPECT_EQ(*state.officialResult, fullResult());
    // A game saved without one leaves none in hand.
    ASSERT_TRUE(load(file("sans.mvx")));
    EXPECT_FALSE(state.officialResult);
    EXPECT_TRUE(platform.events.isEmpty()) << platform.events.join(QLatin1Char('\n')).toStdString();
}

TEST_F(ResultSection, ADamagedResultIsReportedAndTheGameLoadsWithoutIt)
{
    // Every shorter payload is cut short, and a longer one has bytes too many.
    for (qsizetype size = 0; size < kSmallPayload.size(); ++size)
        EXPECT_FALSE(decodeOfficialResult(kSmallPayload.left(size))) << size;
    EXPECT_FALSE(decodeOfficialResult(kSmallPayload + '\0'));
    auto changed = [](int at, char value) {
        QByteArray bytes = kSmallPayload;
        bytes[at] = value;
        return bytes;
    };
    EXPECT_FALSE(decodeOfficialResult(changed(0, 2))); // another version
    EXPECT_FALSE(decodeOfficialResult(changed(3, 21))); // no such horse
    EXPECT_FALSE(decodeOfficialResult(changed(5, 7))); // 7 twice in the arrival
    EXPECT_FALSE(decodeOfficialResult(changed(8, 9))); // a non-runner that finished
    EXPECT_FALSE(decodeOfficialResult(changed(12, 19))); // "Remboursé" has no rapport
    EXPECT_FALSE(decodeOfficialResult(changed(13, 1))); // a couplé of one horse
    EXPECT_FALSE(decodeOfficialResult(changed(21, char(0xc0)))); // a negative amount
    QByteArray notANumber = kSmallPayload;
    notANumber.replace(14, 8, QByteArray("\x00\x00\x00\x00\x00\x00\xf8\x7f", 8));
    EXPECT_FALSE(decodeOfficialResult(notANumber));

    // A section this copy does not know comes first and is skipped; the damaged result is told.
    const QByteArray record = encodeGameRecord(GameFileRecord { { 3, 'M', 'V', '+' }, 1, 12 });
    writeBytes(file("abime.mvx"),
        record
            + encodeGameSections({ GameSection { { 'X', 'Y', 'Z', 'W' }, "??" },
                GameSection { kOfficialResultSection, changed(5, 7) } }));
    state.officialResult = std::make_shared<const OfficialResult>(smallResult());
    const std::optional<TicketRecipe> loaded = load(file("abime.mvx"));
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->systemNumber, 12);
    EXPECT_FALSE(state.officialResult);
    EXPECT_EQ(platform.events,
        QStringList({ "Problème !!: Le résultat officiel enregistré dans ce fichier n'est pas valable : le jeu est "
                      "chargé sans résultat officiel." }));

    platform.events.clear();
    writeBytes(file("bon.mvx"),
        record
            + encodeGameSections({ GameSection { { 'X', 'Y', 'Z', 'W' }, "??" },
                GameSection { kOfficialResultSection, kSmallPayload } }));
    ASSERT_TRUE(load(file("bon.mvx")));
    ASSERT_TRUE(state.officialResult);
    EXPECT_EQ(*state.officialResult, smallResult());
    EXPECT_TRUE(platform.events.isEmpty());
}

TEST_F(ResultSection, TheNumberOfRunnersIsKeptBesideTheArrival)
{
    OfficialResult result = fullResult();
    result.runners = 14;
    result.rapports.push_back(Rapport { ResultCategory::TwoOfFour, { 7, 20 }, 4.1 });
    state.officialResult = std::make_shared<const OfficialResult>(result);
    save(file("partants.mvx"));
    state.officialResult.reset();
    ASSERT_TRUE(load(file("partants.mvx")));
    ASSERT_TRUE(state.officialResult);
    EXPECT_EQ(state.officialResult->runners, 14);
    EXPECT_EQ(*state.officialResult, result);

    // The known number ends the payload: cut off, or beyond the horses of a race, it is refused.
    const QByteArray payload = encodeOfficialResult(result);
    EXPECT_FALSE(decodeOfficialResult(payload.chopped(1)));
    QByteArray tooMany = payload;
    tooMany[tooMany.size() - 1] = char(21);
    EXPECT_FALSE(decodeOfficialResult(tooMany));
    // Fewer runners than horses classified is no result.
    QByteArray tooFew = payload;
    tooFew[tooFew.size() - 1] = char(4);
    EXPECT_FALSE(decodeOfficialResult(tooFew));
}
