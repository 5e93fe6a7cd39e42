#include "combi/catalogue.h"
#include "combi/own_system.h"
#include "combi/ticket_conditions.h"
#include "game/game_file.h"
#include "model/model_test_support.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

#include <climits>

using namespace mvx;
using mvx::testing::littleEndian;
using mvx::testing::OrderedPlatform;
using mvx::testing::readBytes;
using mvx::testing::writeBytes;

namespace {

const QByteArray kTag("\x03MV+", 4);

SelectionBoxes boxes(std::initializer_list<const char *> texts)
{
    return mvx::testing::selectionBoxes(texts);
}

// A game file spelled out field by field.
QByteArray gameFile(std::int32_t mode, std::int32_t system, std::int32_t combine, std::int32_t ticket,
    std::int32_t base, std::int32_t reduced, std::initializer_list<std::int32_t> horses)
{
    QByteArray bytes = kTag + littleEndian({ mode, system, combine, ticket, base, reduced });
    std::array<std::int32_t, 20> all {};
    std::copy(horses.begin(), horses.end(), all.begin());
    for (std::int32_t h : all)
        bytes += littleEndian({ h });
    return bytes;
}

bool sameGenerator(const GeneratorSettings &a, const GeneratorSettings &b)
{
    return a.horsesToCombine == b.horsesToCombine && a.horsesPerTicket == b.horsesPerTicket
        && a.bases.baseCount == b.bases.baseCount && a.bases.positions == b.bases.positions && a.reduced == b.reduced;
}

class GameFile : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    QString file(const char *name) const { return dir.filePath(QString::fromUtf8(name)); }

    std::optional<TicketRecipe> load(const QString &name)
    {
        platform.fileNames.push_back(name);
        return loadGame(state, current, platform);
    }
    void save(const TicketRecipe &page, const QString &name)
    {
        platform.fileNames.push_back(name);
        saveGame(state, page, platform);
    }

    QTemporaryDir dir;
    GameState state;
    OrderedPlatform platform;
    TicketRecipe current; // what the page shows before a load
};

} // namespace

TEST_F(GameFile, AReducedSystemIsSavedAsTheTableSaysAndReloadsIntoTheFirstBoxes)
{
    // Fields a reduced system does not use keep what an earlier save left in the record.
    state.gameFileRecord.combineIndex = 6;
    state.gameFileRecord.reducedFlag = 1;
    state.selection.otherHorses[4] = 17; // from an earlier reading

    TicketRecipe page;
    page.source = TicketSource::CatalogueSystem;
    page.systemNumber = 12;
    page.boxes = boxes({ "5", "8", "", "11" });
    save(page, file("jeu.mvx"));

    ASSERT_EQ(platform.fileDialogs.size(), 1u);
    const Platform::FileDialog &asked = platform.fileDialogs[0];
    EXPECT_EQ(asked.title, "Indiquer le nom du fichier à enregistrer");
    EXPECT_EQ(asked.filter, "Marovellix+ (*.mvx)|*.mvx");
    EXPECT_EQ(asked.defaultExtension, "mvx");
    EXPECT_TRUE(asked.proposedName.isEmpty());
    EXPECT_TRUE(asked.pathMustExist);
    EXPECT_FALSE(asked.fileMustExist);
    EXPECT_TRUE(platform.events.isEmpty()) << "no question for a new file, no failure";

    // System 12: 9 horses, no base. The numbers are packed, the empty box skipped; the
    // selection is read afresh, so nothing of the earlier reading follows 11.
    const QByteArray expected = gameFile(1, 12, 6, 9, 0, 1, { 5, 8, 11 });
    ASSERT_EQ(expected.size(), 108);
    EXPECT_EQ(readBytes(file("jeu.mvx")).toHex(' '), expected.toHex(' '));
    EXPECT_EQ(state.selection.otherHorses[3], 11);
    EXPECT_EQ(state.selection.otherHorses[4], 0);
    EXPECT_EQ(QFileInfo(file("jeu.mvx")).permissions() & QFileDevice::ReadOther, QFileDevice::ReadOther)
        << "a new game file gets the usual permissions";

    // Reloaded over a page on the generator tab showing other numbers.
    current.source = TicketSource::Generator;
    current.systemNumber = 3;
    current.generator.horsesToCombine = 7;
    current.boxes.fill(QStringLiteral("1"));
    const std::optional<TicketRecipe> loaded = load(file("jeu.mvx"));
    ASSERT_TRUE(loaded);
    const Platform::FileDialog &open = platform.fileDialogs.back();
    EXPECT_EQ(open.title, "Sélectionnez le fichier à charger");
    EXPECT_EQ(open.filter, "Marovellix+ (*.mvx)|*.mvx");
    EXPECT_EQ(open.defaultExtension, "mvx");
    EXPECT_EQ(open.proposedName, "*.mvx");
    EXPECT_TRUE(open.pathMustExist);
    EXPECT_TRUE(open.fileMustExist);
    EXPECT_TRUE(platform.events.isEmpty());

    EXPECT_EQ(loaded->source, TicketSource::CatalogueSystem);
    EXPECT_EQ(loaded->systemNumber, 12);
    EXPECT_EQ(loaded->boxes, boxes({ "5", "8", "11" }));
    EXPECT_TRUE(sameGenerator(loaded->generator, current.generator)) << "the generator tab is not touched";
}

