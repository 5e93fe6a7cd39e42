#pragma once

#include "history/race_record.h"

#include <QByteArray>
#include <QString>

#include <vector>

// The history's races as a file a spreadsheet opens.
namespace mvx {

// The listed races as a semicolon-separated text file: the header
// "DATE;NOM;PARI;TICKETS;MISE;GAINS;REMBOURSEMENT;BILAN;", then one line per race, each field
// followed by ";", dates as 25/12/2026 and amounts with a decimal comma ("-24,00"), every line
// ended by CR LF, in the system's 8-bit encoding.
QByteArray raceExportBytes(const std::vector<RaceRecord> &races);
// Writes that file atomically: on failure any earlier file of that name stays as it was.
bool writeRaceExport(const QString &fileName, const std::vector<RaceRecord> &races);

// Whether `fileName` is the history at `historyPath` or one of the files SQLite keeps beside it
// (its journal, its write-ahead log), however it is named: another path, a link. An export
// there would replace the history.
bool isHistoryFile(const QString &fileName, const QString &historyPath);

} // namespace mvx
