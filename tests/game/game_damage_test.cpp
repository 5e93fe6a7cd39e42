#include "arrival/official_result.h"
#include "combi/own_system.h"
#include "combi/ticket_conditions.h"
#include "game/game_file.h"
#include "game/game_sections.h"
#include "model/model_test_support.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

using namespace mvx;
using mvx::testing::OrderedPlatform;
using mvx::testing::readBytes;
using mvx::testing::writeBytes;

namespace {

// The four parts a game can hold beside its record, in the order a message names them.
enum Part
{
    OwnTable,
    Share,
    Conditions,
    Result,
    PartCount
};

// How a message names a part: in the one message for a damaged file, or in the part's own
// message when it was read whole but is not usable.
bool names(const QString &message, Part part)
{
    static const char *const phrases[PartCount][2] = {
        { "le système personnel", "Le système enregistré" },
        { "la part des arrivées garantie", "La part des arrivées garantie enregistrée" },
        { "les conditions", "Les conditions enregistrées" },
        { "le résultat officiel", "Le résultat officiel enregistré" },
    };
    return message.count(QString::fromUtf8(phrases[part][0])) + message.count(QString::fromUtf8(phrases[part][1])) > 0;
}

OfficialResult raceResult()
{
    OfficialResult result;
    result.arrival = { { 7 }, { 2, 9 } };
    result.nonRunners = { 4 };
    result.complement = 18;
    result.rapports = { Rapport { ResultCategory::CoupleWinner, {}, 12.5 } };
    return result;
}

// A game of the own-system tab holding every known section: the table (from the library, so
// that its share section is written too), conditions and the official result.
class GameDamage : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        page.source = TicketSource::OwnSystem;
        page.ownSystem.request = { 5, 4, 1, 4 };
        page.ownSystem.rows = { { 1, 2, 3, 4 }, { 1, 2, 3, 5 }, { 1, 2, 4, 5 }, { 1, 3, 4, 5 } };
        page.ownSystem.origin = OwnTableOrigin::Library;
        page.conditions.groups.push_back(ConditionGroup { QStringLiteral("FAVORIS"), (1u << 3) | (1u << 7), 1, 2 });
        page.boxes = mvx::testing::selectionBoxes({ "3", "7", "9", "12", "14" });
        state.officialResult = std::make_shared<const OfficialResult>(raceResult());
        platform.fileNames.push_back(dir.filePath(QStringLiteral("entier.mvx")));
        saveGame(state, page, platform);
        whole = readBytes(dir.filePath(QStringLiteral("entier.mvx")));
        // The headers in file order: the contents, then one per section.
        for (qsizetype at = kGameRecordSize; at < whole.size();
             at += 8 + qFromLittleEndian<std::uint32_t>(whole.constData() + at + 4))
            headers.push_back(at);
        ASSERT_EQ(headers.size(), 5u);
        ASSERT_EQ(whole.mid(headers[0], 4), QByteArray("SOMM"));
    }

    // Loads the bytes: which parts came back whole, and the messages. A part that comes back at
    // all must come back as it was saved.
    std::array<bool, PartCount> load(const QByteArray &bytes, QString &messages)
    {
        const QString name = dir.filePath(QStringLiteral("abime.mvx"));
        writeBytes(name, bytes);
        platform.events.clear();
        platform.fileNames.push_back(name);
        state.officialResult.reset();
        const std::optional<TicketRecipe> loaded = loadGame(state, TicketRecipe {}, platform);
        messages = platform.events.join(QLatin1Char('\n'));
        std::array<bool, PartCount> back {};
        if (!loaded) {
            ADD_FAILURE() << "a damaged section never refuses the game";
            return back;
        }
        EXPECT_EQ(loaded->source, TicketSource::OwnSystem);
        EXPECT_EQ(loaded->ownSystem.request.horses, 5);
        EXPECT_EQ(loaded->boxes[4], QStringLiteral("14"));
        back[OwnTable] = loaded->ownSystem.rows == page.ownSystem.rows;
        EXPECT_TRUE(back[OwnTable] || !loaded->ownSystem.hasTable()) << "a damaged table was loaded";
        back[Share] = back[OwnTable] && loaded->ownSystem.origin == OwnTableOrigin::Library;
        back[Conditions] = loaded->conditions == page.conditions;
        EXPECT_TRUE(back[Conditions] || loaded->conditions.isEmpty()) << "damaged conditions were loaded";
        back[Result] = state.officialResult && *state.officialResult == raceResult();
        EXPECT_TRUE(back[Result] || !state.officialResult) << "a damaged result was loaded";
        return back;
    }

    // Every part that did not come back is named, once, in one message; none that did is named;
    // `mayLose` says which parts the damage could cost.
    void expectNamed(const QByteArray &bytes, const std::array<bool, PartCount> &mayLose, bool unnamedAllowed = false)
    {
        QString messages;
        const std::array<bool, PartCount> back = load(bytes, messages);
        EXPECT_LE(platform.events.size(), 1) << messages.toStdString();
        for (int part = 0; part < PartCount; ++part) {
            SCOPED_TRACE(part);
            // The share is the table's: without the table, whether it is named says nothing.
            if (part == Share && !back[OwnTable])
                continue;
            if (back[std::size_t(part)]) {
                EXPECT_FALSE(names(messages, Part(part))) << messages.toStdString();
                continue;
            }
            EXPECT_TRUE(mayLose[std::size_t(part)]) << messages.toStdString();
            EXPECT_TRUE(unnamedAllowed || names(messages, Part(part))) << messages.toStdString();
        }
    }

    // Thousands of loads: in memory when the machine has a tmpfs there.
    QTemporaryDir dir { QFileInfo(QStringLiteral("/dev/shm")).isWritable()
            ? QStringLiteral("/dev/shm/marovellix-test-XXXXXX")
            : QDir::tempPath() + QStringLiteral("/marovellix-test-XXXXXX") };
    GameState state;
    OrderedPlatform platform;
    TicketRecipe page;
    QByteArray whole;
    std::vector<qsizetype> headers;
};

} // namespace

