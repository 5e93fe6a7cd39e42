// The history of races on a real SQLite file: stored, updated, renamed and deleted races, sums
// checked by hand, the first schema brought up to date, damaged files left alone, two writers
// at once and the monthly budget.

#include "history/race_history.h"

#include "support/test_data.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <limits>
#include <random>

using namespace mvx;
using mvx::testing::readBytes;
using mvx::testing::writeBytes;

namespace {

RaceRecord raceOf(
    const QDate &date, const QString &name, Bet bet, std::int64_t stake, std::int64_t won, std::int64_t refund = 0)
{
    RaceRecord race;
    race.date = date;
    race.name = name;
    race.bet = bet;
    race.tickets = stake / 100;
    race.stakeCents = stake;
    race.wonCents = won;
    race.refundCents = refund;
    race.balanceCents = raceBalanceCents(stake, won, refund);
    return race;
}

// Runs statements on a file through a connection of its own, the way another program would.
void runSql(const QString &path, const QStringList &statements)
{
    const QString name = QStringLiteral("raw-%1").arg(quintptr(&path));
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        ASSERT_TRUE(db.open());
        QSqlQuery q(db);
        for (const QString &s : statements)
            ASSERT_TRUE(q.exec(s)) << s.toStdString();
    }
    QSqlDatabase::removeDatabase(name);
}

// A PRAGMA's value read through a connection of its own.
qint64 pragmaOf(const QString &path, const char *pragma)
{
    const QString name = QStringLiteral("pragma-%1").arg(quintptr(&path));
    qint64 value = -1;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        if (db.open()) {
            QSqlQuery q(db);
            if (q.exec(QStringLiteral("PRAGMA %1").arg(QLatin1String(pragma))) && q.next())
                value = q.value(0).toLongLong();
        }
    }
    QSqlDatabase::removeDatabase(name);
    return value;
}

QString pragmaText(const QString &path, const char *pragma)
{
    const QString name = QStringLiteral("pragma-text-%1").arg(quintptr(&path));
    QString value;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        if (db.open()) {
            QSqlQuery q(db);
            if (q.exec(QStringLiteral("PRAGMA %1").arg(QLatin1String(pragma))) && q.next())
                value = q.value(0).toString();
        }
    }
    QSqlDatabase::removeDatabase(name);
    return value;
}

int userVersion(const QString &path)
{
    const QString name = QStringLiteral("version-%1").arg(quintptr(&path));
    int version = -1;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        if (db.open()) {
            QSqlQuery q(db);
            if (q.exec(QStringLiteral("PRAGMA user_version")) && q.next())
                version = q.value(0).toInt();
        }
    }
    QSqlDatabase::removeDatabase(name);
    return version;
}

} // namespace

