#include "history/race_history.h"

#include "history/history_schema.h"
#include "history/sqlite_reason.h"

#include "combi/game_cost.h"
#include "model/settings_file.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QThread>
#include <QVariant>

#include <algorithm>
#include <atomic>
#include <limits>
#include <unordered_map>

namespace mvx {

namespace {

const QString kDriver = QStringLiteral("QSQLITE");
// Long enough for another copy of the program to finish its write; a write waits for the
// other one instead of failing.
constexpr int kBusyTimeoutMs = 10000;
const QString kBudgetKey = QStringLiteral("monthly_budget_cents");

const char *const kRaceColumns = "id, race_date, name, bet, source, catalogue_system, with_conditions, selection, "
                                 "tickets, multiplier, stake_cents, won_cents, refunded_tickets, refund_cents, "
                                 "balance_cents";

QString isoDate(const QDate &date)
{
    return date.toString(Qt::ISODate);
}

QString selectionText(const std::vector<int> &horses)
{
    QStringList parts;
    for (int h : horses)
        parts.append(QString::number(h));
    // Never a null text, which SQL would take for NULL.
    return parts.isEmpty() ? QStringLiteral("") : parts.join(QLatin1Char(','));
}

std::vector<int> selectionFromText(const QString &text)
{
    std::vector<int> horses;
    for (const QString &part : text.split(QLatin1Char(','), Qt::SkipEmptyParts))
        horses.push_back(part.toInt());
    return horses;
}

template <typename T> bool succeeded(const HistoryResult<T> &result)
{
    return result.ok();
}
bool succeeded(const std::optional<QString> &failure)
{
    return !failure;
}

// Whether the last failure of this thread's history was a lock held elsewhere.
thread_local bool lastFailureWasBusy = false;

// SQLite gives up on a lock without waiting for the busy timeout in a few cases (a file being
// switched to WAL by another connection, a read lock that cannot become a write lock without a
// deadlock): the whole transaction is then tried again, for as long as the busy timeout.
template <typename Attempt> auto untilNotBusy(Attempt attempt) -> decltype(attempt())
{
    const QDeadlineTimer deadline(kBusyTimeoutMs);
    for (int tries = 1;; ++tries) {
        lastFailureWasBusy = false;
        auto result = attempt();
        if (succeeded(result) || !lastFailureWasBusy || deadline.hasExpired())
            return result;
        QThread::msleep(std::min(5 * tries, 50));
    }
}

// What SQLite said, in French; notes whether it was a lock held elsewhere.
QString reason(const QSqlError &error, const QString &path)
{
    lastFailureWasBusy = isBusyError(error);
    return sqliteReason(error, path);
}

const QString kTotalTooLarge = QStringLiteral("un total dépasse ce que l'historique peut compter");

QString quotedPath(const QString &path)
{
    return QStringLiteral("« %1 »").arg(QDir::toNativeSeparators(path));
}

QString goesOnWithout()
{
    return QStringLiteral(" Le fichier est laissé tel quel et le programme continue sans l'historique.");
}

QString writeFailure(const QString &path, const QSqlError &error)
{
    return QStringLiteral("L'historique des courses n'a pas pu être mis à jour : %1.").arg(reason(error, path));
}

QString readFailure(const QString &path, const QSqlError &error)
{
    return QStringLiteral("L'historique des courses n'a pas pu être lu : %1.").arg(reason(error, path));
}

// One transaction. A write takes the write lock at once (BEGIN IMMEDIATE), so that two writers
// queue on the busy timeout instead of one failing when it upgrades a read lock; a read takes
// one snapshot for all its statements, so it sees whole races. Rolled back unless committed.
class Transaction
{
public:
    enum Kind
    {
        Read,
        Write
    };
    Transaction(QSqlDatabase &db, Kind kind)
        : db_(db)
    {
        QSqlQuery q(db_);
        begun_ = q.exec(kind == Write ? QStringLiteral("BEGIN IMMEDIATE") : QStringLiteral("BEGIN"));
        if (!begun_)
            error_ = q.lastError();
    }
    ~Transaction()
    {
        if (begun_)
            QSqlQuery(db_).exec(QStringLiteral("ROLLBACK"));
    }
    bool begun() const { return begun_; }
    const QSqlError &error() const { return error_; }
    bool commit()
    {
        QSqlQuery q(db_);
        if (!q.exec(QStringLiteral("COMMIT"))) {
            error_ = q.lastError();
            return false;
        }
        begun_ = false;
        return true;
    }

private:
    QSqlDatabase &db_;
    bool begun_ = false;
    QSqlError error_;
};

// The WHERE clause of a filter over the races table and its values, in order.
struct FilterClause
{
    QString sql;
    QVariantList values;
};

FilterClause whereClause(const RaceFilter &filter)
{
    QStringList terms;
    FilterClause clause;
    if (filter.from) {
        terms.append(QStringLiteral("race_date >= ?"));
        clause.values.append(isoDate(*filter.from));
    }
    if (filter.to) {
        terms.append(QStringLiteral("race_date <= ?"));
        clause.values.append(isoDate(*filter.to));
    }
    if (!filter.bets.empty()) {
        QStringList marks;
        for (const Bet &bet : filter.bets) {
            marks.append(QStringLiteral("?"));
            clause.values.append(betStorageCode(bet));
        }
        terms.append(QStringLiteral("bet IN (%1)").arg(marks.join(QLatin1Char(','))));
    }
    if (!terms.isEmpty())
        clause.sql = QStringLiteral(" WHERE ") + terms.join(QStringLiteral(" AND "));
    return clause;
}

bool run(QSqlQuery &q, const QString &sql, const QVariantList &values = {})
{
    if (!q.prepare(sql))
        return false;
    for (const QVariant &v : values)
        q.addBindValue(v);
    return q.exec();
}

RaceRecord raceFromRow(const QSqlQuery &q)
{
    RaceRecord race;
    race.id = q.value(0).toLongLong();
    race.date = QDate::fromString(q.value(1).toString(), Qt::ISODate);
    race.name = q.value(2).toString();
    race.bet = betFromStorageCode(q.value(3).toInt()).value_or(Bet { Bet::Kind::Tierce, 3 });
    const int source = q.value(4).toInt();
    race.making.source = source >= 1 && source <= 4 ? TicketOrigin(source) : TicketOrigin::OpenedFile;
    race.making.catalogueSystem = q.value(5).toInt();
    race.making.withConditions = q.value(6).toBool();
    race.selection = selectionFromText(q.value(7).toString());
    race.tickets = q.value(8).toLongLong();
    race.multiplier = q.value(9).toLongLong();
    race.stakeCents = q.value(10).toLongLong();
    race.wonCents = q.value(11).toLongLong();
    race.refundedTickets = q.value(12).toLongLong();
    race.refundCents = q.value(13).toLongLong();
    race.balanceCents = q.value(14).toLongLong();
    return race;
}

} // namespace

QString defaultHistoryPath()
{
    QString base = qEnvironmentVariable("XDG_DATA_HOME");
    if (base.isEmpty() || !QDir::isAbsolutePath(base))
        base = QDir::homePath() + QStringLiteral("/.local/share");
    return base + QStringLiteral("/marovellix/mes-courses.sqlite");
}

std::optional<double> HistoryTotals::returnPercent() const
{
    if (stakedCents <= 0)
        return std::nullopt;
    return 100.0 * double(wonCents) / double(stakedCents);
}

HistoryTotals totalsOf(const std::vector<RaceRecord> &races)
{
    HistoryTotals totals;
    for (const RaceRecord &race : races) {
        const bool overflow = __builtin_add_overflow(totals.races, 1, &totals.races)
            || __builtin_add_overflow(totals.tickets, race.tickets, &totals.tickets)
            || __builtin_add_overflow(totals.stakedCents, race.stakeCents, &totals.stakedCents)
            || __builtin_add_overflow(totals.wonCents, race.wonCents, &totals.wonCents)
            || __builtin_add_overflow(totals.refundCents, race.refundCents, &totals.refundCents)
            || __builtin_add_overflow(totals.balanceCents, race.balanceCents, &totals.balanceCents);
        if (overflow) {
            totals = HistoryTotals {};
            totals.overflow = true;
            return totals;
        }
    }
    return totals;
}

QString budgetLine(std::int64_t budgetCents, std::int64_t stakedCents, std::int64_t gameCents)
{
    return QStringLiteral("Budget du mois : %1 dont %2 déjà joués ; ce jeu : %3")
        .arg(frenchEuroText(budgetCents), frenchEuroText(stakedCents), frenchEuroText(gameCents));
}

QString budgetOverrunLine(std::int64_t budgetCents, std::int64_t stakedCents, std::int64_t gameCents)
{
    if (stakedCents > budgetCents)
        return QStringLiteral("Le budget du mois est déjà dépassé de %1 ; ce jeu y ajoute %2.")
            .arg(frenchEuroText(stakedCents - budgetCents), frenchEuroText(gameCents));
    // In 128 bits: a budget near the top of 64-bit cents and a large game do not wrap.
    const __int128 over = __int128(stakedCents) + gameCents - budgetCents;
    if (over <= 0)
        return QString();
    const std::int64_t shown = over > std::numeric_limits<std::int64_t>::max()
        ? std::numeric_limits<std::int64_t>::max()
        : std::int64_t(over);
    return QStringLiteral("Ce jeu dépasse le budget du mois de %1.").arg(frenchEuroText(shown));
}

RaceHistory::RaceHistory(const QString &path)
    : path_(path.isEmpty() ? defaultHistoryPath() : path)
{
    static std::atomic<quint64> histories { 0 };
    connectionName_ = QStringLiteral("marovellix-history-%1").arg(histories.fetch_add(1) + 1);
    openError_ = open();
    if (openError_ && db_.isOpen())
        db_.close();
}

RaceHistory::~RaceHistory()
{
    if (db_.isValid()) {
        db_.close();
        db_ = QSqlDatabase();
        QSqlDatabase::removeDatabase(connectionName_);
    }
}

std::optional<QString> RaceHistory::open()
{
    const QString where = quotedPath(path_);
    if (!QSqlDatabase::isDriverAvailable(kDriver))
        return QStringLiteral("L'historique des courses ne peut pas être ouvert : le pilote SQLite de Qt est absent "
                              "(paquet libqt6sql6-sqlite). Le programme continue sans l'historique.");

    // Anything but a SQLite file is left alone before SQLite is given a chance to touch it.
    const QFileInfo info(path_);
    if (info.exists()) {
        if (!info.isFile())
            return QStringLiteral("L'historique des courses %1 n'est pas un fichier.").arg(where) + goesOnWithout();
        QFile file(path_);
        if (!file.open(QIODevice::ReadOnly))
            return QStringLiteral("L'historique des courses %1 ne peut pas être lu : le fichier ne peut pas être "
                                  "ouvert en lecture.")
                       .arg(where)
                + goesOnWithout();
        const QByteArray header = file.read(16);
        if (!header.isEmpty() && header != QByteArray("SQLite format 3\0", 16))
            return QStringLiteral("Le fichier %1 n'est pas un historique des courses (ce n'est pas une base SQLite).")
                       .arg(where)
                + goesOnWithout();
    } else if (!QFileInfo(info.absolutePath()).isDir()) {
        // Only the user's own history gets its folder made: another name whose folder does not
        // exist is a mistake in the name.
        const bool usersOwn = QDir::cleanPath(info.absoluteFilePath())
            == QDir::cleanPath(QFileInfo(defaultHistoryPath()).absoluteFilePath());
        if (!usersOwn)
            return QStringLiteral("Le dossier de l'historique des courses %1 n'existe pas.")
                .arg(quotedPath(info.absolutePath()));
        if (!QDir().mkpath(info.absolutePath()))
            return QStringLiteral("Le dossier de l'historique des courses %1 ne peut pas être créé. Le programme "
                                  "continue sans l'historique.")
                .arg(quotedPath(info.absolutePath()));
    }

    db_ = QSqlDatabase::addDatabase(kDriver, connectionName_);
    db_.setDatabaseName(path_);
    db_.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(kBusyTimeoutMs));
    if (!db_.open())
        return QStringLiteral("L'historique des courses %1 ne peut pas être ouvert : %2.")
                   .arg(where, reason(db_.lastError(), path_))
            + goesOnWithout();