TEST_F(GameDamage, EveryCutNamesWhatIsMissingAndLoadsWhatCameBefore)
{
    QString messages;
    const std::array<bool, PartCount> all = load(whole, messages);
    EXPECT_EQ(all, (std::array<bool, PartCount> { true, true, true, true })) << messages.toStdString();
    EXPECT_TRUE(messages.isEmpty()) << messages.toStdString();

    const qsizetype contentsEnd = headers[1];
    for (qsizetype size = kGameRecordSize; size < whole.size(); ++size) {
        SCOPED_TRACE(size);
        // Parts whose section ends at or before the cut are whole; the share needs the table.
        std::array<bool, PartCount> mayLose {};
        for (int part = 0; part < PartCount; ++part) {
            const qsizetype end
                = std::size_t(part) + 2 < headers.size() ? headers[std::size_t(part) + 2] : whole.size();
            mayLose[std::size_t(part)] = size < end;
        }
        mayLose[Share] = mayLose[Share] || mayLose[OwnTable];
        // Cut before the contents end, only the record's own-system game says what was there.
        expectNamed(whole.first(size), mayLose, size < contentsEnd);
        if (size < contentsEnd) {
            QString said;
            load(whole.first(size), said);
            EXPECT_TRUE(names(said, OwnTable)) << said.toStdString();
        }
    }
}