TEST_F(GameFile, AGeneratorGameWithTwoBasesReloadsItsSettingsButNotTheBasePositions)
{
    state.gameFileRecord.systemNumber = 12; // from an earlier save

    TicketRecipe page;
    page.source = TicketSource::Generator;
    page.systemNumber = 5;
    page.generator.horsesToCombine = 6;
    page.generator.horsesPerTicket = 4;
    page.generator.bases = { 2, { 1, 3, 3 } };
    page.generator.reduced = false;
    page.boxes = boxes({ "3", "7", "12", "1", "9", "14" });
    save(page, file("gen.mvx"));

    EXPECT_EQ(readBytes(file("gen.mvx")).toHex(' '), gameFile(2, 12, 5, 3, 2, 0, { 3, 7, 12, 1, 9, 14 }).toHex(' '));
    EXPECT_EQ(state.selection.baseHorses[1], 3);
    EXPECT_EQ(state.selection.baseHorses[2], 7);
    EXPECT_EQ(state.selection.otherHorses[1], 12);
    EXPECT_EQ(state.selection.otherHorses[4], 14);

    current.source = TicketSource::CatalogueSystem;
    current.systemNumber = 40;
    current.generator.bases = { 0, { 2, 4, 5 } };
    const std::optional<TicketRecipe> loaded = load(file("gen.mvx"));
    ASSERT_TRUE(loaded);
    EXPECT_NE(loaded->source, TicketSource::CatalogueSystem);
    EXPECT_EQ(loaded->systemNumber, 40) << "the system list is not touched";
    EXPECT_EQ(loaded->generator.horsesToCombine, 6);
    EXPECT_EQ(loaded->generator.horsesPerTicket, 4);
    EXPECT_EQ(loaded->generator.bases.baseCount, 2);
    EXPECT_EQ(loaded->generator.bases.positions, (std::array<int, 3> { 2, 4, 5 }));
    EXPECT_FALSE(loaded->generator.reduced);
    EXPECT_EQ(loaded->boxes, page.boxes);
}

TEST_F(GameFile, ReplacingAFileIsAskedFirstAndCancellingWritesNothing)
{
    writeBytes(file("old.mvx"), "ancien");
    TicketRecipe page;
    page.systemNumber = 2;
    page.boxes = boxes({ "4", "9" });
    const GameFileRecord before = state.gameFileRecord;

    save(page, file("old.mvx")); // the scripted answer is No
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].text, "Continuer quand même ?");
    EXPECT_EQ(platform.messages[0].title, "Fichier existant !!");
    EXPECT_EQ(platform.messages[0].buttons, Platform::Buttons::YesNo);
    EXPECT_EQ(readBytes(file("old.mvx")), "ancien");
    EXPECT_EQ(encodeGameRecord(state.gameFileRecord), encodeGameRecord(before)) << "a refused save fills nothing";

    platform.answers.push_back(Platform::Answer::Yes);
    save(page, file("old.mvx"));
    EXPECT_EQ(platform.beeps, 0);
    EXPECT_EQ(readBytes(file("old.mvx")), gameFile(1, 2, 0, 6, 0, 0, { 4, 9 }));

    // A cancelled dialog: no question, no file.
    platform.messages.clear();
    saveGame(state, page, platform);
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList { "old.mvx" });
}

