#pragma once

#include <QSqlDatabase>
#include <QSqlError>
#include <QStringList>

#include <cstdint>
#include <optional>

// The history file's schema: the steps that bring a file from one version to the next, the mark
// that tells the file is a history, and the check that a file holds exactly a history's tables.
namespace mvx {

// The newest schema this program writes (PRAGMA user_version).
constexpr int kHistorySchemaVersion = 2;

// PRAGMA application_id of every history this program writes ("MVX+").
constexpr std::int32_t kHistoryApplicationId = 0x4d56582b;

// The statements of the step that brings a file of `version` (0 to kHistorySchemaVersion − 1) to
// the next version. A file is never rebuilt; a new version is a new step.
QStringList historySchemaStep(int version);

// What a schema holds, one text per table (its columns with their type, NOT NULL, default and
// key) and per other object of the file, in a fixed order.
using SchemaShape = QStringList;

// The shape of a history of `version` (1 to kHistorySchemaVersion), as the steps make it.
const SchemaShape &historySchemaShape(int version);

// The shape of the open database; nothing, with `error` set, when it cannot be read.
std::optional<SchemaShape> schemaShapeOf(QSqlDatabase &db, QSqlError &error);

// What an open SQLite file is to the history, found without writing a byte.
enum class HistoryFileState
{
    New, // no object and no version: a file about to be made
    Marked, // a history: the mark, and exactly the tables of its version
    Unmarked, // a history written before the mark: exactly the tables of its version
    Foreign, // another program's file: another mark, or no mark and other tables or version
    Newer, // a history of a later version of the program
    UnknownVersion, // the mark, at a version no program writes (below 0)
    WrongTables, // the mark, but not the tables of its version
    Damaged, // fails SQLite's integrity check (every page, every index against its table)
    Unreadable, // SQLite could not read it: `error` says why
};

struct HistoryFileCheck
{
    HistoryFileState state = HistoryFileState::Unreadable;
    qint64 version = 0; // PRAGMA user_version
    QSqlError error;
};

// The mark, the version and the tables first; the integrity check only on a file that is or
// will be a history. A file that is not New, Marked or Unmarked is never to be written.
HistoryFileCheck checkHistoryFile(QSqlDatabase &db);

} // namespace mvx