TEST_F(GameDamage, EveryChangedHeaderByteCostsItsOwnSectionAtMost)
{
    // With the contents, then as a game written before them: the headers alone.
    const QByteArray older = whole.first(kGameRecordSize) + whole.sliced(headers[1]);
    const qsizetype shift = headers[1] - kGameRecordSize;
    for (const bool withContents : { true, false }) {
        const QByteArray &bytes = withContents ? whole : older;
        for (std::size_t h = withContents ? 0 : 1; h < headers.size(); ++h) {
            const qsizetype header = headers[h] - (withContents ? 0 : shift);
            std::array<bool, PartCount> mayLose {};
            if (h > 0)
                mayLose[h - 1] = true;
            // The table checked without its share still keeps the guarantee, but not its origin.
            for (qsizetype b = 0; b < 8; ++b) {
                // The values a disk or a copy most often leaves; every value of every byte is
                // tried on the reading alone below.
                const auto original = std::uint8_t(bytes[header + b]);
                std::vector<int> values { 0, 1, 0x20, 0x41, 0x7f, 0x80, 0xff, original ^ 0x40, original + 1,
                    original - 1 };
                // Every value of the low length byte, where a length lands inside a payload that the
                // part's own checks must then refuse.
                if (b == 4)
                    for (int value = 0; value < 256; ++value)
                        values.push_back(value);
                for (int value : values) {
                    if (std::uint8_t(value) == original)
                        continue;
                    SCOPED_TRACE(
                        ::testing::Message() << withContents << " header " << h << " byte " << b << " = " << value);
                    QByteArray changed = bytes;
                    changed[header + b] = char(value);
                    expectNamed(changed, mayLose);
                    if (::testing::Test::HasFailure())
                        return;
                }
            }
        }
    }
}

TEST_F(GameDamage, ALaterKindWhoseLengthGrewDoesNotSwallowTheSectionsAfterIt)
{
    // An older file with a section of a later program before the conditions; its length grows.
    const QByteArray older = whole.first(kGameRecordSize) + whole.sliced(headers[1]);
    const qsizetype shift = headers[1] - kGameRecordSize;
    const qsizetype conditions = headers[3] - shift;
    const QByteArray later = QByteArray("ABCD", 4) + mvx::testing::littleEndian({ 6 }) + "suite.";
    const QByteArray withLater = older.first(conditions) + later + older.sliced(conditions);
    QString messages;
    EXPECT_EQ(load(withLater, messages), (std::array<bool, PartCount> { true, true, true, true }));
    EXPECT_TRUE(messages.isEmpty()) << messages.toStdString();
    for (int grown : { 1, 7, 8 + 20, 200, 70000 }) {
        SCOPED_TRACE(grown);
        QByteArray changed = withLater;
        changed.replace(conditions + 4, 4, mvx::testing::littleEndian({ 6 + grown }));
        expectNamed(changed, {});
    }
}

// The reading itself, for every value of every header byte: every other section is read as it
// was written, and the changed header's section is named or read (with a length that lands
// inside its payload, its own checks refuse it when the game loads, tried above).
TEST_F(GameDamage, EveryValueOfEveryHeaderByteLosesOnlyThatHeadersSection)
{
    const QByteArray sections = whole.sliced(kGameRecordSize);
    const std::vector<GameSection> written = decodeGameSections(sections);
    ASSERT_EQ(written.size(), 4u);
    const qsizetype contentsSize = headers[1] - headers[0];
    for (const bool withContents : { true, false }) {
        const QByteArray bytes = withContents ? sections : sections.sliced(contentsSize);
        for (std::size_t h = withContents ? 0 : 1; h < headers.size(); ++h) {
            const qsizetype header = headers[h] - kGameRecordSize - (withContents ? 0 : contentsSize);
            for (qsizetype b = 0; b < 8; ++b)
                for (int value = 0; value < 256; ++value) {
                    QByteArray changed = bytes;
                    changed[header + b] = char(value);
                    const GameSectionsReading reading = readGameSections(changed);
                    SCOPED_TRACE(
                        ::testing::Message() << withContents << " header " << h << " byte " << b << " = " << value);
                    // Bytes no kind can tell are only ever what a changed length landed on.
                    EXPECT_TRUE(
                        !reading.damagedUnknown || (h > 0 && findGameSection(reading.sections, written[h - 1].kind)));
                    for (const GameSection &original : written) {
                        const QByteArray *read = findGameSection(reading.sections, original.kind);
                        const bool named = std::find(reading.damaged.begin(), reading.damaged.end(), original.kind)
                            != reading.damaged.end();
                        EXPECT_NE(read != nullptr, named);
                        const bool changedOne = h > 0 && original.kind == written[h - 1].kind;
                        if (!changedOne) {
                            EXPECT_TRUE(read && *read == original.payload);
                        }
                    }
                    if (::testing::Test::HasFailure())
                        return;
                }
        }
    }
}
