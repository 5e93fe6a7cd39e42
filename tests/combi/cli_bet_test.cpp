// compare --bet, run as a process: each ticket judged as the chosen bet.

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct CliRun
{
    int exitCode = -1;
    QByteArray out;
    QString err;
};

CliRun cli(const QStringList &args, const QByteArray &input)
{
    QProcess p;
    p.start(QStringLiteral(MAROVELLIX_CLI), args);
    p.write(input);
    p.closeWriteChannel();
    EXPECT_TRUE(p.waitForFinished(60000));
    return { p.exitCode(), p.readAllStandardOutput(), QString::fromUtf8(p.readAllStandardError()) };
}

} // namespace

// A couplé à cheval is a gagnant and a placé ticket: the gagnant never falls to the placé, 13
// tied 2nd pays each pair with its own rapport, 5 does not run.
TEST(CliBet, CompareJudgesEachTicketAsTheChosenBet)
{
    QTemporaryDir dir;
    const QString rapports = dir.filePath(QStringLiteral("rapports.txt"));
    {
        QFile f(rapports);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("Couplé gagnant 7-13 12\nCouplé gagnant 7-2 15\nCouplé placé 7-13 3,20\nCouplé placé 7-2 4\n"
                "Couplé placé 13-2 5\nCouplé placé 1 NP 7-NP 1,10\nCouplé gagnant 1 NP 7-NP 2,50\n");
    }
    const QStringList evening { "compare", "--bet", "couple-gagnant,couple-place", "-a", "7,13=2,9", "--runners", "10",
        "--non-runners", "5", "--rapports", rapports };
    const CliRun run = cli(evening, "2,7,\n9,7,\n5,7,\n");
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(QString::fromUtf8(run.out),
        QStringLiteral("2,7,\tCouplé gagnant\t7-2 15.00\n2,7,\tCouplé placé\t7-2 4.00\n9,7,\t\n9,7,\t\n"
                       "5,7,\tCouplé gagnant 1 NP\t7-NP 2.50\n5,7,\tCouplé placé 1 NP\t7-NP 1.10\n"
                       "\n1 Couplé gagnant\n1 Couplé placé\n1 Couplé gagnant 1 NP\n1 Couplé placé 1 NP\n"
                       "Gains  :22.6\n"));

    // Tickets that do not fit the bet are refused, with nothing written.
    const CliRun wrong = cli({ "compare", "--bet", "multi5", "-a", "7,13,2,9" }, "1,7,13,2,9,\n7,13,2,\n");
    EXPECT_EQ(wrong.exitCode, 2);
    EXPECT_TRUE(wrong.out.isEmpty());
    EXPECT_TRUE(wrong.err.contains(QStringLiteral("ligne 2 : 3 chevaux, alors que les tickets précédents en ont 5")))
        << wrong.err.toStdString();
    const CliRun first = cli({ "compare", "--bet", "multi5", "-a", "7,13,2,9" }, "7,13,2,\n");
    EXPECT_TRUE(first.err.contains(QStringLiteral("ligne 1 : 3 chevaux, alors qu'un ticket Multi en 5 en a 5")))
        << first.err.toStdString();
    EXPECT_EQ(cli({ "compare", "--bet", "multi8", "-a", "7,13,2,9" }, "7,13,\n").exitCode, 2);
    // Fewer than eight runners refund every Multi.
    const CliRun few = cli({ "compare", "--bet", "multi5", "-a", "7,13,2,9", "--runners", "7" }, "1,7,13,2,9,\n");
    EXPECT_TRUE(few.out.startsWith("1,7,13,2,9,\tRemboursé\n")) << few.out.toStdString();
}