    // A lock held by another copy that SQLite would not wait for (a file being made or switched
    // to WAL) is waited for here; a damaged file is reported at once.
    return untilNotBusy([&]() -> std::optional<QString> {
        // Read-only checks first: a damaged file, one of a newer program or of another program
        // is not written to.
        QSqlQuery q(db_);
        const auto damaged = [&](const QSqlError &error) {
            const int code = error.nativeErrorCode().toInt() & 0xff;
            if (code == 26) // SQLITE_NOTADB
                return QStringLiteral(
                           "Le fichier %1 n'est pas un historique des courses (ce n'est pas une base SQLite).")
                           .arg(where)
                    + goesOnWithout();
            if (code == 11) // SQLITE_CORRUPT
                return QStringLiteral("L'historique des courses %1 est endommagé.").arg(where) + goesOnWithout();
            return QStringLiteral("L'historique des courses %1 ne peut pas être ouvert : %2.")
                       .arg(where, reason(error, path_))
                + goesOnWithout();
        };
        const HistoryFileCheck check = checkHistoryFile(db_);
        switch (check.state) {
        case HistoryFileState::New:
        case HistoryFileState::Marked:
        case HistoryFileState::Unmarked:
            break;
        case HistoryFileState::Foreign:
            return QStringLiteral(
                       "Le fichier %1 n'est pas un historique des courses (c'est la base d'un autre programme).")
                       .arg(where)
                + goesOnWithout();
        case HistoryFileState::Newer:
            return QStringLiteral(
                       "L'historique des courses %1 vient d'une version plus récente du programme (version %2 "
                       "du fichier, celui-ci connaît jusqu'à la version %3).")
                       .arg(where)
                       .arg(check.version)
                       .arg(kHistorySchemaVersion)
                + goesOnWithout();
        case HistoryFileState::UnknownVersion:
            return QStringLiteral("L'historique des courses %1 porte une version inconnue (%2).")
                       .arg(where)
                       .arg(check.version)
                + goesOnWithout();
        case HistoryFileState::WrongTables:
            return QStringLiteral(
                       "L'historique des courses %1 n'a pas les tables d'un historique des courses de sa version.")
                       .arg(where)
                + goesOnWithout();
        case HistoryFileState::Damaged:
            return QStringLiteral("L'historique des courses %1 est endommagé.").arg(where) + goesOnWithout();
        case HistoryFileState::Unreadable:
            return damaged(check.error);
        }
        unmarked_ = check.state != HistoryFileState::Marked;

        // A reader in another copy of the program then sees the last whole write while this one writes.
        std::optional<QString> failed;
        if (!q.exec(QStringLiteral("PRAGMA journal_mode=WAL")))
            failed = reason(q.lastError(), path_);
        q.finish();
        if (!failed)
            failed = migrate();
        if (failed)
            return QStringLiteral("L'historique des courses %1 ne peut pas être préparé : %2.").arg(where, *failed)
                + goesOnWithout();
        return std::nullopt;
    });
}

