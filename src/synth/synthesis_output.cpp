#include "synth/synthesis_output.h"

#include "model/settings_file.h"
#include "print/print_failure.h"

#include <algorithm>

namespace mvx {

QByteArray synthesisFileBytes(const std::vector<SynthesisRow> &rows)
{
    QString text = QStringLiteral("POS;CHEVAUX;PTS;%\r\n");
    for (const SynthesisRow &row : rows) {
        for (const QString &field : row)
            text += field + QLatin1Char(';');
        text += QStringLiteral("\r\n");
    }
    return text.toLocal8Bit();
}

bool writeSynthesisFile(const QString &fileName, const std::vector<SynthesisRow> &rows)
{
    return writeFileAtomically(fileName, synthesisFileBytes(rows));
}

Platform::FileDialog synthesisExportDialog(const QString &proposedName)
{
    Platform::FileDialog dialog;
    dialog.title = QStringLiteral("Indiquez le fichier de sauvegarde");
    dialog.filter = QStringLiteral("texte (*.txt)|*.txt");
    dialog.defaultExtension = QStringLiteral("txt");
    dialog.proposedName = proposedName;
    dialog.pathMustExist = true;
    dialog.confirmOverwrite = false;
    return dialog;
}

bool exportSynthesis(const std::vector<SynthesisRow> &rows, QString &previousName, Platform &platform)
{
    const QString fileName = platform.saveFileName(synthesisExportDialog(previousName));
    if (fileName.isEmpty())
        return false;
    // A name is proposed again, and its folder remembered, only once a file was written there.
    if (writeSynthesisFile(fileName, rows)) {
        previousName = fileName;
        platform.fileSaved(fileName);
        return true;
    }
    reportFileNotSaved(platform);
    return false;
}

bool printSynthesis(PrintSurface &surface, const std::vector<SynthesisRow> &rows, const PrintPicture &chart)
{
    const int pageWidth = surface.pageWidth();
    surface.setDocumentTitle(QStringLiteral("Marovellix+ — synthèse"));
    if (!surface.beginDocument())
        return false;

    const QString family = QStringLiteral("Times New Roman");
    surface.setFont(family, 24, false);
    const QString title = QStringLiteral("SYNTHESE");
    surface.drawText((pageWidth - surface.textWidth(title)) / 2, 50, title);
    int y = 50 + surface.textHeight(QStringLiteral("LISTE"));

    surface.setFont(family, 10, false);
    const int lineHeight = surface.textHeight(QStringLiteral("WWWW")) + 10;
    const int charWidth = surface.textWidth(QStringLiteral("W"));
    const std::array<int, 4> columnX { 10, 10 + 3 * charWidth, 10 + 23 * charWidth, 10 + 26 * charWidth };
    auto printLine = [&](const SynthesisRow &texts) {
        for (std::size_t c = 0; c < texts.size(); ++c)
            surface.drawText(columnX[c], y, texts[c]);
    };

    y += 3 * lineHeight;
    printLine({ QStringLiteral("POS."), QStringLiteral("CHEVAUX"), QStringLiteral("PTS"), QStringLiteral("%") });
    y += lineHeight;
    for (const SynthesisRow &row : rows) {
        printLine(row);
        y += lineHeight;
    }

    // With many runners the chart's 15 lines would run off the sheet: it keeps what is left.
    const int top = y + 2 * lineHeight;
    const int bottom = std::min(y + 17 * lineHeight, surface.pageHeight());
    if (bottom > top)
        surface.drawPicture(50, top, pageWidth - 50, bottom, chart);
    return surface.endDocument();
}

void printSynthesis(const std::vector<SynthesisRow> &rows, const PrintPicture &chart, Platform &platform)
{
    std::unique_ptr<PrintSurface> surface = platform.openPrinter(QStringLiteral("de la synthèse"));
    if (!surface)
        return;
    bool printed = false;
    {
        const WaitCursor waiting(platform);
        printed = printSynthesis(*surface, rows, chart);
        printed = surface->finish() && printed;
    }
    if (!printed)
        reportPrintFailure(platform, QStringLiteral("de la synthèse"), *surface);
}

} // namespace mvx
