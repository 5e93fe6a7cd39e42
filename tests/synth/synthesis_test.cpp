#include "synth/synthesis.h"
#include "synth/synthesis_output.h"

#include "support/scripted_platform.h"
#include "support/test_data.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace mvx {
namespace {

using testing::readBytes;
using testing::RecordingPrintSurface;
using testing::ScriptedPlatform;
using testing::writeBytes;

const QLocale kFrench(QLocale::French, QLocale::France);
const QLocale kEnglish(QLocale::English, QLocale::UnitedKingdom);

// Points 3, 2, 1 for three horses per forecast; forecasts (5, 2, 9) and (2, 5, 1).
std::unique_ptr<GameState> workedExample(int horses)
{
    auto state = std::make_unique<GameState>();
    state->horseCount = horses;
    state->horsesPerForecast = 3;
    state->forecastCount = 2;
    state->pointsByPosition = { 3, 2, 1, 7 };
    state->forecasts[0] = { 5, 2, 9, 4 }; // position 4 is not in use
    state->forecasts[1] = { 2, 5, 1 };
    state->forecasts[2] = { 3, 3, 3 }; // forecast 3 is not in use
    return state;
}

std::vector<int> rankedHorses(const GameState &state)
{
    std::vector<int> horses;
    for (int r = 0; r < synthesisHorseCount(state); ++r)
        horses.push_back(state.synthesis[std::size_t(r)].horse);
    return horses;
}

TEST(Synthesis, WorkedExampleRanksByPointsThenHorseNumber)
{
    auto state = workedExample(10);
    computeSynthesis(*state);

    EXPECT_EQ(rankedHorses(*state), (std::vector<int> { 2, 5, 1, 9, 3, 4, 6, 7, 8, 10 }));
    const std::vector<SynthesisRow> rows = synthesisRows(*state, kFrench);
    ASSERT_EQ(rows.size(), 10u);
    EXPECT_EQ(rows[0], (SynthesisRow { "1", "CHEVAL 2", "5", "41,6666679382324" }));
    EXPECT_EQ(rows[1], (SynthesisRow { "2", "CHEVAL 5", "5", "41,6666679382324" }));
    EXPECT_EQ(rows[2], (SynthesisRow { "3", "CHEVAL 1", "1", "8,33333301544189" }));
    EXPECT_EQ(rows[3], (SynthesisRow { "4", "CHEVAL 9", "1", "8,33333301544189" }));
    EXPECT_EQ(rows[9], (SynthesisRow { "10", "CHEVAL 10", "0", "0" }));
    EXPECT_EQ(synthesisRows(*state, kEnglish)[0][3], "41.6666679382324");
    EXPECT_EQ(pointsInHorseOrder(*state), (std::vector<int> { 1, 5, 0, 0, 5, 0, 0, 0, 1, 0 }));

    EXPECT_EQ(shareText(float(100.0 / 3), kFrench) + ' ' + shareText(25.0f, kFrench), "33,3333320617676 25");

    // A horse above the count adds nothing: it is not a runner any more.
    state->horseCount = 8;
    computeSynthesis(*state);
    EXPECT_EQ(rankedHorses(*state), (std::vector<int> { 2, 5, 1, 3, 4, 6, 7, 8 }));
    EXPECT_EQ(synthesisRows(*state, kFrench)[0][3], "45,4545440673828");
}

TEST(Synthesis, NoForecastAndEveryRunnerUpToFortyNine)
{
    auto state = std::make_unique<GameState>();
    state->horseCount = 20;
    state->pointsByPosition = { 8, 7, 6, 5, 4, 3, 2, 1 };
    computeSynthesis(*state);
    const std::vector<SynthesisRow> rows = synthesisRows(*state, kFrench);
    ASSERT_EQ(rows.size(), 20u);
    for (int r = 0; r < 20; ++r)
        EXPECT_EQ(rows[std::size_t(r)],
            (SynthesisRow { QString::number(r + 1), QStringLiteral("CHEVAL %1").arg(r + 1), "0", "0" }));

    state->horseCount = 49;
    state->forecasts[0] = { 49, 30, 1 };
    state->forecasts[4] = { 30, 49, 45 };
    computeSynthesis(*state);
    const std::vector<int> ranked = rankedHorses(*state);
    ASSERT_EQ(ranked.size(), 49u);
    EXPECT_EQ(std::vector<int>(ranked.begin(), ranked.begin() + 5), (std::vector<int> { 30, 49, 1, 45, 2 }));
    EXPECT_EQ(ranked.back(), 48);
    EXPECT_EQ(pointsInHorseOrder(*state)[48], 15);

    // A count typed past 49 and not yet corrected ranks the 49 the table holds.
    state->horseCount = 99;
    state->horsesPerForecast = 99;
    state->forecastCount = 9999;
    computeSynthesis(*state);
    EXPECT_EQ(synthesisRows(*state, kFrench).size(), 49u);
    EXPECT_EQ(rankedHorses(*state)[0], 30);
}

class SynthesisExport : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        auto state = workedExample(20);
        computeSynthesis(*state);
        rows = synthesisRows(*state, kFrench);
    }

    QTemporaryDir dir;
    std::vector<SynthesisRow> rows;
    ScriptedPlatform platform;
};