TEST(RaceHistory, ARaceIsStoredUpdatedRenamedAndDeletedByItsDateAndName)
{
    QTemporaryDir dir;
    // The user's own history gets its folder on first use; another file's folder must exist.
    const QString path = dir.filePath(QStringLiteral("marovellix/mes-courses.sqlite"));
    const QByteArray dataHome = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", QFile::encodeName(dir.path()));
    EXPECT_TRUE(RaceHistory(dir.filePath(QStringLiteral("ailleurs/h.sqlite"))).error());
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("ailleurs"))));
    ASSERT_EQ(defaultHistoryPath(), path);
    RaceHistory history;
    qputenv("XDG_DATA_HOME", dataHome);
    ASSERT_FALSE(history.error()) << history.error()->toStdString();
    EXPECT_TRUE(QFile::exists(path));

    RaceRecord race = raceOf(QDate(2026, 3, 14), QStringLiteral("Vincennes R1C4"), *classicBet(5), 2400, 0);
    race.making = { TicketOrigin::CatalogueSystem, 12, true };
    race.selection = { 7, 3, 12, 1, 9, 14 };
    race.winnings = { { QStringLiteral("Bonus 4"), 2, 1260 }, { QStringLiteral("Bonus 3"), 5, 1750 } };
    race.wonCents = 3010;
    race.balanceCents = raceBalanceCents(race.stakeCents, race.wonCents, 0);
    const HistoryResult<std::int64_t> first = history.store(race);
    ASSERT_TRUE(first.ok()) << first.error.toStdString();
    race.id = first.value;
    HistoryResult<std::vector<RaceRecord>> listed = history.races();
    ASSERT_EQ(listed.value.size(), 1u);
    EXPECT_EQ(listed.value[0], race);

    // Stored again under the same date and name: the same race, its winnings replaced.
    race.refundedTickets = 2;
    race.refundCents = 400;
    race.winnings = { { QStringLiteral("Quinté désordre"), 1, 41250 } };
    race.wonCents = 41250;
    race.balanceCents = raceBalanceCents(race.stakeCents, race.wonCents, race.refundCents);
    race.name = QStringLiteral("  Vincennes R1C4 "); // the name typed with blanks around it is the same name
    const HistoryResult<std::int64_t> again = history.store(race);
    EXPECT_EQ(again.value, first.value);
    race.name = QStringLiteral("Vincennes R1C4");
    listed = history.races();
    ASSERT_EQ(listed.value.size(), 1u);
    EXPECT_EQ(listed.value[0], race);
    EXPECT_EQ(listed.value[0].balanceCents, 41250 + 400 - 2400);

    // A second race; renaming the first onto it is refused, renaming elsewhere keeps the race.
    const RaceRecord other = raceOf(QDate(2026, 3, 15), QStringLiteral("Auteuil"), *classicBet(3), 300, 0);
    ASSERT_TRUE(history.store(other).ok());
    const HistoryResult<bool> clash = history.rename(race.key(), other.key());
    EXPECT_FALSE(clash.ok());
    EXPECT_TRUE(clash.error.contains(QStringLiteral("s'appelle déjà « Auteuil »"))) << clash.error.toStdString();
    const RaceKey renamed { QDate(2026, 3, 16), QStringLiteral("Vincennes, le bon") };
    const HistoryResult<bool> moved = history.rename(race.key(), renamed);
    EXPECT_TRUE(moved.ok() && moved.value);
    const HistoryResult<std::optional<RaceRecord>> found = history.race(renamed);
    ASSERT_TRUE(found.value);
    EXPECT_EQ(found.value->id, race.id);
    EXPECT_EQ(found.value->winnings, race.winnings);
    EXPECT_FALSE(history.race(race.key()).value);
    EXPECT_TRUE(history.rename(first.value, renamed).value); // to its own date and name
    EXPECT_FALSE(history.rename(std::int64_t(999), RaceKey { QDate(2026, 1, 1), QStringLiteral("x") }).value);

    // Listed oldest first; deleted by key and by id, its winnings with it.
    listed = history.races();
    ASSERT_EQ(listed.value.size(), 2u);
    EXPECT_EQ(listed.value[0].name, QStringLiteral("Auteuil"));
    EXPECT_TRUE(history.remove(renamed).value);
    EXPECT_FALSE(history.remove(renamed).value);
    EXPECT_TRUE(history.remove(listed.value[0].id).value);
    EXPECT_TRUE(history.races().value.empty());
    const QString raw = QStringLiteral("raw-count");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), raw);
        db.setDatabaseName(path);
        ASSERT_TRUE(db.open());
        QSqlQuery q(db);
        ASSERT_TRUE(q.exec(QStringLiteral("SELECT COUNT(*) FROM winnings")) && q.next());
        EXPECT_EQ(q.value(0).toInt(), 0);
    }
    QSqlDatabase::removeDatabase(raw);

    // Nameless or dateless races are refused.
    EXPECT_FALSE(history.store(raceOf(QDate(2026, 3, 14), QStringLiteral(" "), *classicBet(3), 100, 0)).ok());
    EXPECT_FALSE(history.store(raceOf(QDate(), QStringLiteral("x"), *classicBet(3), 100, 0)).ok());
}

