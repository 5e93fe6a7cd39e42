// compare --record and history, run as processes on a history file of their own: what is
// stored, listed, exported and deleted, and several copies of the tool writing at once.

#include "support/test_data.h"

#include "combi/game_cost.h"
#include "history/race_history.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using mvx::testing::readBytes;
using mvx::testing::writeBytes;

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

// Tiercé tickets against the arrival 7,3,12: one in order, one in any order, one that loses.
const QByteArray kTickets("7,3,12,\r\n3,7,12,\r\n1,2,4,\r\n");
const QString kArrival = QStringLiteral("7,3,12,1,9");
// Tiercé ordre pays 150.50, désordre 30.10 per unit stake.
const QString kPayouts = QStringLiteral("0,0,0,0,0,0,0,0,150.5,30.1");

} // namespace

TEST(HistoryCli, ACompareRecordIsListedExportedAndDeleted)
{
    QTemporaryDir dir;
    const QString tickets = dir.filePath(QStringLiteral("jeu.txt"));
    writeBytes(tickets, kTickets);
    const QString db = dir.filePath(QStringLiteral("mes-courses.sqlite"));

    const CliRun compared = cli({ "compare", "--arrival", kArrival, "--payouts", kPayouts, "--record", "Vincennes R1C4",
        "--date", "2026-03-14", "--multiplier", "2", "--database", db, tickets });
    ASSERT_EQ(compared.exitCode, 0) << compared.err.toStdString();
    // The comparison's own output is unchanged by the record.
    const CliRun plain = cli({ "compare", "--arrival", kArrival, "--payouts", kPayouts, tickets });
    EXPECT_EQ(compared.out, plain.out);

    // 3 tickets × 1.00 € × 2 staked; (150.50 + 30.10) × 2 won.
    ASSERT_EQ(
        cli({ "compare", "-a", kArrival, "--record", "Auteuil", "--date", "2026-04-02", "--database", db, tickets })
            .exitCode,
        0);
    const CliRun listed = cli({ "history", "--database", db });
    ASSERT_EQ(listed.exitCode, 0) << listed.err.toStdString();
    EXPECT_EQ(listed.out,
        QByteArray("2026-03-14\tVincennes R1C4\tTiercé\t3\t6.00\t361.20\t355.20\n"
                   "2026-04-02\tAuteuil\tTiercé\t3\t3.00\t0.00\t-3.00\n"
                   "\n"
                   "Courses : 2\nMise : 9.00 €\nGains : 361.20 €\nRemboursements : 0.00 €\nBilan : +352.20 €\n"
                   "Rendement : 4013.33 %\n"));

    // The same date and name again is refused, and the race kept, unless it is to be replaced.
    const QByteArray beforeSecond = readBytes(db);
    const CliRun second = cli({ "compare", "-a", kArrival, "--record", "Auteuil", "--date", "2026-04-02",
        "--multiplier", "3", "--database", db, tickets });
    EXPECT_EQ(second.exitCode, 1);
    EXPECT_TRUE(second.err.contains(QStringLiteral("Une course du 02/04/2026 s'appelle déjà « Auteuil »")))
        << second.err.toStdString();
    EXPECT_TRUE(second.err.contains(QStringLiteral("« --remplacer »"))) << second.err.toStdString();
    EXPECT_EQ(cli({ "history", "--database", db }).out, listed.out);
    EXPECT_EQ(readBytes(db), beforeSecond);
    ASSERT_EQ(cli({ "compare", "-a", kArrival, "--record", "Auteuil", "--date", "2026-04-02", "--multiplier", "3",
                      "--remplacer", "--database", db, tickets })
                  .exitCode,
        0);
    const CliRun april = cli({ "history", "--from", "2026-04-01", "--bet", "tierce", "--database", db });
    EXPECT_EQ(april.out,
        QByteArray("2026-04-02\tAuteuil\tTiercé\t3\t9.00\t0.00\t-9.00\n\n"
                   "Courses : 1\nMise : 9.00 €\nGains : 0.00 €\nRemboursements : 0.00 €\nBilan : -9.00 €\n"
                   "Rendement : 0.00 %\n"));
    EXPECT_TRUE(cli({ "history", "--bet", "quinte", "--database", db }).out.startsWith("\nCourses : 0\n"));

    const QString exported = dir.filePath(QStringLiteral("courses.txt"));
    ASSERT_EQ(cli({ "history", "--to", "2026-03-31", "--export", exported, "--database", db }).exitCode, 0);
    EXPECT_EQ(readBytes(exported),
        QByteArray("DATE;NOM;PARI;TICKETS;MISE;GAINS;REMBOURSEMENT;BILAN;\r\n"
                   "14/03/2026;Vincennes R1C4;Tiercé;3;6,00;361,20;0,00;355,20;\r\n"));

    const CliRun missing = cli({ "history", "--delete", "Auteuil", "--date", "2026-04-03", "--database", db });
    EXPECT_EQ(missing.exitCode, 2);
    EXPECT_TRUE(missing.err.contains(QStringLiteral("aucune course « Auteuil » le 2026-04-03")))
        << missing.err.toStdString();
    EXPECT_EQ(cli({ "history", "--delete", "Auteuil", "--date", "2026-04-02", "--database", db }).exitCode, 0);
    EXPECT_TRUE(cli({ "history", "--database", db }).out.startsWith("2026-03-14\tVincennes R1C4\t"));
    EXPECT_TRUE(cli({ "history", "--database", db }).out.contains("Courses : 1\n"));

    // Refused before anything is read or written.
    const CliRun badDate
        = cli({ "compare", "-a", kArrival, "--record", "x", "--date", "2026-02-30", "--database", db, tickets });
    EXPECT_EQ(badDate.exitCode, 2);
    EXPECT_TRUE(badDate.out.isEmpty());
    EXPECT_EQ(cli({ "compare", "-a", kArrival, "--date", "2026-02-03", tickets }).exitCode, 2);
    EXPECT_EQ(cli({ "history", "--bet", "trio-place", "--database", db }).exitCode, 2);
}

