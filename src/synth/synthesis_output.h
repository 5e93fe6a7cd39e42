#pragma once

#include "model/platform.h"
#include "model/print_surface.h"
#include "synth/synthesis.h"

#include <QByteArray>
#include <QString>

#include <vector>

namespace mvx {

// The synthesis taken out of the program: a semicolon-separated text file and a one-page print.

// The file: "POS;CHEVAUX;PTS;%", then the four texts of each row, each followed by ";", every
// line ending with CR LF, in the system's 8-bit encoding.
QByteArray synthesisFileBytes(const std::vector<SynthesisRow> &rows);

// Writes the file atomically: on failure any earlier file of that name stays as it was.
bool writeSynthesisFile(const QString &fileName, const std::vector<SynthesisRow> &rows);

// The save dialog of the export, proposing `proposedName` (the name of the previous export).
Platform::FileDialog synthesisExportDialog(const QString &proposedName);

// Asks for a file name and writes the file there. `previousName` is proposed and then holds the
// name written. A failed write beeps and shows "Il y a eu un problème". Returns true when a file
// was written.
bool exportSynthesis(const std::vector<SynthesisRow> &rows, QString &previousName, Platform &platform);

// One page: the title "SYNTHESE" centred, the columns at 0, 3, 23 and 26 widths of "W" from x 10,
// one line per row, and the chart 15 line heights tall two lines below the list, shortened to
// the page when the list is long. False when the device refused or failed the document.
bool printSynthesis(PrintSurface &surface, const std::vector<SynthesisRow> &rows, const PrintPicture &chart);

// Prints on the platform's printer; a print that did not come out is shown to the user.
void printSynthesis(const std::vector<SynthesisRow> &rows, const PrintPicture &chart, Platform &platform);

} // namespace mvx