TEST(RaceHistory, FiltersTotalsSeriesAndExportAgreeWithSumsMadeByHand)
{
    QTemporaryDir dir;
    RaceHistory history(dir.filePath(QStringLiteral("h.sqlite")));
    ASSERT_FALSE(history.error());
    const std::vector<RaceRecord> races {
        raceOf(QDate(2026, 1, 31), QStringLiteral("Janvier"), *classicBet(5), 6000, 0),
        raceOf(QDate(2026, 2, 1), QStringLiteral("Février 1"), *classicBet(3), 1200, 4530),
        raceOf(QDate(2026, 2, 1), QStringLiteral("Février 2; le soir"), *classicBet(4), 2600, 0, 130),
        raceOf(QDate(2026, 2, 28), QStringLiteral("Fin février"), *classicBet(3), 800, 250),
        raceOf(QDate(2026, 3, 1), QStringLiteral("Mars"), *classicBet(2), 1500, 9000),
    };
    for (const RaceRecord &r : races)
        ASSERT_TRUE(history.store(r).ok());

    // February: 1200 + 2600 + 800 staked, 4530 + 0 + 250 won, 130 refunded.
    const RaceFilter february { QDate(2026, 2, 1), QDate(2026, 2, 28), {} };
    const HistoryTotals t = history.totals(february).value;
    EXPECT_EQ(t.races, 3);
    EXPECT_EQ(t.stakedCents, 4600);
    EXPECT_EQ(t.wonCents, 4780);
    EXPECT_EQ(t.refundCents, 130);
    EXPECT_EQ(t.balanceCents, 4780 + 130 - 4600);
    ASSERT_TRUE(t.returnPercent());
    EXPECT_NEAR(*t.returnPercent(), 103.913, 0.001);
    const std::vector<RaceRecord> listedInFebruary = history.races(february).value;
    EXPECT_EQ(listedInFebruary.size(), 3u);
    const HistoryTotals summed = totalsOf(listedInFebruary);
    EXPECT_EQ(summed.balanceCents, t.balanceCents);
    EXPECT_EQ(summed.wonCents, t.wonCents);

    const RaceFilter tierce { std::nullopt, std::nullopt, { *classicBet(3) } };
    const std::vector<RaceRecord> tierces = history.races(tierce).value;
    ASSERT_EQ(tierces.size(), 2u);
    EXPECT_EQ(tierces[0].name, QStringLiteral("Février 1"));
    EXPECT_EQ(history.totals(tierce).value.balanceCents, (4530 - 1200) + (250 - 800));
    EXPECT_FALSE(history.totals(RaceFilter { QDate(2027, 1, 1), std::nullopt, {} }).value.returnPercent());

    // One point per day, the two races of 1 February together.
    const std::vector<BalancePoint> series = history.balanceSeries().value;
    const std::vector<BalancePoint> expected {
        { QDate(2026, 1, 31), -6000 },
        { QDate(2026, 2, 1), -6000 + 3330 - 2470 },
        { QDate(2026, 2, 28), -6000 + 3330 - 2470 - 550 },
        { QDate(2026, 3, 1), -6000 + 3330 - 2470 - 550 + 7500 },
    };
    EXPECT_EQ(series, expected);

    const QString file = dir.filePath(QStringLiteral("courses.txt"));
    ASSERT_TRUE(writeRaceExport(file, history.races(february).value));
    EXPECT_EQ(readBytes(file),
        QStringLiteral("DATE;NOM;PARI;TICKETS;MISE;GAINS;REMBOURSEMENT;BILAN;\r\n"
                       "01/02/2026;Février 1;Tiercé;12;12,00;45,30;0,00;33,30;\r\n"
                       "01/02/2026;\"Février 2; le soir\";Quarté+;26;26,00;0,00;1,30;-24,70;\r\n"
                       "28/02/2026;Fin février;Tiercé;8;8,00;2,50;0,00;-5,50;\r\n")
            .toLocal8Bit());
}

TEST(RaceHistory, AFileOfTheFirstSchemaIsBroughtUpToDateWithItsRaces)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("v1.sqlite"));
    // The first schema as the first version of the program wrote it.
    runSql(path,
        { QStringLiteral("CREATE TABLE races (id INTEGER PRIMARY KEY, race_date TEXT NOT NULL, name TEXT NOT NULL, "
                         "bet INTEGER NOT NULL, source INTEGER NOT NULL, catalogue_system INTEGER NOT NULL DEFAULT 0, "
                         "with_conditions INTEGER NOT NULL DEFAULT 0, selection TEXT NOT NULL DEFAULT '', "
                         "tickets INTEGER NOT NULL, multiplier INTEGER NOT NULL DEFAULT 1, stake_cents INTEGER NOT "
                         "NULL, won_cents INTEGER NOT NULL, refunded_tickets INTEGER NOT NULL DEFAULT 0, "
                         "refund_cents INTEGER NOT NULL DEFAULT 0, balance_cents INTEGER NOT NULL, "
                         "UNIQUE (race_date, name))"),
            QStringLiteral("CREATE TABLE winnings (race_id INTEGER NOT NULL REFERENCES races (id) ON DELETE CASCADE, "
                           "position INTEGER NOT NULL, label TEXT NOT NULL, count INTEGER NOT NULL, amount_cents "
                           "INTEGER NOT NULL, PRIMARY KEY (race_id, position))"),
            QStringLiteral("INSERT INTO races VALUES (7, '2025-11-02', 'Longchamp', 4, 2, 0, 1, '1,2,3,4,5', 5, 2, "
                           "1300, 5000, 0, 0, 3700)"),
            QStringLiteral("INSERT INTO winnings VALUES (7, 0, 'Bonus', 2, 5000)"),
            QStringLiteral("PRAGMA user_version = 1") });

    RaceHistory history(path);
    ASSERT_FALSE(history.error()) << history.error()->toStdString();
    const std::vector<RaceRecord> races = history.races().value;
    ASSERT_EQ(races.size(), 1u);
    EXPECT_EQ(races[0].id, 7);
    EXPECT_EQ(races[0].name, QStringLiteral("Longchamp"));
    EXPECT_EQ(races[0].bet, *classicBet(4));
    EXPECT_EQ(races[0].making, (TicketMaking { TicketOrigin::Generator, 0, true }));
    EXPECT_EQ(races[0].selection, (std::vector<int> { 1, 2, 3, 4, 5 }));
    EXPECT_EQ(races[0].winnings, (std::vector<CategoryWinnings> { { QStringLiteral("Bonus"), 2, 5000 } }));
    // The second version's budget works on the migrated file, and it stays at the new version.
    EXPECT_TRUE(history.setMonthlyBudget(5000).ok());
    EXPECT_EQ(history.monthlyBudget().value, std::optional<std::int64_t>(5000));
    EXPECT_EQ(userVersion(path), kHistorySchemaVersion);
    RaceHistory reopened(path);
    EXPECT_FALSE(reopened.error());
    EXPECT_EQ(reopened.monthlyBudget().value, std::optional<std::int64_t>(5000));
}