// A couplé gagnant compared with --bet is kept as a couplé gagnant at its own stake, and found
// by its name; the French "couplé" takes it with every other couplé, the tool's "couple" not.
TEST(HistoryCli, ARaceOfAChosenBetIsRecordedAtItsStakeAndFilteredByItsName)
{
    QTemporaryDir dir;
    const QString tickets = dir.filePath(QStringLiteral("jeu.txt"));
    writeBytes(tickets, "7,3,\n3,12,\n9,1,\n");
    const QString rapports = dir.filePath(QStringLiteral("rapports.txt"));
    writeBytes(rapports, "Couplé gagnant 7-3 12,50\n");
    const QString db = dir.filePath(QStringLiteral("h.sqlite"));
    const QStringList compare { "compare", "--bet", "couple-gagnant", "-a", kArrival, "--runners", "12", "--rapports",
        rapports, "--record", "Auteuil", "--date", "2026-05-01", "--multiplier", "2", "--database", db, tickets };
    const CliRun recorded = cli(compare);
    ASSERT_EQ(recorded.exitCode, 0) << recorded.err.toStdString();

    const mvx::Bet coupleWinner { mvx::Bet::Kind::CoupleWinner, 2 };
    {
        mvx::RaceHistory history(db);
        const std::vector<mvx::RaceRecord> races = history.races().value;
        ASSERT_EQ(races.size(), 1u);
        EXPECT_EQ(races[0].bet, coupleWinner);
        EXPECT_EQ(races[0].tickets, 3);
        EXPECT_EQ(races[0].stakeCents, 3 * mvx::defaultStakes().unitStake(coupleWinner) * 2);
        EXPECT_EQ(races[0].wonCents, 1250 * 2);
        EXPECT_EQ(races[0].selection, (std::vector<int> { 1, 3, 7, 9, 12 }));
    }
    const CliRun byName = cli({ "history", "--bet", "couple-gagnant", "--database", db });
    EXPECT_TRUE(byName.out.startsWith("2026-05-01\tAuteuil\tCouplé gagnant\t3\t")) << byName.out.toStdString();
    EXPECT_TRUE(cli({ "history", "--bet", "couplé", "--database", db }).out.contains("Courses : 1\n"));
    EXPECT_TRUE(cli({ "history", "--bet", "couple", "--database", db }).out.contains("Courses : 0\n"));

    // A race keeps one bet: a couplé à cheval is refused before anything is written.
    QStringList both = compare;
    both[2] = QStringLiteral("couple-gagnant,couple-place");
    both[both.indexOf(QStringLiteral("Auteuil"))] = QStringLiteral("Enghien");
    EXPECT_EQ(cli(both).exitCode, 2);
    EXPECT_TRUE(cli({ "history", "--database", db }).out.contains("Courses : 1\n"));
}

