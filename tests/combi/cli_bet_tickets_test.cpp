// The tool's --bet: its formulas and its stake, and tickets that do not fit it refused in French.

#include <QProcess>
#include <QStringList>

#include <gtest/gtest.h>

namespace {

struct CliRun
{
    int exitCode = -1;
    QByteArray out;
    QString err;
};

CliRun cli(const QStringList &args)
{
    QProcess p;
    p.start(QStringLiteral(MAROVELLIX_CLI), args);
    p.closeWriteChannel();
    EXPECT_TRUE(p.waitForFinished(60000));
    return { p.exitCode(), p.readAllStandardOutput(), QString::fromUtf8(p.readAllStandardError()) };
}

} // namespace

TEST(CliBet, TicketsThatDoNotFitTheBetAreRefusedAndNothingIsWritten)
{
    // System 2 makes tickets of five horses.
    const CliRun system = cli({ "tickets", "--bet", "multi4", "--system", "2", "4", "9", "1", "12", "6", "3" });
    EXPECT_EQ(system.exitCode, 2);
    EXPECT_TRUE(system.out.isEmpty());
    EXPECT_TRUE(system.err.contains(QStringLiteral(
        "les tickets ont 5 chevaux : ils ne conviennent pas au pari Multi en 4, qui se joue avec 4 chevaux")))
        << system.err.toStdString();

    const CliRun reduce = cli({ "reduce", "--bet", "multi5", "--horses", "6", "--per-ticket", "3", "--guarantee",
        "2", "1", "2", "3", "4", "5", "6" });
    EXPECT_EQ(reduce.exitCode, 2);
    EXPECT_TRUE(reduce.err.contains(QStringLiteral("le pari Multi en 5 a des tickets de 5 chevaux")))
        << reduce.err.toStdString();
    const CliRun simple = cli({ "reduce", "--bet", "simple-gagnant", "--horses", "6", "1", "2", "3", "4", "5", "6" });
    EXPECT_EQ(simple.exitCode, 2);
    EXPECT_TRUE(simple.err.contains(QStringLiteral("aucun système réduit pour le pari Simple gagnant")))
        << simple.err.toStdString();

    const CliRun unknown = cli({ "tickets", "--bet", "quinte-plus", "-n", "5", "-k", "5", "1", "2", "3", "4", "5" });
    EXPECT_EQ(unknown.exitCode, 2);
    EXPECT_TRUE(unknown.err.contains(QStringLiteral("pari inconnu « quinte-plus »"))) << unknown.err.toStdString();
}

TEST(CliBet, AFormulaIsMadeAndCostedAtTheBetsStake)
{
    // Champ total of one base on a race of six runners: the base with each other runner.
    const CliRun field
        = cli({ "tickets", "--bet", "2sur4", "--formula", "champ-total", "--runners", "6", "--cost", "4" });
    EXPECT_EQ(field.exitCode, 0) << field.err.toStdString();
    EXPECT_EQ(field.out, QByteArray("4,1,\r\n4,2,\r\n4,3,\r\n4,5,\r\n4,6,\r\n"));
    EXPECT_TRUE(field.err.contains(QStringLiteral("Coût : 5 tickets × 3.00 € × 1 = 15.00 €")))
        << field.err.toStdString();

    // A champ total without its runners, and a bet without a known stake, are refused.
    EXPECT_EQ(cli({ "tickets", "--bet", "trio", "--formula", "champ-total", "4", "5" }).exitCode, 2);
    const CliRun noStake = cli({ "tickets", "--bet", "trio", "--formula", "combinee", "--cost", "1", "2", "3", "4" });
    EXPECT_EQ(noStake.exitCode, 2);
    EXPECT_TRUE(noStake.err.contains(QStringLiteral("pas de mise habituelle pour le pari Trio")));
}