TEST_F(GameFile, AFailedSaveBeepsReportsAndKeepsWhatWasThere)
{
    TicketRecipe page;
    page.systemNumber = 7;
    page.boxes = boxes({ "1", "2", "3" });

    // A folder under the chosen name cannot be replaced by a file.
    ASSERT_TRUE(QDir(dir.path()).mkdir("dossier.mvx"));
    platform.answers.push_back(Platform::Answer::Yes);
    save(page, file("dossier.mvx"));
    EXPECT_EQ(platform.events,
        QStringList { "Fichier existant !!: Continuer quand même ?" } + mvx::testing::notSavedEvents());
    EXPECT_TRUE(QFileInfo(file("dossier.mvx")).isDir());

    // A folder that does not exist.
    platform.events.clear();
    save(page, file("absent/jeu.mvx"));
    EXPECT_EQ(platform.events, mvx::testing::notSavedEvents());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList {});
}

TEST_F(GameFile, RefusedLoadsSayWhyAndChangeNothingButTheRecord)
{
    state.gameFileRecord.gameMode = 2;
    state.gameFileRecord.combineIndex = 4;
    const QByteArray before = encodeGameRecord(state.gameFileRecord);

    EXPECT_FALSE(loadGame(state, current, platform)) << "cancelled";
    EXPECT_TRUE(platform.events.isEmpty());

    EXPECT_FALSE(load(file("absent.mvx")));
    EXPECT_EQ(platform.events.takeLast(), "Problème !!: Fichier inexistant");

    const QByteArray good = gameFile(1, 12, 0, 9, 0, 0, { 5, 8, 11 });
    writeBytes(file("court.mvx"), good.left(107));
    EXPECT_FALSE(load(file("court.mvx")));
    EXPECT_EQ(platform.events.takeLast(), "Problème !!: Erreur à la lecture du fichier");
    EXPECT_EQ(encodeGameRecord(state.gameFileRecord), before) << "nothing was read";

    ASSERT_TRUE(QDir(dir.path()).mkdir("dossier.mvx"));
    EXPECT_FALSE(load(file("dossier.mvx")));
    EXPECT_EQ(platform.events.takeLast(), "Problème !!: Erreur à la lecture du fichier");

    for (const QByteArray &tag : { QByteArray("\x04MV+", 4), QByteArray("\x03MV-", 4), QByteArray("\x03mv+", 4),
             QByteArray("MV+\x03", 4), QByteArray(4, '\0') }) {
        SCOPED_TRACE(tag.toHex().toStdString());
        writeBytes(file("autre.mvx"), tag + gameFile(7, 3, 1, 2, 3, 1, { 20, 19 }).mid(4));
        EXPECT_FALSE(load(file("autre.mvx")));
        EXPECT_EQ(platform.events.takeLast(), "Problème !!: Ce n'est pas un fichier de sauvegarde de MAROVELLIX");
        EXPECT_EQ(encodeGameRecord(state.gameFileRecord).left(4), tag) << "the record holds what was read";
        EXPECT_EQ(state.gameFileRecord.gameMode, 7);
        EXPECT_EQ(state.gameFileRecord.horseNumbers[1], 19);
    }
    EXPECT_EQ(platform.messages.size(), 8u);
    for (const auto &m : platform.messages)
        EXPECT_EQ(m.buttons, Platform::Buttons::Ok);

    // Bytes after the first record are ignored.
    writeBytes(file("long.mvx"), good + QByteArray(500, '\xff'));
    const std::optional<TicketRecipe> loaded = load(file("long.mvx"));
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->systemNumber, 12);
    EXPECT_EQ(encodeGameRecord(state.gameFileRecord), good);
}