TEST(HistoryCli, ADamagedHistoryIsReportedAndTheComparisonStillShown)
{
    QTemporaryDir dir;
    const QString tickets = dir.filePath(QStringLiteral("jeu.txt"));
    writeBytes(tickets, kTickets);
    const QString db = dir.filePath(QStringLiteral("mes-courses.sqlite"));
    const QByteArray garbage("Ceci n'est pas une base : des notes de courses.\n");
    writeBytes(db, garbage);
    const CliRun recorded = cli({ "compare", "-a", kArrival, "--record", "x", "--database", db, tickets });
    EXPECT_EQ(recorded.exitCode, 1);
    EXPECT_TRUE(recorded.err.contains(QStringLiteral("la course n'est pas enregistrée"))) << recorded.err.toStdString();
    EXPECT_TRUE(recorded.out.startsWith("7,3,12,\tTierce ordre\n"));
    const CliRun listed = cli({ "history", "--database", db });
    EXPECT_EQ(listed.exitCode, 1);
    EXPECT_TRUE(listed.err.contains(QStringLiteral("n'est pas un historique des courses")));
    EXPECT_EQ(readBytes(db), garbage);
}

TEST(HistoryCli, RecordsMadeAtOnceAllLandAndKilledOnesLeaveWholeRaces)
{
    QTemporaryDir dir;
    const QString tickets = dir.filePath(QStringLiteral("jeu.txt"));
    writeBytes(tickets, kTickets);
    const QString db = dir.filePath(QStringLiteral("mes-courses.sqlite"));

    // Six copies of the tool start on a history that does not exist yet: each makes or finds it
    // and stores its race.
    constexpr int kCopies = 6;
    std::vector<std::unique_ptr<QProcess>> copies;
    for (int i = 0; i < kCopies; ++i) {
        copies.push_back(std::make_unique<QProcess>());
        copies.back()->start(QStringLiteral(MAROVELLIX_CLI),
            { "compare", "-a", kArrival, "-p", kPayouts, "--record", QStringLiteral("Course %1").arg(i), "--date",
                "2026-05-10", "--database", db, tickets });
    }
    for (auto &p : copies) {
        ASSERT_TRUE(p->waitForFinished(60000));
        EXPECT_EQ(p->exitCode(), 0) << p->readAllStandardError().toStdString();
    }
    EXPECT_TRUE(cli({ "history", "--database", db }).out.contains("Courses : 6\n"));

    // Copies killed at moments spread over their run never leave a race without its winnings.
    for (int i = 0; i < 24; ++i) {
        QProcess p;
        p.start(QStringLiteral(MAROVELLIX_CLI),
            { "compare", "-a", kArrival, "-p", kPayouts, "--record", QStringLiteral("Tuée %1").arg(i), "--date",
                "2026-05-11", "--database", db, tickets });
        ASSERT_TRUE(p.waitForStarted());
        QThread::usleep(1500 * i);
        p.kill();
        p.waitForFinished();
    }
    const CliRun after = cli({ "history", "--database", db });
    ASSERT_EQ(after.exitCode, 0) << after.err.toStdString();
    {
        QSqlDatabase raw = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("check"));
        raw.setDatabaseName(db);
        ASSERT_TRUE(raw.open());
        QSqlQuery q(raw);
        ASSERT_TRUE(q.exec(QStringLiteral("SELECT r.name, COUNT(w.race_id) FROM races r LEFT JOIN winnings w ON "
                                          "w.race_id = r.id GROUP BY r.id")));
        int races = 0;
        while (q.next()) {
            ++races;
            EXPECT_EQ(q.value(1).toInt(), 2) << q.value(0).toString().toStdString();
        }
        EXPECT_GE(races, kCopies);
    }
    QSqlDatabase::removeDatabase(QStringLiteral("check"));
}

