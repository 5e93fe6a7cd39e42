#include "synth/forecast_text.h"

#include "combi/integer_text.h"
#include "model/escaped_text.h"
#include "model/line_reader.h"
#include "model/system_reason.h"

#include <QRegularExpression>

#include <vector>

namespace mvx {

ForecastTextRead readForecastText(QIODevice &in, int positions, int horseCount, int mostForecasts,
    const std::function<void(std::span<const int>)> &forecast)
{
    static const QRegularExpression separators(QStringLiteral("[,\\s]+"));
    ForecastTextRead read;
    LineReader lines(in, kLongestForecastLine);
    auto refuse = [&](const QString &fault) {
        read.error = QStringLiteral("ligne %1 : %2").arg(lines.lineNumber()).arg(fault);
        return read;
    };
    std::vector<int> horses;
    QByteArrayView bytes;
    for (;;) {
        const LineReader::Status status = lines.next(bytes);
        if (status == LineReader::Status::End)
            return read;
        if (status == LineReader::Status::ReadFailed) {
            read.error = QStringLiteral("lecture impossible : %1").arg(frenchSystemReason(in.errorString()));
            read.readFailed = true;
            return read;
        }
        if (status == LineReader::Status::TooLong)
            return refuse(QStringLiteral("ligne de plus de %1 octets : « %2… »")
                              .arg(kLongestForecastLine)
                              .arg(escapedText(bytes.first(std::min<qsizetype>(bytes.size(), 40)))));
        const QString line = decodeBytes(bytes).trimmed();
        if (line.isEmpty())
            continue;
        if (read.forecasts == mostForecasts)
            return refuse(QStringLiteral("plus de %1 pronostics").arg(mostForecasts));
        const QStringList numbers = line.split(separators, Qt::SkipEmptyParts);
        if (numbers.size() > positions)
            return refuse(QStringLiteral("plus de %1 chevaux").arg(positions));
        horses.clear();
        for (const QString &number : numbers) {
            const std::optional<std::int32_t> horse = parseInteger(number);
            if (!horse || *horse < 0 || *horse > horseCount)
                return refuse(
                    QStringLiteral("« %1 » n'est pas un cheval de 0 à %2").arg(escapedText(number)).arg(horseCount));
            horses.push_back(*horse);
        }
        ++read.forecasts;
        forecast(horses);
    }
}

} // namespace mvx