std::optional<QString> RaceHistory::migrate()
{
    QSqlQuery q(db_);
    if (!q.exec(QStringLiteral("PRAGMA user_version")) || !q.next())
        return reason(q.lastError(), path_);
    if (q.value(0).toInt() == kHistorySchemaVersion)
        return std::nullopt;
    q.finish();
    // Another copy may be bringing the same file up to date: the version is read again under
    // the write lock.
    Transaction t(db_, Transaction::Write);
    if (!t.begun())
        return reason(t.error(), path_);
    if (!q.exec(QStringLiteral("PRAGMA user_version")) || !q.next())
        return reason(q.lastError(), path_);
    const int version = q.value(0).toInt();
    q.finish();
    if (version > kHistorySchemaVersion || version < 0)
        return QStringLiteral("une version plus récente du programme l'a modifié");
    for (int step = version; step < kHistorySchemaVersion; ++step) {
        for (const QString &statement : historySchemaStep(step)) {
            if (!q.exec(statement))
                return reason(q.lastError(), path_);
        }
    }
    if (!q.exec(QStringLiteral("PRAGMA user_version = %1").arg(kHistorySchemaVersion))
        || !q.exec(QStringLiteral("PRAGMA application_id = %1").arg(kHistoryApplicationId)) || !t.commit())
        return reason(q.lastError().isValid() ? q.lastError() : t.error(), path_);
    unmarked_ = false;
    return std::nullopt;
}