TEST_F(SynthesisExport, TwentyHorsesMakeTheHeadingAndTwentyLines)
{
    const QString path = dir.filePath("synthese.txt");
    writeBytes(path, "an earlier export, longer than nothing");
    platform.fileNames = { path, path };
    QString previous;
    ASSERT_TRUE(exportSynthesis(rows, previous, platform));

    QByteArray expected = "POS;CHEVAUX;PTS;%\r\n"
                          "1;CHEVAL 2;5;41,6666679382324;\r\n"
                          "2;CHEVAL 5;5;41,6666679382324;\r\n"
                          "3;CHEVAL 1;1;8,33333301544189;\r\n"
                          "4;CHEVAL 9;1;8,33333301544189;\r\n";
    int rank = 5;
    for (int horse : { 3, 4, 6, 7, 8, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20 })
        expected += QByteArray::number(rank++) + ";CHEVAL " + QByteArray::number(horse) + ";0;0;\r\n";
    EXPECT_EQ(readBytes(path), expected);

    ASSERT_EQ(platform.fileDialogs.size(), 1u);
    const Platform::FileDialog &asked = platform.fileDialogs[0];
    EXPECT_EQ(asked.title + asked.filter + asked.defaultExtension + asked.proposedName,
        "Indiquez le fichier de sauvegardetexte (*.txt)|*.txttxt");
    EXPECT_TRUE(asked.pathMustExist && !asked.confirmOverwrite);

    EXPECT_EQ(platform.savedFiles, QStringList { path });

    // The second export proposes the first one's name and replaces the file without a question.
    rows.resize(1);
    ASSERT_TRUE(exportSynthesis(rows, previous, platform));
    EXPECT_EQ(platform.fileDialogs[1].proposedName, path);
    EXPECT_EQ(readBytes(path), QByteArray("POS;CHEVAUX;PTS;%\r\n1;CHEVAL 2;5;41,6666679382324;\r\n"));
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 1) << "no temporary file is left";

    // Cancelling writes nothing and keeps the name.
    EXPECT_FALSE(exportSynthesis(rows, previous, platform));
    EXPECT_EQ(previous, path);
}

TEST_F(SynthesisExport, FailedWriteIsReportedAndKeepsTheOldFile)
{
    // A name at the longest a file name may be: the file itself exists, but the temporary file
    // made beside it to replace it cannot be named.
    const QString path = dir.filePath(QString(251, QLatin1Char('s')) + ".txt");
    const QByteArray old = "POS;CHEVAUX;PTS;%\r\n1;CHEVAL 7;12;100;\r\n";
    writeBytes(path, old);
    platform.fileNames = { path };
    QString previous;
    EXPECT_FALSE(exportSynthesis(rows, previous, platform));

    EXPECT_EQ(readBytes(path), old);
    EXPECT_EQ(platform.beeps, 1);
    EXPECT_EQ(platform.messageTexts(), QStringList { "Il y a eu un problème" });
    EXPECT_EQ(platform.messages.at(0).title, "Fichier non sauvegardé !!");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 1);
    // A name that failed is neither proposed again nor its folder remembered.
    EXPECT_EQ(previous, QString());
    EXPECT_TRUE(platform.savedFiles.isEmpty());
}

class Chart : public PrintPicture
{
};

TEST(SynthesisPrint, ColumnsAtMultiplesOfWTheChartBelowShortenedToThePage)
{
    auto state = workedExample(20);
    computeSynthesis(*state);
    ScriptedPlatform platform;
    printSynthesis(synthesisRows(*state, kFrench), Chart(), platform);

    // The recording device: 600 dpi, 4760 x 6850 dots.
    const int w = RecordingPrintSurface::charWidth(10, 600);
    const int line = RecordingPrintSurface::lineHeight(10, 600) + 10;
    const int headings = 50 + RecordingPrintSurface::lineHeight(24, 600) + 3 * line;
    auto at = [&](int column, int row, const QString &text) {
        const int x = 10 + std::array { 0, 3, 23, 26 }[std::size_t(column)] * w;
        return QStringLiteral("text %1,%2 %3").arg(x).arg(headings + row * line).arg(text);
    };
    auto picture = [&](int rows, int bottom) {
        const int end = headings + (rows + 1) * line;
        return QStringLiteral("picture 50,%1 4710,%2").arg(end + 2 * line).arg(bottom ? bottom : end + 17 * line);
    };
    const QString title
        = QStringLiteral("text %1,50 SYNTHESE").arg((4760 - 8 * RecordingPrintSurface::charWidth(24, 600)) / 2);
    QStringList lines = platform.printer.lines();
    ASSERT_EQ(lines.size(), 4 + 4 + 20 * 4 + 2);
    EXPECT_EQ(lines.mid(0, 12),
        (QStringList { "begin", "font Times New Roman 24", title, "font Times New Roman 10", at(0, 0, "POS."),
            at(1, 0, "CHEVAUX"), at(2, 0, "PTS"), at(3, 0, "%"), at(0, 1, "1"), at(1, 1, "CHEVAL 2"), at(2, 1, "5"),
            at(3, 1, "41,6666679382324") }));
    EXPECT_EQ(lines.mid(lines.size() - 3), (QStringList { at(3, 20, "0"), picture(20, 0), "end" }));
    EXPECT_TRUE(platform.messages.empty());

    // With 49 rows the chart's 15 lines would leave the sheet: it ends at the bottom of the page.
    state->horseCount = 49;
    computeSynthesis(*state);
    platform.printer.calls.clear();
    printSynthesis(synthesisRows(*state, kFrench), Chart(), platform);
    lines = platform.printer.lines();
    EXPECT_EQ(lines.mid(lines.size() - 2), (QStringList { picture(49, 6850), "end" }));

    // A printer that refuses the document: a message in French, nothing printed.
    ScriptedPlatform refusing;
    refusing.printer.failingDocument = 1;
    printSynthesis(synthesisRows(*state, kFrench), Chart(), refusing);
    EXPECT_TRUE(refusing.printer.calls.empty());
    ASSERT_EQ(refusing.messages.size(), 1u);
    EXPECT_EQ(refusing.messages[0].title, "Problème !!");
}

} // namespace
} // namespace mvx