TEST_F(GameFile, EveryFieldOfAnUntrustedFileIsCheckedBeforeUse)
{
    current.source = TicketSource::CatalogueSystem;
    current.systemNumber = 44;
    current.generator.bases.positions = { 3, 1, 2 };

    // Any mode but 1 is the generator; the last items of each list are still items.
    writeBytes(file("g.mvx"), gameFile(7, 0, 19, 7, 3, 0, { 0, 20, 21, -1, INT_MIN, INT_MAX, 1 }));
    std::optional<TicketRecipe> page = load(file("g.mvx"));
    ASSERT_TRUE(page);
    EXPECT_NE(page->source, TicketSource::CatalogueSystem);
    EXPECT_EQ(page->systemNumber, 44);
    EXPECT_EQ(page->generator.horsesToCombine, 20);
    EXPECT_EQ(page->generator.horsesPerTicket, 8);
    EXPECT_EQ(page->generator.bases.baseCount, 3);
    EXPECT_EQ(page->generator.bases.positions, (std::array<int, 3> { 3, 1, 2 }));
    EXPECT_FALSE(page->generator.reduced) << "complete combinations unless the flag is 1";
    EXPECT_EQ(page->boxes, boxes({ "", "20", "", "", "", "", "1" })) << "0 and numbers outside 1..20 empty their box";

    // One past each list, and negative indexes: the box is left without an item.
    for (auto [combine, ticket, base] :
        { std::tuple { 20, 8, 4 }, std::tuple { -1, -1, -1 }, std::tuple { INT_MIN, INT_MAX, INT_MIN } }) {
        writeBytes(file("g.mvx"), gameFile(2, 0, combine, ticket, base, 2, { 6 }));
        page = load(file("g.mvx"));
        ASSERT_TRUE(page);
        EXPECT_EQ(page->generator.horsesToCombine, 0);
        EXPECT_EQ(page->generator.horsesPerTicket, 0);
        EXPECT_EQ(page->generator.bases.baseCount, -1);
        EXPECT_FALSE(page->generator.reduced);
        // Such a page is refused by the request checks rather than generating anything.
        EXPECT_EQ(checkTicketRequest(*page), std::vector<Message> { messages::wrongGeneratorSelection() });
    }

    // A system no item carries selects the first item of the sorted list: system 29.
    for (std::int32_t system : { 0, 54, -1, 100, INT_MAX, INT_MIN }) {
        SCOPED_TRACE(system);
        writeBytes(file("r.mvx"), gameFile(1, system, 99, -7, 55, 3, { 2 }));
        page = load(file("r.mvx"));
        ASSERT_TRUE(page);
        EXPECT_EQ(page->source, TicketSource::CatalogueSystem);
        EXPECT_EQ(page->systemNumber, 29);
        EXPECT_TRUE(sameGenerator(page->generator, current.generator));
    }
    writeBytes(file("r.mvx"), gameFile(1, 53, 0, 0, 0, 0, {}));
    page = load(file("r.mvx"));
    ASSERT_TRUE(page);
    EXPECT_EQ(page->systemNumber, 53);
    EXPECT_EQ(page->boxes, SelectionBoxes {});
    EXPECT_TRUE(platform.events.isEmpty());
}

TEST_F(GameFile, GeneratorBoxesWithoutAnItemAndAnUnselectedSystemSaveAndReloadAsSuch)
{
    TicketRecipe page;
    page.source = TicketSource::Generator;
    page.generator.horsesToCombine = 0;
    page.generator.horsesPerTicket = 0;
    page.generator.bases.baseCount = -1;
    page.boxes = boxes({ "", "abc", "0", "21", "020" });
    save(page, file("vide.mvx"));
    // "0" and "020" are numbers of at most 20, so the reading keeps them; the load then
    // shows 20 but leaves the 0 box empty.
    EXPECT_EQ(readBytes(file("vide.mvx")), gameFile(2, 0, -1, -1, -1, 1, { 0, 20 }));
    std::optional<TicketRecipe> loaded = load(file("vide.mvx"));
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->generator.horsesToCombine, 0);
    EXPECT_EQ(loaded->generator.horsesPerTicket, 0);
    EXPECT_EQ(loaded->generator.bases.baseCount, -1);
    EXPECT_EQ(loaded->boxes, boxes({ "", "20" }));

    page.source = TicketSource::CatalogueSystem;
    page.systemNumber = -1;
    platform.answers.push_back(Platform::Answer::Yes);
    save(page, file("vide.mvx"));
    EXPECT_EQ(readBytes(file("vide.mvx")).mid(4, 20), littleEndian({ 1, -1, -1, 0, 0 }));
}

TEST(GameRecord, EncodesEveryFieldLittleEndianWhateverTheHost)
{
    GameFileRecord record;
    record.fileTag = { 3, 'M', 'V', '+' };
    record.gameMode = 0x01020304;
    record.systemNumber = -2;
    record.combineIndex = INT_MIN;
    record.ticketIndex = INT_MAX;
    record.baseIndex = 0x7f;
    record.reducedFlag = 0x100;
    for (int i = 0; i < 20; ++i)
        record.horseNumbers[std::size_t(i)] = (i + 1) * 0x01010101;
    const QByteArray bytes = encodeGameRecord(record);
    ASSERT_EQ(bytes.size(), kGameRecordSize);
    EXPECT_EQ(bytes.left(28).toHex(' '),
        "03 4d 56 2b 04 03 02 01 fe ff ff ff 00 00 00 80 ff ff ff 7f 7f 00 00 00 00 01 00 00");
    EXPECT_EQ(bytes.mid(104).toHex(), "14141414");
    EXPECT_TRUE(hasGameTag(record));

    const std::optional<GameFileRecord> back = decodeGameRecord(bytes + "tail");
    ASSERT_TRUE(back);
    EXPECT_EQ(encodeGameRecord(*back), bytes);
    EXPECT_EQ(back->combineIndex, INT_MIN);
    EXPECT_FALSE(decodeGameRecord(QByteArrayView(bytes).first(107)));
    EXPECT_FALSE(decodeGameRecord(QByteArrayView()));
}

