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
    EXPECT_EQ(
        written.readAll(), QByteArray("mises 1\ncouple 200\ntierce 150\nquarte 0\nquinte 300\nmultiplicateur 10000\n"));
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

} // namespace
} // namespace mvx