TEST(RaceHistory, ADamagedOrNewerFileIsReportedInFrenchAndLeftByteForByte)
{
    QTemporaryDir dir;
    // A real history, cut in half.
    const QString full = dir.filePath(QStringLiteral("full.sqlite"));
    {
        RaceHistory history(full);
        ASSERT_FALSE(history.error());
        for (int i = 0; i < 400; ++i) {
            RaceRecord race = raceOf(QDate(2026, 1, 1).addDays(i % 300), QStringLiteral("Course %1").arg(i),
                *classicBet(5), 2000 + i, 100 * i);
            race.winnings = { { QStringLiteral("Bonus 3"), i, 10 * i } };
            ASSERT_TRUE(history.store(race).ok());
        }
    }
    QByteArray whole = readBytes(full);
    ASSERT_GT(whole.size(), 40000);
    const QString truncated = dir.filePath(QStringLiteral("truncated.sqlite"));
    writeBytes(truncated, whole.left(whole.size() / 2));

    const QString noise = dir.filePath(QStringLiteral("noise.sqlite"));
    std::mt19937 random(7);
    QByteArray bytes(8192, '\0');
    for (char &b : bytes)
        b = char(random());
    writeBytes(noise, bytes);

    const QString newer = dir.filePath(QStringLiteral("newer.sqlite"));
    runSql(newer,
        { QStringLiteral("CREATE TABLE future (x)"), QStringLiteral("PRAGMA user_version = 99"),
            QStringLiteral("PRAGMA application_id = %1").arg(kHistoryApplicationId) });

    const QString foreign = dir.filePath(QStringLiteral("foreign.sqlite"));
    runSql(foreign, { QStringLiteral("CREATE TABLE contacts (name TEXT)") });

    const std::pair<QString, QString> cases[] {
        { foreign, QStringLiteral("la base d'un autre programme") },
        { truncated, QStringLiteral("est endommagé") },
        { noise, QStringLiteral("n'est pas un historique des courses") },
        { newer, QStringLiteral("version plus récente du programme") },
    };
    for (const auto &[path, words] : cases) {
        const QByteArray before = readBytes(path);
        {
            RaceHistory history(path);
            ASSERT_TRUE(history.error()) << path.toStdString();
            EXPECT_TRUE(history.error()->contains(words)) << history.error()->toStdString();
            EXPECT_TRUE(history.error()->contains(QStringLiteral("continue sans l'historique")));
            const HistoryResult<std::int64_t> stored
                = history.store(raceOf(QDate(2026, 5, 1), QStringLiteral("x"), *classicBet(3), 100, 0));
            EXPECT_FALSE(stored.ok());
            EXPECT_EQ(stored.error, *history.error());
            EXPECT_FALSE(history.setMonthlyBudget(100).ok());
            EXPECT_TRUE(history.races().value.empty());
        }
        EXPECT_EQ(readBytes(path), before) << path.toStdString();
        EXPECT_FALSE(QFile::exists(path + QStringLiteral("-wal")));
        EXPECT_FALSE(QFile::exists(path + QStringLiteral("-journal")));
    }
}