// With the official result (non-runners here) the race keeps what compare prints: the stake, the
// refund of the ticket whose horses all stayed out, and the balance.
TEST(HistoryCli, TheOfficialResultIsRecordedWithItsRefundsAndMoneyLines)
{
    QTemporaryDir dir;
    const QString tickets = dir.filePath(QStringLiteral("jeu.txt"));
    writeBytes(tickets, QByteArray("7,3,12,\r\n3,7,12,\r\n1,2,4,\r\n4,5,6,\r\n7,3,4,\r\n"));
    const QString db = dir.filePath(QStringLiteral("mes-courses.sqlite"));

    const CliRun compared = cli({ "compare", "--arrival", kArrival, "--non-runners", "4,5,6", "--payouts", kPayouts,
        "--record", "Vincennes NP", "--date", "2026-03-14", "--database", db, tickets });
    ASSERT_EQ(compared.exitCode, 0) << compared.err.toStdString();
    EXPECT_TRUE(compared.out.contains("4,5,6,\tRemboursé\n"));
    EXPECT_TRUE(compared.out.endsWith("Mise : 5.00 €\nRemboursement : 1.00 €\nBilan : +176.60 €\n"))
        << compared.out.toStdString();

    const CliRun listed = cli({ "history", "--database", db });
    ASSERT_EQ(listed.exitCode, 0) << listed.err.toStdString();
    EXPECT_EQ(listed.out,
        QByteArray("2026-03-14\tVincennes NP\tTiercé\t5\t5.00\t180.60\t176.60\n"
                   "\n"
                   "Courses : 1\nMise : 5.00 €\nGains : 180.60 €\nRemboursements : 1.00 €\nBilan : +176.60 €\n"
                   "Rendement : 3612.00 %\n"));

    // Played twice: every sum doubles, the refund with them.
    ASSERT_EQ(
        cli({ "compare", "-a", kArrival, "--non-runners", "4,5,6", "--payouts", kPayouts, "--record", "Vincennes NP",
                "--date", "2026-03-14", "--multiplier", "2", "--remplacer", "--database", db, tickets })
            .exitCode,
        0);
    const QString exported = dir.filePath(QStringLiteral("courses.txt"));
    ASSERT_EQ(cli({ "history", "--export", exported, "--database", db }).exitCode, 0);
    EXPECT_EQ(readBytes(exported),
        QByteArray("DATE;NOM;PARI;TICKETS;MISE;GAINS;REMBOURSEMENT;BILAN;\r\n"
                   "14/03/2026;Vincennes NP;Tiercé;5;10,00;361,20;2,00;353,20;\r\n"));
}

