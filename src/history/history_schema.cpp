#include "history/history_schema.h"

#include <QSqlQuery>
#include <QVariant>

#include <atomic>
#include <vector>

namespace mvx {

namespace {

// Step i brings a file of version i to version i + 1.
const char *const kSchemaSteps[] = {
    // 1: the races and what each category won.
    "CREATE TABLE races ("
    " id INTEGER PRIMARY KEY,"
    " race_date TEXT NOT NULL," // yyyy-MM-dd, so that text order is date order
    " name TEXT NOT NULL,"
    " bet INTEGER NOT NULL," // betStorageCode: the ticket size for the four bets of old
    " source INTEGER NOT NULL,"
    " catalogue_system INTEGER NOT NULL DEFAULT 0,"
    " with_conditions INTEGER NOT NULL DEFAULT 0,"
    " selection TEXT NOT NULL DEFAULT ''," // "3,7,12"
    " tickets INTEGER NOT NULL,"
    " multiplier INTEGER NOT NULL DEFAULT 1,"
    " stake_cents INTEGER NOT NULL,"
    " won_cents INTEGER NOT NULL,"
    " refunded_tickets INTEGER NOT NULL DEFAULT 0,"
    " refund_cents INTEGER NOT NULL DEFAULT 0,"
    " balance_cents INTEGER NOT NULL,"
    " UNIQUE (race_date, name));"
    "CREATE TABLE winnings ("
    " race_id INTEGER NOT NULL REFERENCES races (id) ON DELETE CASCADE,"
    " position INTEGER NOT NULL,"
    " label TEXT NOT NULL,"
    " count INTEGER NOT NULL,"
    " amount_cents INTEGER NOT NULL,"
    " PRIMARY KEY (race_id, position));",
    // 2: the punter's settings, the monthly budget first.
    "CREATE TABLE settings ("
    " key TEXT PRIMARY KEY,"
    " value TEXT NOT NULL);",
};
static_assert(std::size(kSchemaSteps) == kHistorySchemaVersion);

// The shape of each version, made once in a database in memory by the steps themselves.
std::vector<SchemaShape> shapesOfEveryVersion()
{
    static std::atomic<int> made { 0 };
    const QString connection = QStringLiteral("marovellix-history-shape-%1").arg(made.fetch_add(1));
    std::vector<SchemaShape> shapes(kHistorySchemaVersion + 1);
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(QStringLiteral(":memory:"));
        if (db.open()) {
            QSqlQuery q(db);
            for (int version = 0; version < kHistorySchemaVersion; ++version) {
                for (const QString &statement : historySchemaStep(version))
                    q.exec(statement);
                QSqlError error;
                shapes[std::size_t(version) + 1] = schemaShapeOf(db, error).value_or(SchemaShape {});
            }
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(connection);
    return shapes;
}

} // namespace

QStringList historySchemaStep(int version)
{
    if (version < 0 || version >= kHistorySchemaVersion)
        return {};
    return QString::fromUtf8(kSchemaSteps[version]).split(QLatin1Char(';'), Qt::SkipEmptyParts);
}

const SchemaShape &historySchemaShape(int version)
{
    static const std::vector<SchemaShape> shapes = shapesOfEveryVersion();
    static const SchemaShape none;
    return version >= 1 && version <= kHistorySchemaVersion ? shapes[std::size_t(version)] : none;
}

std::optional<SchemaShape> schemaShapeOf(QSqlDatabase &db, QSqlError &error)
{
    SchemaShape shape;
    QSqlQuery q(db);
    q.setForwardOnly(true);
    // Every object but SQLite's own indexes of a UNIQUE or PRIMARY KEY, which the columns say.
    if (!q.exec(
            QStringLiteral("SELECT type, name, tbl_name FROM sqlite_master WHERE name NOT LIKE 'sqlite_autoindex_%' "
                           "ORDER BY type, name"))) {
        error = q.lastError();
        return std::nullopt;
    }
    QStringList tables;
    while (q.next()) {
        shape.append(
            QStringLiteral("%1 %2 on %3").arg(q.value(0).toString(), q.value(1).toString(), q.value(2).toString()));
        if (q.value(0).toString() == QLatin1String("table"))
            tables.append(q.value(1).toString());
    }
    for (const QString &table : tables) {
        if (!q.prepare(QStringLiteral(
                "SELECT name, type, \"notnull\", dflt_value, pk FROM pragma_table_info(?) ORDER BY cid"))) {
            error = q.lastError();
            return std::nullopt;
        }
        q.addBindValue(table);
        if (!q.exec()) {
            error = q.lastError();
            return std::nullopt;
        }
        QStringList columns;
        while (q.next())
            columns.append(
                QStringLiteral("%1 %2 %3 %4 %5")
                    .arg(q.value(0).toString(), q.value(1).toString(), q.value(2).toString(),
                        q.value(3).isNull() ? QStringLiteral("-") : q.value(3).toString(), q.value(4).toString()));
        shape.append(table + QStringLiteral(" (") + columns.join(QStringLiteral(", ")) + QLatin1Char(')'));
    }
    return shape;
}

HistoryFileCheck checkHistoryFile(QSqlDatabase &db)
{
    HistoryFileCheck check;
    QSqlQuery q(db);
    // The version, the mark and the objects in one statement, so one snapshot: another copy
    // making the file at this moment shows all or none of them.
    if (!q.exec(QStringLiteral("SELECT (SELECT user_version FROM pragma_user_version), "
                               "(SELECT application_id FROM pragma_application_id), "
                               "(SELECT COUNT(*) FROM sqlite_master)"))
        || !q.next()) {
        check.error = q.lastError();
        return check;
    }
    check.version = q.value(0).toLongLong();
    const qint64 mark = q.value(1).toLongLong();
    const qint64 objects = q.value(2).toLongLong();
    q.finish();
    const bool marked = mark == kHistoryApplicationId;
    const auto found = [&](HistoryFileState state) {
        check.state = state;
        return check;
    };
    if (mark != 0 && !marked)
        return found(HistoryFileState::Foreign);
    if (check.version > kHistorySchemaVersion || check.version < 0) {
        if (!marked)
            return found(HistoryFileState::Foreign);
        return found(check.version < 0 ? HistoryFileState::UnknownVersion : HistoryFileState::Newer);
    }
    const bool empty = check.version == 0 && objects == 0;
    if (!empty) {
        const std::optional<SchemaShape> shape = schemaShapeOf(db, check.error);
        if (!shape)
            return found(HistoryFileState::Unreadable);
        if (check.version == 0 || *shape != historySchemaShape(int(check.version)))
            return found(marked ? HistoryFileState::WrongTables : HistoryFileState::Foreign);
    }
    if (!q.exec(QStringLiteral("PRAGMA integrity_check(1)"))) {
        check.error = q.lastError();
        return found(HistoryFileState::Unreadable);
    }
    if (!q.next() || q.value(0).toString() != QLatin1String("ok"))
        return found(HistoryFileState::Damaged);
    return found(empty ? HistoryFileState::New : marked ? HistoryFileState::Marked : HistoryFileState::Unmarked);
}

} // namespace mvx