// Only a history is ever written: another program's SQLite file is refused whatever its
// version, and left byte for byte; a history written before the mark is taken, and marked when
// it is next written.
TEST(RaceHistory, OnlyAHistoryIsTakenAndAnotherProgramsFileIsLeftByteForByte)
{
    QTemporaryDir dir;
    int n = 0;
    for (const qint64 version : { 0LL, 1LL, 2LL, -1LL, -2147483648LL }) {
        const QString path = dir.filePath(QStringLiteral("autre-%1.sqlite").arg(++n));
        // Tables of another program; at versions 1 and 2, a "races" table that is not ours.
        runSql(path,
            { QStringLiteral("CREATE TABLE races (id INTEGER PRIMARY KEY, horse TEXT)"),
                QStringLiteral("INSERT INTO races (horse) VALUES ('Ourasi')"),
                QStringLiteral("PRAGMA user_version = %1").arg(version) });
        const QByteArray before = readBytes(path);
        {
            RaceHistory history(path);
            ASSERT_TRUE(history.error()) << version;
            EXPECT_TRUE(history.error()->contains(QStringLiteral("la base d'un autre programme")))
                << history.error()->toStdString();
            EXPECT_FALSE(history.store(raceOf(QDate(2026, 5, 1), QStringLiteral("x"), *classicBet(3), 100, 0)).ok());
        }
        EXPECT_EQ(readBytes(path), before) << version;
        EXPECT_FALSE(QFile::exists(path + QStringLiteral("-wal")));
    }
    // A history's tables with one column more, and a history's file marked but at a version
    // no program writes.
    const QString extra = dir.filePath(QStringLiteral("extra.sqlite"));
    QStringList steps = historySchemaStep(0) + historySchemaStep(1);
    steps << QStringLiteral("ALTER TABLE races ADD COLUMN owner TEXT") << QStringLiteral("PRAGMA user_version = 2");
    runSql(extra, steps);
    const QString negative = dir.filePath(QStringLiteral("negative.sqlite"));
    runSql(negative,
        { QStringLiteral("PRAGMA application_id = %1").arg(kHistoryApplicationId),
            QStringLiteral("PRAGMA user_version = -2") });
    for (const QString &path : { extra, negative }) {
        const QByteArray before = readBytes(path);
        EXPECT_TRUE(RaceHistory(path).error()) << path.toStdString();
        EXPECT_EQ(readBytes(path), before);
    }

    // A history written before the mark, at each version: taken, brought up to date, marked.
    for (int version = 1; version <= kHistorySchemaVersion; ++version) {
        const QString older = dir.filePath(QStringLiteral("avant-%1.sqlite").arg(version));
        QStringList made;
        for (int step = 0; step < version; ++step)
            made += historySchemaStep(step);
        made << QStringLiteral("PRAGMA user_version = %1").arg(version);
        runSql(older, made);
        RaceHistory history(older);
        ASSERT_FALSE(history.error()) << history.error()->toStdString();
        EXPECT_TRUE(history.races().ok());
        ASSERT_TRUE(history.store(raceOf(QDate(2026, 5, 1), QStringLiteral("x"), *classicBet(3), 100, 0)).ok());
        EXPECT_EQ(pragmaOf(older, "application_id"), kHistoryApplicationId);
        EXPECT_EQ(pragmaOf(older, "user_version"), kHistorySchemaVersion);
    }
}

// An index that no longer matches its table passes SQLite's quick check but not the full one:
// such a file is refused, and not written.
TEST(RaceHistory, AHistoryWhoseIndexNoLongerMatchesItsTableIsNeverWritten)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("index.sqlite"));
    {
        RaceHistory history(path);
        ASSERT_FALSE(history.error());
        ASSERT_TRUE(history.store(raceOf(QDate(2026, 5, 1), QStringLiteral("Vincennes"), *classicBet(3), 100, 0)).ok());
    }
    ASSERT_FALSE(QFile::exists(path + QStringLiteral("-wal"))) << "the log is folded in when the history closes";
    const qint64 root = [&] {
        qint64 page = -1;
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("root"));
            db.setDatabaseName(path);
            db.open();
            QSqlQuery q(db);
            if (q.exec(QStringLiteral("SELECT rootpage FROM sqlite_master WHERE name = 'sqlite_autoindex_races_1'"))
                && q.next())
                page = q.value(0).toLongLong();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("root"));
        return page;
    }();
    ASSERT_GT(root, 0);
    QByteArray bytes = readBytes(path);
    const qsizetype pageSize = 4096;
    const qsizetype at = bytes.indexOf("Vincennes", (root - 1) * pageSize);
    ASSERT_TRUE(at >= (root - 1) * pageSize && at < root * pageSize);
    bytes[at + 8] = 'z'; // the index's copy of the name only
    writeBytes(path, bytes);
    ASSERT_EQ(pragmaText(path, "quick_check"), QStringLiteral("ok"));

    {
        RaceHistory history(path);
        ASSERT_TRUE(history.error());
        EXPECT_TRUE(history.error()->contains(QStringLiteral("est endommagé"))) << history.error()->toStdString();
        EXPECT_FALSE(history.store(raceOf(QDate(2026, 5, 2), QStringLiteral("x"), *classicBet(3), 100, 0)).ok());
    }
    EXPECT_EQ(readBytes(path), bytes);
}

