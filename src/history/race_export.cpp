#include "history/race_export.h"

#include "model/settings_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <filesystem>

namespace mvx {

namespace {

// "84,00", "-24,00": a spreadsheet's French number, no grouping.
QString decimalCommaText(std::int64_t cents)
{
    const bool negative = cents < 0;
    const std::uint64_t magnitude = negative ? 0 - std::uint64_t(cents) : std::uint64_t(cents);
    return QStringLiteral("%1%2,%3")
        .arg(negative ? QStringLiteral("-") : QString())
        .arg(magnitude / 100)
        .arg(magnitude % 100, 2, 10, QLatin1Char('0'));
}

// A text field of the export, quoted the way spreadsheets read it when it holds a separator,
// a quotation mark or a line break. A name a spreadsheet would take for a formula (one that
// begins with "=", "+", "-", "@", a tab or a carriage return) is quoted and begun with an
// apostrophe, so that it is shown as the text it is and never evaluated.
QString exportField(const QString &text)
{
    const bool formula = !text.isEmpty() && QStringView(u"=+-@\t\r").contains(text.front());
    if (!formula && !text.contains(QLatin1Char(';')) && !text.contains(QLatin1Char('"'))
        && !text.contains(QLatin1Char('\r')) && !text.contains(QLatin1Char('\n')))
        return text;
    QString doubled = text;
    doubled.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + (formula ? QStringLiteral("'") : QString()) + doubled + QLatin1Char('"');
}

} // namespace

QByteArray raceExportBytes(const std::vector<RaceRecord> &races)
{
    QString text = QStringLiteral("DATE;NOM;PARI;TICKETS;MISE;GAINS;REMBOURSEMENT;BILAN;\r\n");
    for (const RaceRecord &race : races) {
        const QString fields[] = { race.date.toString(QStringLiteral("dd/MM/yyyy")), exportField(race.name),
            betName(race.bet), QString::number(race.tickets), decimalCommaText(race.stakeCents),
            decimalCommaText(race.wonCents), decimalCommaText(race.refundCents), decimalCommaText(race.balanceCents) };
        for (const QString &field : fields)
            text += field + QLatin1Char(';');
        text += QStringLiteral("\r\n");
    }
    return text.toLocal8Bit();
}

bool writeRaceExport(const QString &fileName, const std::vector<RaceRecord> &races)
{
    return writeFileAtomically(fileName, raceExportBytes(races));
}

bool isHistoryFile(const QString &fileName, const QString &historyPath)
{
    namespace fs = std::filesystem;
    const fs::path candidate(QFile::encodeName(fileName).toStdString());
    for (const char *suffix : { "", "-journal", "-wal", "-shm" }) {
        const fs::path kept(QFile::encodeName(historyPath + QString::fromLatin1(suffix)).toStdString());
        std::error_code error;
        // Equivalent files are one file on the disk, whatever names lead to it.
        if (fs::equivalent(candidate, kept, error) && !error)
            return true;
    }
    // A file not written yet, a link that does not lead anywhere yet: the names are compared.
    const QString target = QFileInfo(fileName).absoluteFilePath();
    return QDir::cleanPath(target) == QDir::cleanPath(QFileInfo(historyPath).absoluteFilePath());
}

} // namespace mvx
