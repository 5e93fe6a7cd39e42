// synthesis: the ranking of the runners by the points the tipsters' forecasts give them, as
// the synthesis window exports it.

#include "cli/command.h"
#include "cli/output.h"

#include "synth/synthesis.h"
#include "synth/synthesis_output.h"

#include <QRegularExpression>

namespace mvx::cli {

namespace {

const CommandHelp kHelp {
    "synthesis",
    "Usage: marovellix-cli synthesis --points P1,...,Pk [--horses N] [FILE]\n",
    "Read the forecasts (standard input without FILE), one per line, the horse numbers\n"
    "in position order separated by commas or blanks, and print the ranking of the\n"
    "runners as the synthesis export file holds it: \"POS;CHEVAUX;PTS;%\", then one line\n"
    "per runner, best first, CR LF line ends, the full stop as decimal separator.\n"
    "\n"
    "P1,...,Pk are the points of positions 1 to k: k is the number of horses per\n"
    "forecast (at most 20). N is the number of runners (default 20, at most 49). A\n"
    "forecast may be shorter than k; its horses are numbers from 0 (none) to N.\n",
    "Exit status: 0 when the ranking was written, 1 when the file could not be read or\n"
    "the output written, 2 for a bad argument or a line that is not a forecast.\n",
};

int run(const QStringList &arguments)
{
    const QCommandLineOption pointsOption(
        { "p", "points" }, "The points of positions 1 to k, comma separated.", "P1,...,Pk");
    const QCommandLineOption horsesOption({ "n", "horses" }, "The number of runners (1..49, default 20).", "N");
    QCommandLineParser parser;
    parser.addOptions({ pointsOption, horsesOption });
    parser.addPositionalArgument(
        QStringLiteral("FILE"), QStringLiteral("The forecasts (standard input without it)."), QStringLiteral("[FILE]"));
    if (const std::optional<int> status = parseCommandLine(parser, arguments, kHelp))
        return *status;

    auto state = std::make_unique<GameState>();
    if (!parser.isSet(pointsOption))
        return usageError(kHelp.name, QStringLiteral("option '--points' is needed"));
    const QStringList points = parser.value(pointsOption).split(QLatin1Char(','));
    if (points.size() > kForecastPositions)
        return usageError(kHelp.name, QStringLiteral("at most 20 positions"));
    for (qsizetype p = 0; p < points.size(); ++p) {
        const std::optional<int> value = parseNumber(points[p], 0, 999999);
        if (!value)
            return usageError(
                kHelp.name, QStringLiteral("invalid points '%1' (whole numbers)").arg(parser.value(pointsOption)));
        state->pointsByPosition[std::size_t(p)] = *value;
    }
    state->horsesPerForecast = int(points.size());
    state->horseCount = 20;
    if (parser.isSet(horsesOption)) {
        const std::optional<int> n = parseNumber(parser.value(horsesOption), 1, kMaxRunners);
        if (!n)
            return usageError(
                kHelp.name, QStringLiteral("invalid number of runners '%1' (1 to 49)").arg(parser.value(horsesOption)));
        state->horseCount = *n;
    }
    QFile in;
    QString name;
    if (const std::optional<int> status = openInput(in, name, parser.positionalArguments(), kHelp.name, "forecast"))
        return *status;
    const QByteArray text = in.readAll();
    if (in.error() != QFileDevice::NoError) {
        printError(QStringLiteral("Impossible de lire le fichier %1 : %2").arg(name, in.errorString()));
        return kExitFailure;
    }

    const QRegularExpression separators(QStringLiteral("[,\\s]+"));
    int forecasts = 0;
    const QList<QByteArray> lines = text.split('\n');
    for (qsizetype l = 0; l < lines.size(); ++l) {
        const QString line = QString::fromUtf8(lines[l]).trimmed();
        if (line.isEmpty())
            continue;
        if (forecasts == kForecastRows)
            return refuseInput(kHelp.name, QStringLiteral("%1 : plus de %2 pronostics").arg(name).arg(kForecastRows));
        const QStringList horses = line.split(separators, Qt::SkipEmptyParts);
        if (horses.size() > state->horsesPerForecast)
            return refuseInput(kHelp.name,
                QStringLiteral("%1 : ligne %2 : plus de %3 chevaux")
                    .arg(name)
                    .arg(l + 1)
                    .arg(state->horsesPerForecast));
        for (qsizetype p = 0; p < horses.size(); ++p) {
            const std::optional<int> horse = parseNumber(horses[p], 0, state->horseCount);
            if (!horse)
                return refuseInput(kHelp.name,
                    QStringLiteral("%1 : ligne %2 : « %3 » n'est pas un cheval de 0 à %4")
                        .arg(name)
                        .arg(l + 1)
                        .arg(horses[p])
                        .arg(state->horseCount));
            state->forecasts[std::size_t(forecasts)][std::size_t(p)] = *horse;
        }
        ++forecasts;
    }
    state->forecastCount = forecasts;

    computeSynthesis(*state);
    Output out(kHelp.name);
    if (!out.open(QString()))
        return kExitFailure;
    out.write(synthesisFileBytes(synthesisRows(*state, QLocale::c())));
    return out.finish();
}

} // namespace

extern const Command synthesisCommand { "synthesis", "rank the runners by the points of the forecasts read", run };

} // namespace mvx::cli