// The bounds of a race's amounts, and sums checked rather than wrapped.
TEST(RaceHistory, AmountsPastTheBoundsAreRefusedAndTotalsThatDoNotFitSaySo)
{
    QTemporaryDir dir;
    RaceHistory history(dir.filePath(QStringLiteral("h.sqlite")));
    ASSERT_FALSE(history.error());
    EXPECT_TRUE(
        history.store(raceOf(QDate(2026, 5, 1), QStringLiteral("max"), *classicBet(3), 100, kMostRaceAmountCents))
            .ok());
    const HistoryResult<std::int64_t> refused = history.store(
        raceOf(QDate(2026, 5, 2), QStringLiteral("trop"), *classicBet(3), 100, kMostRaceAmountCents + 1));
    EXPECT_FALSE(refused.ok());
    EXPECT_TRUE(refused.error.contains(QStringLiteral("dépassent ce que l'historique garde")))
        << refused.error.toStdString();
    EXPECT_EQ(history.races().value.size(), 1u);

    RaceRecord big = raceOf(QDate(2026, 5, 1), QStringLiteral("a"), *classicBet(3), 0, 0);
    big.wonCents = std::numeric_limits<std::int64_t>::max() / 2 + 1;
    const HistoryTotals wrapped = totalsOf({ big, big });
    EXPECT_TRUE(wrapped.overflow);
    EXPECT_FALSE(totalsOf({ big }).overflow);
    EXPECT_EQ(totalsOf({ big }).wonCents, big.wonCents);

    // The same in the file: the totals and the balance series refuse, in French.
    runSql(history.path(),
        { QStringLiteral("INSERT INTO races (race_date, name, bet, source, tickets, stake_cents, won_cents, "
                         "balance_cents) VALUES ('2026-05-03', 'b', 3, 4, 1, 0, %1, %1)")
                .arg(big.wonCents),
            QStringLiteral("INSERT INTO races (race_date, name, bet, source, tickets, stake_cents, won_cents, "
                           "balance_cents) VALUES ('2026-05-04', 'c', 3, 4, 1, 0, %1, %1)")
                .arg(big.wonCents) });
    const HistoryResult<HistoryTotals> totals = history.totals();
    EXPECT_FALSE(totals.ok());
    EXPECT_TRUE(totals.error.contains(QStringLiteral("un total dépasse"))) << totals.error.toStdString();
    const HistoryResult<std::vector<BalancePoint>> series = history.balanceSeries();
    EXPECT_FALSE(series.ok());
    EXPECT_TRUE(series.value.empty());
}

TEST(RaceHistory, TwoWritersInTwoThreadsBothLand)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("shared.sqlite"));
    constexpr int kEach = 60;
    const auto writer = [&](int who, std::vector<QString> *errors) {
        RaceHistory history(path);
        if (history.error()) {
            errors->push_back(*history.error());
            return;
        }
        for (int i = 0; i < kEach; ++i) {
            RaceRecord race = raceOf(QDate(2026, 6, 1 + i % 28), QStringLiteral("Écurie %1 n°%2").arg(who).arg(i),
                *classicBet(3), 100 * (i + 1), 0);
            race.winnings = { { QStringLiteral("Tiercé désordre"), 1, 50 }, { QStringLiteral("Bonus"), 1, 25 } };
            const HistoryResult<std::int64_t> stored = history.store(race);
            if (!stored.ok())
                errors->push_back(stored.error);
            // The other writer's races are whole whenever this one reads.
            for (const RaceRecord &r : history.races().value)
                if (r.winnings.size() != 2)
                    errors->push_back(QStringLiteral("partial race ") + r.name);
        }
    };
    std::vector<QString> errorsA, errorsB;
    // Qt's own threads: a database connection's per-thread data goes with its thread.
    const std::unique_ptr<QThread> a(QThread::create(writer, 1, &errorsA));
    const std::unique_ptr<QThread> b(QThread::create(writer, 2, &errorsB));
    a->start();
    b->start();
    a->wait();
    b->wait();
    EXPECT_TRUE(errorsA.empty()) << errorsA.front().toStdString();
    EXPECT_TRUE(errorsB.empty()) << errorsB.front().toStdString();
    RaceHistory history(path);
    const HistoryTotals t = history.totals().value;
    EXPECT_EQ(t.races, 2 * kEach);
    EXPECT_EQ(t.stakedCents, 2 * 100 * kEach * (kEach + 1) / 2);
}

