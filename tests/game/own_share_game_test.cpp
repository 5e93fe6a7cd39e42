// An own system searched for a share of the arrivals, saved with the game and opened again; the
// same file as an older copy reads it; an own-system game of before the share opening at 100 %.

#include "combi/covering_search.h"
#include "combi/own_library.h"
#include "combi/own_system.h"
#include "game/game_file.h"
#include "game/game_sections.h"
#include "model/model_test_support.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace mvx;
using mvx::testing::OrderedPlatform;
using mvx::testing::readBytes;
using mvx::testing::writeBytes;

namespace {

constexpr int kRecordSize = 108;

class OwnShareGame : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    QString file(const char *name) const { return dir.filePath(QString::fromUtf8(name)); }

    std::optional<TicketRecipe> load(const QString &name)
    {
        platform.events.clear();
        platform.fileNames.push_back(name);
        return loadGame(state, TicketRecipe {}, platform);
    }
    void save(const TicketRecipe &recipe, const QString &name)
    {
        platform.fileNames.push_back(name);
        saveGame(state, recipe, platform);
    }

    static TicketRecipe ownRecipe(OwnSystem own)
    {
        TicketRecipe recipe;
        recipe.source = TicketSource::OwnSystem;
        recipe.ownSystem = std::move(own);
        recipe.boxes = mvx::testing::selectionBoxes({ "4", "9", "1", "12", "7", "3", "15", "8", "2", "11" });
        return recipe;
    }

    QTemporaryDir dir;
    GameState state;
    OrderedPlatform platform;
};

TEST_F(OwnShareGame, APartialTableIsSavedWithItsShareAndAnOlderCopyDropsOnlyTheTable)
{
    // Ten horses, four per ticket, one base, the first three: 90 % of the arrivals.
    OwnSystem own;
    own.request = SystemRequest { 10, 4, 1, 3 };
    own.sharePercent = 90;
    ReducedSearchOptions options;
    options.sharePercent = 90;
    SearchControl control;
    control.moveBudget = 1'000'000;
    const FoundSystem found = searchReducedSystem(own.request, 1, control, options);
    ASSERT_TRUE(found.verified);
    ASSERT_FALSE(keepsGuarantee(found.rows, own.request)) << "the case needs a table below 100 %";
    own.rows = found.rows;

    save(ownRecipe(own), file("part.mvx"));
    const QByteArray bytes = readBytes(file("part.mvx"));
    const std::vector<GameSection> sections = decodeGameSections(QByteArrayView(bytes).sliced(kRecordSize));
    ASSERT_EQ(sections.size(), 2u);
    EXPECT_EQ(sections[0].kind, kOwnSystemSection);
    EXPECT_EQ(sections[1].kind, kOwnShareSection);
    EXPECT_EQ(sections[1].payload, QByteArray("\x01\x5a\x00", 3)); // version 1, 90 %, searched

    std::optional<TicketRecipe> loaded = load(file("part.mvx"));
    ASSERT_TRUE(loaded);
    EXPECT_TRUE(platform.events.isEmpty()) << platform.events.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(loaded->source, TicketSource::OwnSystem);
    EXPECT_EQ(loaded->ownSystem.rows, own.rows);
    EXPECT_EQ(loaded->ownSystem.sharePercent, 90);

    // An older copy skips the share section and checks the table against the full guarantee: it
    // says the system is not valid and keeps the request and the horses, as for any bad table.
    QByteArray older = bytes.left(kRecordSize) + encodeGameSections({ sections[0] });
    writeBytes(file("older.mvx"), older);
    loaded = load(file("older.mvx"));
    ASSERT_TRUE(loaded);
    EXPECT_EQ(platform.events,
        QStringList { QStringLiteral(
            "Problème !!: Le système enregistré dans ce fichier n'est pas valable : cherchez-le à nouveau.") });
    EXPECT_EQ(loaded->source, TicketSource::OwnSystem);
    EXPECT_FALSE(loaded->ownSystem.hasTable());
    EXPECT_EQ(loaded->ownSystem.request.horses, 10);
    EXPECT_EQ(loaded->boxes[3], QStringLiteral("12"));

    // A share section that claims more than the table wins drops the table the same way.
    QByteArray claimed = bytes;
    claimed[bytes.size() - 2] = char(99);
    writeBytes(file("claimed.mvx"), claimed);
    loaded = load(file("claimed.mvx"));
    ASSERT_TRUE(loaded);
    EXPECT_EQ(platform.events.size(), 1);
    EXPECT_FALSE(loaded->ownSystem.hasTable());
}

TEST_F(OwnShareGame, AnOwnSystemGameOfBeforeTheShareOpensAtTheFullGuarantee)
{
    // The own-system section alone, as the program wrote it before the share: a full table.
    const SystemRequest request { 9, 4, 1, 3 };
    SearchControl control;
    control.moveBudget = 500'000;
    const FoundSystem found = searchReducedSystem(request, 1, control);
    ASSERT_TRUE(found.verified);
    OwnSystem own { request, found.rows, OwnTableOrigin::Searched };
    save(ownRecipe(own), file("before.mvx"));
    const QByteArray bytes = readBytes(file("before.mvx"));
    // The contents list one section, and it is the own system's: no share section at 100 %.
    EXPECT_EQ(bytes.size(), kRecordSize + 16 + 8 + 10 + int(found.rows.size()) * 4);

    const std::optional<TicketRecipe> loaded = load(file("before.mvx"));
    ASSERT_TRUE(loaded);
    EXPECT_TRUE(platform.events.isEmpty());
    EXPECT_EQ(loaded->ownSystem.sharePercent, 100);
    EXPECT_EQ(loaded->ownSystem.rows, found.rows);
    EXPECT_EQ(loaded->ownSystem.origin, OwnTableOrigin::Searched);

    // The library's table keeps its origin through the share section; older copies read it as searched.
    const std::optional<LibraryTable> library = libraryTable(request);
    ASSERT_TRUE(library);
    save(ownRecipe(OwnSystem { request, library->rows, OwnTableOrigin::Library }), file("library.mvx"));
    const QByteArray libraryBytes = readBytes(file("library.mvx"));
    EXPECT_EQ(libraryBytes[kRecordSize + 8 + 5], char(OwnTableOrigin::Searched));
    const std::optional<TicketRecipe> reopened = load(file("library.mvx"));
    ASSERT_TRUE(reopened);
    EXPECT_EQ(reopened->ownSystem.origin, OwnTableOrigin::Library);
    EXPECT_EQ(reopened->ownSystem.sharePercent, 100);
    EXPECT_EQ(reopened->ownSystem.rows, library->rows);
}

} // namespace
