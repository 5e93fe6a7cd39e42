// The stakes file beside the settings file.

#include "combi/game_cost.h"
#include "model/settings_file.h"
#include "model/stakes_file.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace mvx {
namespace {

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

TEST(StakesFile, RoundTripAndEveryDamageFallsBackToTheDefaults)
{
    QTemporaryDir dir;
    const QString folder = dir.path() + QLatin1Char('/');
    const Stakes defaults = defaultStakes();
    EXPECT_EQ(loadStakes(folder, defaults), defaults) << "no file";

    Stakes mine;
    mine.unitStakeCents = { 200, 150, 0, 300 };
    mine.multiplier = 10000;
    ASSERT_TRUE(saveStakes(folder, mine));
    EXPECT_EQ(loadStakes(folder, defaults), mine);
    QFile written(stakesFilePath(folder));
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll(),
        QByteArray("mises 2\ncouple 200\ntierce 150\nquarte 0\nquinte 300\nsimple-gagnant 0\nsimple-place 0\n"
                   "couple-gagnant 0\ncouple-place 0\ncouple-ordre 0\n2sur4 0\ntrio 0\ntrio-ordre 0\nsuper4 0\n"
                   "multi 0\nmini-multi 0\npick5 0\nmultiplicateur 10000\n"));
    written.close();
    writeBytes(
        stakesFilePath(folder), "mises 1\r\ncouple 1\r\ntierce 2\r\nquarte 3\r\nquinte 4\r\nmultiplicateur 5\r\n");
    EXPECT_EQ(loadStakes(folder, defaults).multiplier, 5) << "CR LF lines read too";

    const QByteArray damaged[] = {
        "mises 1\ncouple 200\ntierce 150\nquarte 0\nquinte 300\nmultiplicateur 10000", // cut short
        "mises 1\ncouple 200\ntierce 150\nquarte 0\nquinte 300\n",
        "mises 2\ncouple 200\ntierce 150\nquarte 0\nquinte 300\nmultiplicateur 1\n",
        "mises 1\ntierce 150\ncouple 200\nquarte 0\nquinte 300\nmultiplicateur 1\n",
        "mises 1\ncouple -200\ntierce 150\nquarte 0\nquinte 300\nmultiplicateur 1\n",
        "mises 1\ncouple 100000001\ntierce 150\nquarte 0\nquinte 300\nmultiplicateur 1\n",
        "mises 1\ncouple 200\ntierce 150\nquarte 0\nquinte 300\nmultiplicateur 0\n",
        "mises 1\ncouple 200\ntierce 1,5\nquarte 0\nquinte 300\nmultiplicateur 1\n",
        "mises 1\ncouple 200\ntierce 150\nquarte 0\nquinte 300\nmultiplicateur 1\nplus 1\n",
        QByteArray(2000, 'x'),
        QByteArray(),
    };
    for (const QByteArray &bytes : damaged) {
        writeBytes(stakesFilePath(folder), bytes);
        EXPECT_EQ(loadStakes(folder, defaults), defaults) << bytes.left(60).toStdString();
    }
    QFile::remove(stakesFilePath(folder));
    ASSERT_TRUE(QDir(folder).mkdir(QStringLiteral("MAROVELL.MIS")));
    EXPECT_EQ(loadStakes(folder, defaults), defaults) << "a folder under the name";
    EXPECT_FALSE(saveStakes(folder, mine));
}

TEST(StakesFile, AFileOfTheFourBetsOfOldKeepsItsStakesAndTheOthersTakeTheDefaults)
{
    QTemporaryDir dir;
    const QString folder = dir.path() + QLatin1Char('/');
    writeBytes(stakesFilePath(folder), "mises 1\ncouple 110\ntierce 120\nquarte 140\nquinte 250\nmultiplicateur 3\n");
    const Stakes defaults = defaultStakes();
    const Stakes read = loadStakes(folder, defaults);
    EXPECT_EQ(read.unitStake(Bet { Bet::Kind::Couple, 2 }), 110);
    EXPECT_EQ(read.unitStake(Bet { Bet::Kind::Quinte, 5 }), 250);
    EXPECT_EQ(read.multiplier, 3);
    const Bet multi6 { Bet::Kind::Multi, 6 };
    EXPECT_EQ(read.unitStake(multi6), defaults.unitStake(multi6));
    EXPECT_GT(read.unitStake(multi6), 0);

    // Written back in the new form, every bet's stake comes back, the Multi's for all its sizes.
    Stakes mine = read;
    mine.unitStakeCents[std::size_t(Bet::Kind::Pick5)] = 175;
    mine.unitStakeCents[std::size_t(Bet::Kind::Multi)] = 450;
    ASSERT_TRUE(saveStakes(folder, mine));
    const Stakes again = loadStakes(folder, defaults);
    EXPECT_EQ(again, mine);
    EXPECT_EQ(again.unitStake(Bet { Bet::Kind::Multi, 4 }), 450);
    EXPECT_EQ(again.unitStake(Bet { Bet::Kind::Pick5, 5 }), 175);
    EXPECT_EQ(stakesCostCents(again, Bet { Bet::Kind::Multi, 7 }, 3), 3 * 450 * 3); // the multiplier is 3
    // Tickets of a size alone are costed as the bet the size always gave.
    EXPECT_EQ(stakesCostCents(again, 2, 3), 3 * 110 * 3);

    // A new file with one bet's line missing or out of place is damaged as a whole.
    QByteArray bytes = encodeStakes(mine);
    writeBytes(stakesFilePath(folder), QByteArray(bytes).replace("trio 0\n", ""));
    EXPECT_EQ(loadStakes(folder, defaults), defaults);
    writeBytes(stakesFilePath(folder), QByteArray(bytes).replace("pick5 175", "pick 175"));
    EXPECT_EQ(loadStakes(folder, defaults), defaults);
}

} // namespace
} // namespace mvx