TEST(RaceHistory, TheBudgetLineCountsTheMonthAndNeverTheGameTwice)
{
    EXPECT_EQ(budgetLine(12000, 8400, 6000),
        QStringLiteral("Budget du mois : 120,00 € dont 84,00 € déjà joués ; ce jeu : 60,00 €"));
    EXPECT_EQ(budgetOverrunLine(12000, 8400, 6000), QStringLiteral("Ce jeu dépasse le budget du mois de 24,00 €."));
    EXPECT_EQ(budgetOverrunLine(12000, 8400, 3600), QString());
    EXPECT_EQ(budgetOverrunLine(12000, 13000, 500),
        QStringLiteral("Le budget du mois est déjà dépassé de 10,00 € ; ce jeu y ajoute 5,00 €."));

    QTemporaryDir dir;
    RaceHistory history(dir.filePath(QStringLiteral("b.sqlite")));
    ASSERT_FALSE(history.error());
    const QDate day(2026, 4, 18);
    // No budget: the numbers but no line.
    HistoryResult<BudgetCheck> check = history.checkBudget(day, 6000);
    ASSERT_TRUE(check.ok());
    EXPECT_FALSE(check.value.budgetCents);
    EXPECT_TRUE(check.value.line.isEmpty());

    ASSERT_TRUE(history.setMonthlyBudget(12000).ok());
    ASSERT_TRUE(history.store(raceOf(QDate(2026, 4, 1), QStringLiteral("a"), *classicBet(5), 6000, 0)).ok());
    ASSERT_TRUE(history.store(raceOf(QDate(2026, 4, 30), QStringLiteral("b"), *classicBet(3), 2400, 900)).ok());
    ASSERT_TRUE(history.store(raceOf(QDate(2026, 3, 31), QStringLiteral("c"), *classicBet(3), 5000, 0)).ok());
    ASSERT_TRUE(history.store(raceOf(QDate(2026, 5, 1), QStringLiteral("d"), *classicBet(3), 5000, 0)).ok());
    check = history.checkBudget(day, 6000);
    EXPECT_EQ(check.value.stakedCents, 8400);
    EXPECT_EQ(check.value.line, QStringLiteral("Budget du mois : 120,00 € dont 84,00 € déjà joués ; ce jeu : 60,00 €"));
    EXPECT_EQ(check.value.overrun, QStringLiteral("Ce jeu dépasse le budget du mois de 24,00 €."));

    // The game once recorded is not counted again against itself.
    ASSERT_TRUE(history.store(raceOf(day, QStringLiteral("ce jeu"), *classicBet(5), 6000, 0)).ok());
    check = history.checkBudget(day, 6000, RaceKey { day, QStringLiteral("ce jeu") });
    EXPECT_EQ(check.value.stakedCents, 8400);
    EXPECT_EQ(history.checkBudget(day, 0).value.stakedCents, 14400);

    ASSERT_TRUE(history.setMonthlyBudget(std::nullopt).ok());
    EXPECT_FALSE(history.monthlyBudget().value);
}

TEST(RaceHistory, TheFileIsUnderXdgDataHomeWhenItIsAnAbsolutePath)
{
    const QByteArray saved = qgetenv("XDG_DATA_HOME");
    const bool wasSet = qEnvironmentVariableIsSet("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", "/srv/data");
    EXPECT_EQ(defaultHistoryPath(), QStringLiteral("/srv/data/marovellix/mes-courses.sqlite"));
    const QString home = QDir::homePath() + QStringLiteral("/.local/share/marovellix/mes-courses.sqlite");
    qputenv("XDG_DATA_HOME", "relative/data");
    EXPECT_EQ(defaultHistoryPath(), home);
    qunsetenv("XDG_DATA_HOME");
    EXPECT_EQ(defaultHistoryPath(), home);
    if (wasSet)
        qputenv("XDG_DATA_HOME", saved);
}

TEST(RaceRecord, EveryBetIsStoredUnderACodeOfItsOwnTheFourOfOldUnderTheirTicketSize)
{
    std::vector<int> codes;
    for (const Bet &bet : allBets()) {
        const int code = betStorageCode(bet);
        EXPECT_EQ(betFromStorageCode(code), bet) << betCliName(bet).toStdString();
        // Older histories hold 2..5 for the couplé, tiercé, quarté+ and quinté+ alone.
        EXPECT_EQ(code >= 2 && code <= 5, isClassicBet(bet)) << code;
        EXPECT_EQ(std::count(codes.begin(), codes.end(), code), 0) << code;
        codes.push_back(code);
    }
    EXPECT_EQ(betStorageCode(*classicBet(3)), 3);
    EXPECT_FALSE(betFromStorageCode(6));
    EXPECT_FALSE(betFromStorageCode(1));
}