// A history written before the mark gets it with its first write, inside that write's
// transaction.
bool RaceHistory::markOnWrite(QSqlError &error)
{
    if (!unmarked_)
        return true;
    QSqlQuery q(db_);
    // The mark goes in with this write's transaction.
    if (q.exec(QStringLiteral("PRAGMA application_id = %1").arg(kHistoryApplicationId))) {
        unmarked_ = false;
        return true;
    }
    error = q.lastError();
    return false;
}

template <typename T> HistoryResult<T> RaceHistory::unavailable() const
{
    HistoryResult<T> result;
    result.error = openError_.value_or(QString());
    return result;
}

namespace {

QString alreadyRecorded(const RaceKey &key)
{
    return QStringLiteral("Une course du %1 s'appelle déjà « %2 ».")
        .arg(key.date.toString(QStringLiteral("dd/MM/yyyy")), key.name.trimmed());
}

QString refusedRace(const RaceRecord &race)
{
    if (race.name.trimmed().isEmpty())
        return QStringLiteral("La course doit avoir un nom.");
    if (!race.date.isValid())
        return QStringLiteral("La course doit avoir une date.");
    const auto within
        = [](std::int64_t cents) { return cents >= -kMostRaceAmountCents && cents <= kMostRaceAmountCents; };
    bool fits = within(race.stakeCents) && within(race.wonCents) && within(race.refundCents)
        && within(race.balanceCents) && race.multiplier >= 1 && race.multiplier <= kMostMultiplier && race.tickets >= 0
        && race.tickets <= kMostRaceAmountCents && race.refundedTickets >= 0
        && race.refundedTickets <= kMostRaceAmountCents;
    for (const CategoryWinnings &w : race.winnings)
        fits = fits && within(w.amountCents) && w.count >= 0 && w.count <= kMostRaceAmountCents;
    if (!fits)
        return QStringLiteral("Les montants de cette course dépassent ce que l'historique garde (%1 au plus par "
                              "montant, un multiplicateur de 1 à %2).")
            .arg(frenchEuroText(kMostRaceAmountCents))
            .arg(kMostMultiplier);
    return QString();
}

// Writes one race inside a write transaction: its row inserted or, for a date and name already
// there, updated, and its winnings replaced. Its id, or nothing with `error` set.
std::optional<std::int64_t> writeRace(QSqlDatabase &db, const RaceRecord &race, QSqlError &error)
{
    const QString name = race.name.trimmed();
    QSqlQuery q(db);
    if (!run(
            q, QStringLiteral("SELECT id FROM races WHERE race_date = ? AND name = ?"), { isoDate(race.date), name })) {
        error = q.lastError();
        return std::nullopt;
    }
    std::int64_t id = q.next() ? q.value(0).toLongLong() : 0;
    q.finish();
    const QVariantList values { isoDate(race.date), name, betStorageCode(race.bet), int(race.making.source),
        race.making.catalogueSystem, race.making.withConditions ? 1 : 0, selectionText(race.selection),
        qlonglong(race.tickets), qlonglong(race.multiplier), qlonglong(race.stakeCents), qlonglong(race.wonCents),
        qlonglong(race.refundedTickets), qlonglong(race.refundCents), qlonglong(race.balanceCents) };
    bool written = false;
    if (id != 0) {
        QVariantList withId = values;
        withId.append(qlonglong(id));
        written = run(q,
                      QStringLiteral(
                          "UPDATE races SET race_date = ?, name = ?, bet = ?, source = ?, catalogue_system = ?, "
                          "with_conditions = ?, selection = ?, tickets = ?, multiplier = ?, stake_cents = ?, "
                          "won_cents = ?, refunded_tickets = ?, refund_cents = ?, balance_cents = ? WHERE id = ?"),
                      withId)
            && run(q, QStringLiteral("DELETE FROM winnings WHERE race_id = ?"), { qlonglong(id) });
    } else {
        written = run(q,
            QStringLiteral("INSERT INTO races (race_date, name, bet, source, catalogue_system, with_conditions, "
                           "selection, tickets, multiplier, stake_cents, won_cents, refunded_tickets, "
                           "refund_cents, balance_cents) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
            values);
        id = q.lastInsertId().toLongLong();
    }
    written = written
        && q.prepare(QStringLiteral(
            "INSERT INTO winnings (race_id, position, label, count, amount_cents) VALUES (?, ?, ?, ?, ?)"));
    for (std::size_t i = 0; written && i < race.winnings.size(); ++i) {
        const CategoryWinnings &w = race.winnings[i];
        q.addBindValue(qlonglong(id));
        q.addBindValue(qlonglong(i));
        q.addBindValue(w.label.isNull() ? QStringLiteral("") : w.label);
        q.addBindValue(qlonglong(w.count));
        q.addBindValue(qlonglong(w.amountCents));
        written = q.exec();
    }
    if (!written) {
        error = q.lastError();
        return std::nullopt;
    }
    return id;
}

} // namespace

HistoryResult<std::int64_t> RaceHistory::store(const RaceRecord &race, IfRecorded ifRecorded)
{
    if (openError_)
        return unavailable<std::int64_t>();
    return untilNotBusy([&] {
        HistoryResult<std::int64_t> result;
        result.error = refusedRace(race);
        if (!result.ok())
            return result;
        Transaction t(db_, Transaction::Write);
        QSqlError markError;
        if (t.begun() && !markOnWrite(markError)) {
            result.error = writeFailure(path_, markError);
            return result;
        }
        QSqlError error = t.error();
        if (t.begun() && ifRecorded == IfRecorded::Refuse) {
            QSqlQuery q(db_);
            if (!run(q, QStringLiteral("SELECT 1 FROM races WHERE race_date = ? AND name = ?"),
                    { isoDate(race.date), race.name.trimmed() })) {
                result.error = writeFailure(path_, q.lastError());
                return result;
            }
            if (q.next()) {
                result.error = alreadyRecorded(race.key());
                return result;
            }
        }
        const std::optional<std::int64_t> id = t.begun() ? writeRace(db_, race, error) : std::nullopt;
        if (!id || !t.commit()) {
            result.error = writeFailure(path_, id ? t.error() : error);
            return result;
        }
        result.value = *id;
        return result;
    });
}

HistoryResult<bool> RaceHistory::store(const std::vector<RaceRecord> &races)
{
    if (openError_)
        return unavailable<bool>();
    return untilNotBusy([&] {
        HistoryResult<bool> result;
        for (const RaceRecord &race : races) {
            result.error = refusedRace(race);
            if (!result.ok())
                return result;
        }
        Transaction t(db_, Transaction::Write);
        QSqlError markError;
        if (t.begun() && !markOnWrite(markError)) {
            result.error = writeFailure(path_, markError);
            return result;
        }
        QSqlError error = t.error();
        bool written = t.begun();
        for (std::size_t i = 0; written && i < races.size(); ++i)
            written = writeRace(db_, races[i], error).has_value();
        if (!written || !t.commit()) {
            result.error = writeFailure(path_, written ? t.error() : error);
            return result;
        }
        result.value = true;
        return result;
    });
}

HistoryResult<bool> RaceHistory::rename(std::int64_t id, const RaceKey &to)
{
    if (openError_)
        return unavailable<bool>();
    return untilNotBusy([&] {
        HistoryResult<bool> result;
        const QString name = to.name.trimmed();
        if (name.isEmpty() || !to.date.isValid()) {
            result.error = name.isEmpty() ? QStringLiteral("La course doit avoir un nom.")
                                          : QStringLiteral("La course doit avoir une date.");
            return result;
        }
        Transaction t(db_, Transaction::Write);
        QSqlError markError;
        if (t.begun() && !markOnWrite(markError)) {
            result.error = writeFailure(path_, markError);
            return result;
        }
        if (!t.begun()) {
            result.error = writeFailure(path_, t.error());
            return result;
        }
        QSqlQuery q(db_);
        if (!run(q, QStringLiteral("SELECT id FROM races WHERE race_date = ? AND name = ?"),
                { isoDate(to.date), name })) {
            result.error = writeFailure(path_, q.lastError());
            return result;
        }
        if (q.next() && q.value(0).toLongLong() != id) {
            result.error = QStringLiteral("Une autre course du %1 s'appelle déjà « %2 ».")
                               .arg(to.date.toString(QStringLiteral("dd/MM/yyyy")), name);
            return result;
        }
        q.finish();
        if (!run(q, QStringLiteral("UPDATE races SET race_date = ?, name = ? WHERE id = ?"),
                { isoDate(to.date), name, qlonglong(id) })) {
            result.error = writeFailure(path_, q.lastError());
            return result;
        }
        result.value = q.numRowsAffected() > 0;
        if (!t.commit())
            result.error = writeFailure(path_, t.error());
        return result;
    });
}

HistoryResult<bool> RaceHistory::rename(const RaceKey &from, const RaceKey &to)
{
    const HistoryResult<std::optional<RaceRecord>> found = race(from);
    if (!found.ok())
        return { false, found.error };
    if (!found.value)
        return { false, QString() };
    return rename(found.value->id, to);
}

HistoryResult<bool> RaceHistory::remove(std::int64_t id)
{
    if (openError_)
        return unavailable<bool>();
    return untilNotBusy([&] {
        HistoryResult<bool> result;
        Transaction t(db_, Transaction::Write);
        QSqlError markError;
        if (t.begun() && !markOnWrite(markError)) {
            result.error = writeFailure(path_, markError);
            return result;
        }
        QSqlQuery q(db_);
        if (!t.begun() || !run(q, QStringLiteral("DELETE FROM winnings WHERE race_id = ?"), { qlonglong(id) })
            || !run(q, QStringLiteral("DELETE FROM races WHERE id = ?"), { qlonglong(id) })) {
            result.error = writeFailure(path_, t.begun() ? q.lastError() : t.error());
            return result;
        }
        result.value = q.numRowsAffected() > 0;
        if (!t.commit())
            result.error = writeFailure(path_, t.error());
        return result;
    });
}

HistoryResult<bool> RaceHistory::remove(const RaceKey &key)
{
    if (openError_)
        return unavailable<bool>();
    return untilNotBusy([&] {
        HistoryResult<bool> result;
        Transaction t(db_, Transaction::Write);
        QSqlError markError;
        if (t.begun() && !markOnWrite(markError)) {
            result.error = writeFailure(path_, markError);
            return result;
        }
        QSqlQuery q(db_);
        const QString idOfKey = QStringLiteral("(SELECT id FROM races WHERE race_date = ? AND name = ?)");
        const QVariantList values { isoDate(key.date), key.name.trimmed() };
        if (!t.begun() || !run(q, QStringLiteral("DELETE FROM winnings WHERE race_id = ") + idOfKey, values)
            || !run(q, QStringLiteral("DELETE FROM races WHERE id = ") + idOfKey, values)) {
            result.error = writeFailure(path_, t.begun() ? q.lastError() : t.error());
            return result;
        }
        result.value = q.numRowsAffected() > 0;
        if (!t.commit())
            result.error = writeFailure(path_, t.error());
        return result;
    });
}

HistoryResult<std::vector<RaceRecord>> RaceHistory::races(const RaceFilter &filter)
{
    if (openError_)
        return unavailable<std::vector<RaceRecord>>();
    return untilNotBusy([&] {
        HistoryResult<std::vector<RaceRecord>> result;
        Transaction t(db_, Transaction::Read);
        if (!t.begun()) {
            result.error = readFailure(path_, t.error());
            return result;
        }
        const FilterClause where = whereClause(filter);
        QSqlQuery q(db_);
        q.setForwardOnly(true);
        if (!run(q,
                QStringLiteral("SELECT %1 FROM races%2 ORDER BY race_date, id")
                    .arg(QString::fromLatin1(kRaceColumns), where.sql),
                where.values)) {
            result.error = readFailure(path_, q.lastError());
            return result;
        }
        std::unordered_map<std::int64_t, std::size_t> indexOfId;
        while (q.next()) {
            result.value.push_back(raceFromRow(q));
            indexOfId.emplace(result.value.back().id, result.value.size() - 1);
        }
        if (q.lastError().isValid()) {
            result.error = readFailure(path_, q.lastError());
            result.value.clear();
            return result;
        }
        if (!run(q,
                QStringLiteral("SELECT race_id, label, count, amount_cents FROM winnings WHERE race_id IN "
                               "(SELECT id FROM races%1) ORDER BY race_id, position")
                    .arg(where.sql),
                where.values)) {
            result.error = readFailure(path_, q.lastError());
            result.value.clear();
            return result;
        }
        while (q.next()) {
            const auto i = indexOfId.find(q.value(0).toLongLong());
            if (i != indexOfId.end())
                result.value[i->second].winnings.push_back(
                    { q.value(1).toString(), q.value(2).toLongLong(), q.value(3).toLongLong() });
        }
        return result;
    });
}

HistoryResult<std::optional<RaceRecord>> RaceHistory::race(const RaceKey &key)
{
    if (openError_)
        return unavailable<std::optional<RaceRecord>>();
    return untilNotBusy([&] {
        HistoryResult<std::optional<RaceRecord>> result;
        Transaction t(db_, Transaction::Read);
        QSqlQuery q(db_);
        if (!t.begun()
            || !run(q,
                QStringLiteral("SELECT %1 FROM races WHERE race_date = ? AND name = ?")
                    .arg(QString::fromLatin1(kRaceColumns)),
                { isoDate(key.date), key.name.trimmed() })) {
            result.error = readFailure(path_, t.begun() ? q.lastError() : t.error());
            return result;
        }
        if (!q.next())
            return result;
        RaceRecord found = raceFromRow(q);
        if (!run(q,
                QStringLiteral("SELECT label, count, amount_cents FROM winnings WHERE race_id = ? ORDER BY position"),
                { qlonglong(found.id) })) {
            result.error = readFailure(path_, q.lastError());
            return result;
        }
        while (q.next())
            found.winnings.push_back({ q.value(0).toString(), q.value(1).toLongLong(), q.value(2).toLongLong() });
        result.value = std::move(found);
        return result;
    });
}

HistoryResult<HistoryTotals> RaceHistory::totals(const RaceFilter &filter)
{
    if (openError_)
        return unavailable<HistoryTotals>();
    return untilNotBusy([&] {
        HistoryResult<HistoryTotals> result;
        const FilterClause where = whereClause(filter);
        QSqlQuery q(db_);
        if (!run(q,
                QStringLiteral("SELECT COUNT(*), SUM(tickets), SUM(stake_cents), SUM(won_cents), SUM(refund_cents), "
                               "SUM(balance_cents) FROM races")
                    + where.sql,
                where.values)
            || !q.next()) {
            result.error = readFailure(path_, q.lastError());
            return result;
        }
        result.value.races = q.value(0).toLongLong();
        result.value.tickets = q.value(1).toLongLong();
        result.value.stakedCents = q.value(2).toLongLong();
        result.value.wonCents = q.value(3).toLongLong();
        result.value.refundCents = q.value(4).toLongLong();
        result.value.balanceCents = q.value(5).toLongLong();
        return result;
    });
}

HistoryResult<std::vector<Bet>> RaceHistory::playedBets()
{
    if (openError_)
        return unavailable<std::vector<Bet>>();
    return untilNotBusy([&] {
        HistoryResult<std::vector<Bet>> result;
        QSqlQuery q(db_);
        q.setForwardOnly(true);
        if (!run(q, QStringLiteral("SELECT DISTINCT bet FROM races"))) {
            result.error = readFailure(path_, q.lastError());
            return result;
        }
        std::vector<int> codes;
        while (q.next())
            codes.push_back(q.value(0).toInt());
        for (const Bet &bet : allBets())
            if (std::find(codes.begin(), codes.end(), betStorageCode(bet)) != codes.end())
                result.value.push_back(bet);
        return result;
    });
}

HistoryResult<std::vector<BalancePoint>> RaceHistory::balanceSeries(const RaceFilter &filter)
{
    if (openError_)
        return unavailable<std::vector<BalancePoint>>();
    return untilNotBusy([&] {
        HistoryResult<std::vector<BalancePoint>> result;
        const FilterClause where = whereClause(filter);
        QSqlQuery q(db_);
        q.setForwardOnly(true);
        if (!run(q,
                QStringLiteral(
                    "SELECT race_date, SUM(balance_cents) FROM races%1 GROUP BY race_date ORDER BY race_date")
                    .arg(where.sql),
                where.values)) {
            result.error = readFailure(path_, q.lastError());
            return result;
        }
        std::int64_t cumulative = 0;
        while (q.next()) {
            if (__builtin_add_overflow(cumulative, q.value(1).toLongLong(), &cumulative)) {
                result.value.clear();
                result.error = QStringLiteral("L'historique des courses n'a pas pu être lu : %1.").arg(kTotalTooLarge);
                return result;
            }
            result.value.push_back({ QDate::fromString(q.value(0).toString(), Qt::ISODate), cumulative });
        }
        return result;
    });
}

HistoryResult<std::optional<std::int64_t>> RaceHistory::monthlyBudget()
{
    if (openError_)
        return unavailable<std::optional<std::int64_t>>();
    return untilNotBusy([&] {
        HistoryResult<std::optional<std::int64_t>> result;
        QSqlQuery q(db_);
        if (!run(q, QStringLiteral("SELECT value FROM settings WHERE key = ?"), { kBudgetKey })) {
            result.error = readFailure(path_, q.lastError());
            return result;
        }
        if (q.next()) {
            bool ok = false;
            const qlonglong cents = q.value(0).toString().toLongLong(&ok);
            if (ok && cents >= 0)
                result.value = cents;
        }
        return result;
    });
}

HistoryResult<bool> RaceHistory::setMonthlyBudget(std::optional<std::int64_t> cents)
{
    if (openError_)
        return unavailable<bool>();
    return untilNotBusy([&] {
        HistoryResult<bool> result;
        if (cents && *cents < 0) {
            result.error = QStringLiteral("Le budget du mois ne peut pas être négatif.");
            return result;
        }
        Transaction t(db_, Transaction::Write);
        QSqlError markError;
        if (t.begun() && !markOnWrite(markError)) {
            result.error = writeFailure(path_, markError);
            return result;
        }
        QSqlQuery q(db_);
        const bool written = t.begun()
            && (cents ? run(q, QStringLiteral("INSERT OR REPLACE INTO settings (key, value) VALUES (?, ?)"),
                    { kBudgetKey, QString::number(*cents) })
                      : run(q, QStringLiteral("DELETE FROM settings WHERE key = ?"), { kBudgetKey }));
        if (!written || !t.commit()) {
            result.error = writeFailure(path_, !t.begun() || written ? t.error() : q.lastError());
            return result;
        }
        result.value = true;
        return result;
    });
}

HistoryResult<BudgetCheck> RaceHistory::checkBudget(
    const QDate &day, std::int64_t gameCents, const std::optional<RaceKey> &game)
{
    if (openError_)
        return unavailable<BudgetCheck>();
    return untilNotBusy([&] {
        HistoryResult<BudgetCheck> result;
        const HistoryResult<std::optional<std::int64_t>> budget = monthlyBudget();
        if (!budget.ok()) {
            result.error = budget.error;
            return result;
        }
        const QDate first(day.year(), day.month(), 1);
        QString sql = QStringLiteral("SELECT SUM(stake_cents) FROM races WHERE race_date >= ? AND race_date <= ?");
        QVariantList values { isoDate(first), isoDate(first.addMonths(1).addDays(-1)) };
        if (game) {
            sql += QStringLiteral(" AND NOT (race_date = ? AND name = ?)");
            values << isoDate(game->date) << game->name.trimmed();
        }
        QSqlQuery q(db_);
        if (!run(q, sql, values) || !q.next()) {
            result.error = readFailure(path_, q.lastError());
            return result;
        }
        BudgetCheck &check = result.value;
        check.budgetCents = budget.value;
        check.stakedCents = q.value(0).toLongLong();
        check.gameCents = gameCents;
        if (check.budgetCents) {
            check.line = budgetLine(*check.budgetCents, check.stakedCents, gameCents);
            check.overrun = budgetOverrunLine(*check.budgetCents, check.stakedCents, gameCents);
        }
        return result;
    });
}

} // namespace mvx