// The history's file is written by the history alone: an export onto it, however it is named,
// is refused; an explicit history in a folder that does not exist is not made.
TEST(HistoryCli, TheHistoryIsNeverTheExportNorMadeInAFolderThatDoesNotExist)
{
    QTemporaryDir dir;
    const QString tickets = dir.filePath(QStringLiteral("jeu.txt"));
    writeBytes(tickets, kTickets);
    const QString db = dir.filePath(QStringLiteral("h.sqlite"));
    ASSERT_EQ(cli({ "compare", "-a", kArrival, "--payouts", kPayouts, "--record", "Vincennes", "--date", "2026-03-14",
                      "--database", db, tickets })
                  .exitCode,
        0);
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("sous")));
    ASSERT_TRUE(QFile::link(db, dir.filePath(QStringLiteral("lien.sqlite"))));
    ASSERT_TRUE(QFile::link(db + QStringLiteral("-wal"), dir.filePath(QStringLiteral("journal.txt"))));
    const QByteArray before = readBytes(db);
    for (const QString &name :
        { db, dir.filePath(QStringLiteral("sous/../h.sqlite")), dir.filePath(QStringLiteral("lien.sqlite")),
            db + QStringLiteral("-wal"), dir.filePath(QStringLiteral("journal.txt")) }) {
        SCOPED_TRACE(name.toStdString());
        const CliRun exported = cli({ "history", "--export", name, "--database", db });
        EXPECT_EQ(exported.exitCode, 1);
        EXPECT_TRUE(exported.err.contains(QStringLiteral("est l'historique lui-même"))) << exported.err.toStdString();
    }
    EXPECT_EQ(readBytes(db), before);
    EXPECT_TRUE(cli({ "history", "--database", db }).out.contains("Courses : 1\n"));
    // Another name in the same folder is an ordinary export.
    EXPECT_EQ(cli({ "history", "--export", dir.filePath(QStringLiteral("h.txt")), "--database", db }).exitCode, 0);

    const QString nowhere = dir.filePath(QStringLiteral("nosuch/x.sqlite"));
    const CliRun listed = cli({ "history", "--database", nowhere });
    EXPECT_EQ(listed.exitCode, 1);
    EXPECT_TRUE(listed.err.contains(QStringLiteral("n'existe pas"))) << listed.err.toStdString();
    EXPECT_TRUE(listed.out.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("nosuch"))));
}

// Amounts too large for the history are refused in French, never listed as a negative or an
// exponent: a race past the bounds when it is recorded, totals past 64-bit cents when listed.
TEST(HistoryCli, AmountsPastTheBoundsAreRefusedAndTotalsThatWouldOverflowToo)
{
    QTemporaryDir dir;
    const QString tickets = dir.filePath(QStringLiteral("jeu.txt"));
    writeBytes(tickets, kTickets);
    const QString db = dir.filePath(QStringLiteral("h.sqlite"));
    const CliRun huge = cli({ "compare", "-a", kArrival, "--payouts", "0,0,0,0,0,0,0,0,9000000000000,0", "--record",
        "Énorme", "--multiplier", "10000", "--database", db, tickets });
    EXPECT_EQ(huge.exitCode, 1);
    EXPECT_TRUE(huge.err.contains(QStringLiteral("dépassent ce que l'historique garde"))) << huge.err.toStdString();

    // Two races a file could hold, each within 64 bits, whose sum is not.
    ASSERT_EQ(cli({ "compare", "-a", kArrival, "--payouts", kPayouts, "--record", "A", "--date", "2026-03-14",
                      "--database", db, tickets })
                  .exitCode,
        0);
    ASSERT_EQ(cli({ "compare", "-a", kArrival, "--payouts", kPayouts, "--record", "B", "--date", "2026-03-15",
                      "--database", db, tickets })
                  .exitCode,
        0);
    {
        QSqlDatabase raw = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("raw-overflow"));
        raw.setDatabaseName(db);
        ASSERT_TRUE(raw.open());
        QSqlQuery q(raw);
        ASSERT_TRUE(q.exec(QStringLiteral("UPDATE races SET won_cents = 9000000000000000000, balance_cents = 0")));
    }
    QSqlDatabase::removeDatabase(QStringLiteral("raw-overflow"));
    const CliRun listed = cli({ "history", "--database", db });
    EXPECT_EQ(listed.exitCode, 1);
    EXPECT_TRUE(listed.err.contains(QStringLiteral("dépassent ce que l'historique peut compter")))
        << listed.err.toStdString();
    EXPECT_FALSE(listed.out.contains("Gains : -")) << listed.out.toStdString();
    EXPECT_FALSE(listed.out.contains("e+")) << listed.out.toStdString();
}