TEST(RaceRecord, AFilterTakesTheToolsBetNamesAndTheFormsOfOld)
{
    using K = Bet::Kind;
    const std::vector<Bet> multi5 { Bet { K::Multi, 5 } };
    EXPECT_EQ(betsFromText(QStringLiteral("multi5")), multi5);
    EXPECT_EQ(betsFromText(QStringLiteral("Multi en 5")), multi5);
    const std::vector<Bet> trio { Bet { K::Trio, 3 } };
    const std::vector<Bet> quinte { *classicBet(5) };
    const std::vector<Bet> quarte { *classicBet(4) };
    const std::vector<Bet> couple { *classicBet(2) };
    EXPECT_EQ(betsFromText(QStringLiteral("trio")), trio);
    EXPECT_EQ(betsFromText(QStringLiteral("Quinté+")), quinte);
    EXPECT_EQ(betsFromText(QStringLiteral("quinte")), quinte);
    EXPECT_EQ(betsFromText(QStringLiteral(" 4 ")), quarte);
    // The tool's "couple" is the couplé of old alone; the French "couplé" and the size 2 take
    // every couplé.
    EXPECT_EQ(betsFromText(QStringLiteral("couple")), couple);
    const std::vector<Bet> everyCouple { *classicBet(2), Bet { K::CoupleWinner, 2 }, Bet { K::CouplePlaced, 2 },
        Bet { K::CoupleInOrder, 2 } };
    EXPECT_EQ(betsFromText(QStringLiteral("Couplé")), everyCouple);
    EXPECT_EQ(betsFromText(QStringLiteral("2")), everyCouple);
    EXPECT_TRUE(betsFromText(QStringLiteral("6")).empty());
    EXPECT_TRUE(betsFromText(QStringLiteral("multi8")).empty());
    EXPECT_TRUE(betsFromText(QString()).empty());
}

TEST(RaceHistory, ARaceOfANewBetIsKeptFilteredAndListedBesideTheRacesOfOld)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("h.sqlite"));
    const Bet multi6 { Bet::Kind::Multi, 6 };
    const Bet coupleWinner { Bet::Kind::CoupleWinner, 2 };
    {
        RaceHistory history(path);
        ASSERT_FALSE(history.error());
        ASSERT_TRUE(history
                        .store({ raceOf(QDate(2026, 6, 1), QStringLiteral("a"), *classicBet(2), 300, 0),
                            raceOf(QDate(2026, 6, 2), QStringLiteral("b"), multi6, 4500, 0),
                            raceOf(QDate(2026, 6, 3), QStringLiteral("c"), coupleWinner, 600, 1830),
                            raceOf(QDate(2026, 6, 4), QStringLiteral("d"), Bet { Bet::Kind::Multi, 5 }, 1500, 0) })
                        .ok());
    }
    RaceHistory history(path);
    ASSERT_FALSE(history.error());
    const std::vector<RaceRecord> multis = history.races({ std::nullopt, std::nullopt, { multi6 } }).value;
    ASSERT_EQ(multis.size(), 1u);
    EXPECT_EQ(multis[0].name, QStringLiteral("b"));
    EXPECT_EQ(multis[0].bet, multi6);
    const RaceFilter couples { std::nullopt, std::nullopt, betsFromText(QStringLiteral("couplé")) };
    EXPECT_EQ(history.totals(couples).value.races, 2);
    EXPECT_EQ(history.totals(couples).value.balanceCents, -300 + 1830 - 600);
    const std::vector<Bet> played { *classicBet(2), coupleWinner, Bet { Bet::Kind::Multi, 5 }, multi6 };
    std::vector<Bet> listed = history.playedBets().value;
    std::sort(listed.begin(), listed.end(), [](Bet a, Bet b) { return betStorageCode(a) < betStorageCode(b); });
    std::vector<Bet> expected = played;
    std::sort(expected.begin(), expected.end(), [](Bet a, Bet b) { return betStorageCode(a) < betStorageCode(b); });
    EXPECT_EQ(listed, expected);
}

TEST(RaceRecord, AComparisonIsRecordedWithItsStakeAndWinningsTimesTheMultiplier)
{
    WinCounts counts {};
    counts[std::size_t(WinCategory::TierceInOrder) - 1] = 1;
    counts[std::size_t(WinCategory::TierceAnyOrder) - 1] = 3;
    Payouts payouts {};
    payouts[8] = 150.5; // tiercé ordre
    payouts[9] = 30.1; // tiercé désordre
    const std::optional<RaceRecord> race = raceFromComparison(3, 120, 100, 2, counts, payouts);
    ASSERT_TRUE(race);
    EXPECT_EQ(race->bet, *classicBet(3));
    EXPECT_EQ(race->stakeCents, 24000);
    EXPECT_EQ(race->wonCents, (15050 + 3 * 3010) * 2);
    EXPECT_EQ(race->balanceCents, (15050 + 3 * 3010) * 2 - 24000);
    const std::vector<CategoryWinnings> expected { { QStringLiteral("Tierce ordre"), 1, 30100 },
        { QStringLiteral("Tiercé désordre"), 3, 18060 } };
    EXPECT_EQ(race->winnings, expected);
    EXPECT_FALSE(raceFromComparison(6, 120, 100, 2, counts, payouts));
    EXPECT_EQ(
        ticketMakingText({ TicketOrigin::CatalogueSystem, 12, true }), QStringLiteral("Système 12 avec conditions"));
}
