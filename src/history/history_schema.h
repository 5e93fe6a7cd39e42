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

} // namespace mvx
