// The bet of a game: kept in the game file when it is not the one the ticket size gives, and
// asked for when a ticket file's size fits several bets.

#include "game/bet_section.h"
#include "game/game_file.h"
#include "game/open_ticket_file.h"
#include "support/scripted_platform.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

namespace mvx {
namespace {

using testing::ScriptedPlatform;

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return file.readAll();
}

TicketRecipe generatorGame(int combine, int perTicket, std::optional<Bet> bet)
{
    TicketRecipe recipe;
    recipe.source = TicketSource::Generator;
    recipe.generator.horsesToCombine = combine;
    recipe.generator.horsesPerTicket = perTicket;
    recipe.bet = bet;
    for (int i = 0; i < combine; ++i)
        recipe.boxes[std::size_t(i)] = QString::number(i + 3);
    return recipe;
}

TEST(BetGame, ANewBetComesBackAndATodaysGameOpensAsItsSizesBet)
{
    QTemporaryDir dir;
    GameState state;
    ScriptedPlatform platform;
    const Bet multi5 { Bet::Kind::Multi, 5 };

    const QString multiGame = dir.filePath(QStringLiteral("multi.mvx"));
    platform.fileNames.push_back(multiGame);
    saveGame(state, generatorGame(8, 5, multi5), platform);
    const QByteArray bytes = fileBytes(multiGame);
    // The record, the contents, then one section: "JOUE", its length, the bet's name.
    EXPECT_EQ(bytes.mid(kGameRecordSize), QByteArray("SOMM\x08\0\0\0JOUE\x06\0\0\0JOUE\x06\0\0\0multi5", 30));

    // Loaded over a page that shows another bet.
    TicketRecipe current = generatorGame(4, 2, Bet { Bet::Kind::TwoOfFour, 2 });
    platform.fileNames.push_back(multiGame);
    const std::optional<TicketRecipe> loaded = loadGame(state, current, platform);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->bet, multi5);
    EXPECT_EQ(loaded->generator.horsesPerTicket, 5);

    // The quinté+ of today is written as it always was: the record alone; so is a game whose
    // bet does not fit its tickets.
    const QString quinteGame = dir.filePath(QStringLiteral("quinte.mvx"));
    platform.fileNames.push_back(quinteGame);
    saveGame(state, generatorGame(8, 5, Bet { Bet::Kind::Quinte, 5 }), platform);
    EXPECT_EQ(fileBytes(quinteGame).size(), kGameRecordSize);
    const QString unfit = dir.filePath(QStringLiteral("unfit.mvx"));
    platform.fileNames.push_back(unfit);
    saveGame(state, generatorGame(8, 5, Bet { Bet::Kind::Multi, 4 }), platform);
    EXPECT_EQ(fileBytes(unfit).size(), kGameRecordSize);

    // A tiercé game of today opens without a bet of its own: its size makes it a tiercé.
    const QString tierceGame = dir.filePath(QStringLiteral("tierce.mvx"));
    platform.fileNames.push_back(tierceGame);
    saveGame(state, generatorGame(6, 3, std::nullopt), platform);
    EXPECT_EQ(fileBytes(tierceGame).size(), kGameRecordSize);
    current.bet = multi5;
    platform.fileNames.push_back(tierceGame);
    const std::optional<TicketRecipe> today = loadGame(state, current, platform);
    ASSERT_TRUE(today);
    EXPECT_FALSE(today->bet);
    EXPECT_EQ(recipeBet(*today), (Bet { Bet::Kind::Tierce, 3 }));
    EXPECT_TRUE(platform.messages.empty());

    // A bet section that names no bet, or a bet of another size than the tickets, is reported
    // and the game opens as its size's bet.
    for (const QByteArray &name : { QByteArray("multi9"), QByteArray("trio") }) {
        QFile file(multiGame);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        QByteArray damaged = bytes.left(kGameRecordSize) + "JOUE" + char(name.size()) + QByteArray(3, '\0') + name;
        file.write(damaged);
        file.close();
        platform.messages.clear();
        platform.fileNames.push_back(multiGame);
        const std::optional<TicketRecipe> again = loadGame(state, current, platform);
        ASSERT_TRUE(again);
        EXPECT_FALSE(again->bet) << name.toStdString();
        ASSERT_EQ(platform.messages.size(), std::size_t(1));
        EXPECT_TRUE(platform.messages[0].text.startsWith(QStringLiteral("Le pari enregistré dans ce fichier")));
    }
}

TEST(BetGame, ATicketFileOfASizeSeveralBetsShareAsksWhichBet)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("paires.txt"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("7,13,\n7,2,\n");
    file.close();

    GameState state;
    ScriptedPlatform platform;
    const std::vector<Bet> pairs = betsOfSize(2);
    platform.choices.push_back(3);
    ASSERT_TRUE(openTicketFile(state, path, platform));
    ASSERT_EQ(platform.asksToChoose.size(), std::size_t(1));
    EXPECT_EQ(platform.asksToChoose[0].items.size(), qsizetype(pairs.size()));
    EXPECT_EQ(platform.asksToChoose[0].items[0], QStringLiteral("Couplé"));
    EXPECT_EQ(state.bet, pairs[3]);
    EXPECT_EQ(betOfTickets(state), pairs[3]);

    // Cancelled: the list and the bet stay as they were.
    platform.choices.push_back(-1);
    QFile three(dir.filePath(QStringLiteral("trois.txt")));
    ASSERT_TRUE(three.open(QIODevice::WriteOnly));
    three.write("7,13,2,\n");
    three.close();
    EXPECT_FALSE(openTicketFile(state, three.fileName(), platform));
    EXPECT_EQ(state.tickets.horsesPerTicket(), 2);
    EXPECT_EQ(state.bet, pairs[3]);

    // A size only one bet has is not asked about.
    QFile seven(dir.filePath(QStringLiteral("sept.txt")));
    ASSERT_TRUE(seven.open(QIODevice::WriteOnly));
    seven.write("1,2,3,4,5,6,7,\n");
    seven.close();
    ASSERT_TRUE(openTicketFile(state, seven.fileName(), platform));
    EXPECT_EQ(platform.asksToChoose.size(), std::size_t(2));
    EXPECT_EQ(state.bet, (Bet { Bet::Kind::Multi, 7 }));
}

} // namespace
} // namespace mvx