// A game of the own-system tab with conditions, damaged the ways a disk or a copy damages it:
// whatever part cannot be read whole is named in one message and the rest of the game loads.
TEST_F(GameFile, ADamagedSectionIsNamedInOneMessageAndTheRestLoads)
{
    TicketRecipe page;
    page.source = TicketSource::OwnSystem;
    // 5 horses, 4 per ticket, 1 base, every ticket that holds the base.
    page.ownSystem.request = { 5, 4, 1, 4 };
    page.ownSystem.rows = { { 1, 2, 3, 4 }, { 1, 2, 3, 5 }, { 1, 2, 4, 5 }, { 1, 3, 4, 5 } };
    page.conditions.groups.push_back(ConditionGroup { QStringLiteral("Favoris"), (1u << 3) | (1u << 7), 1, 2 });
    page.boxes = boxes({ "3", "7", "9", "12", "14" });
    save(page, file("perso.mvx"));
    const QByteArray whole = readBytes(file("perso.mvx"));
    // Past the contents, which list the headers first.
    const qsizetype contentsEnd
        = kGameRecordSize + 8 + qFromLittleEndian<std::int32_t>(whole.constData() + kGameRecordSize + 4);
    const qsizetype own = whole.indexOf("MSYS", contentsEnd);
    const qsizetype conditions = whole.indexOf("COND", contentsEnd);
    ASSERT_EQ(own, contentsEnd);
    ASSERT_GT(conditions, own);

    const QString ownLost
        = QStringLiteral("Ce fichier de jeu est endommagé : le jeu est chargé sans le système personnel.");
    const QString conditionsLost
        = QStringLiteral("Ce fichier de jeu est endommagé : le jeu est chargé sans les conditions.");
    const QString bothLost = QStringLiteral(
        "Ce fichier de jeu est endommagé : le jeu est chargé sans le système personnel et les conditions.");
    auto setLength = [](QByteArray bytes, qsizetype header, std::int32_t delta) {
        const QByteArray length = bytes.mid(header + 4, 4);
        const std::int32_t value = qFromLittleEndian<std::int32_t>(length.constData());
        bytes.replace(header + 4, 4, littleEndian({ value + delta }));
        return bytes;
    };
    struct Damage
    {
        const char *what;
        QByteArray bytes;
        QString message;
        bool ownKept;
        bool conditionsKept;
    };
    QByteArray ownTag = whole;
    ownTag[own + 2] = 'Z';
    QByteArray conditionsTag = whole;
    conditionsTag[conditions + 1] = 'P';
    const Damage damages[] = {
        { "cut in the conditions", whole.first(whole.size() - 3), conditionsLost, true, false },
        { "cut at the conditions' header", whole.first(conditions + 6), conditionsLost, true, false },
        // The contents say what stood after the cut; without them, only the record's request does.
        { "cut in the own system", whole.first(own + 20), bothLost, false, false },
        { "cut after the record", whole.first(kGameRecordSize), ownLost, false, false },
        { "own system's tag damaged", ownTag, ownLost, false, true },
        { "conditions' tag damaged", conditionsTag, conditionsLost, true, false },
        { "own system's length too long", setLength(whole, own, 5), ownLost, false, true },
        { "conditions' length too long", setLength(whole, conditions, 1), conditionsLost, true, false },
        { "conditions' length too short", setLength(whole, conditions, -2), conditionsLost, true, false },
        { "own system's length too short", setLength(whole, own, -4), ownLost, false, true },
    };
    for (const Damage &damage : damages) {
        SCOPED_TRACE(damage.what);
        writeBytes(file("abime.mvx"), damage.bytes);
        platform.events.clear();
        const std::optional<TicketRecipe> loaded = load(file("abime.mvx"));
        ASSERT_TRUE(loaded);
        EXPECT_EQ(platform.events.join('\n').toStdString(), ("Problème !!: " + damage.message).toStdString());
        EXPECT_EQ(loaded->source, TicketSource::OwnSystem) << "the record's request stays";
        EXPECT_EQ(loaded->ownSystem.hasTable(), damage.ownKept);
        EXPECT_EQ(loaded->conditions == page.conditions, damage.conditionsKept);
        EXPECT_EQ(loaded->boxes[0], "3");
    }
}
