// synthesis: the ranking of the runners by the points the tipsters' forecasts give them, as
// the synthesis window exports it.

#include "cli/command.h"
#include "cli/output.h"

#include "synth/forecast_text.h"
#include "synth/synthesis.h"
#include "synth/synthesis_output.h"

#include <algorithm>

namespace mvx::cli {

namespace {

const CommandHelp kHelp {
    "synthesis",
    "Utilisation : marovellix-cli synthesis --points P1,...,Pk [--horses N] [FICHIER]\n",
    "Lit les pronostics (l'entrée standard sans FICHIER), un par ligne, les numéros des\n"
    "chevaux dans l'ordre des positions séparés par des virgules ou des espaces, et écrit\n"
    "le classement des partants comme le fichier d'export de la synthèse le contient :\n"
    "\"POS;CHEVAUX;PTS;%\", puis une ligne par partant, le meilleur d'abord, fins de ligne\n"
    "CR LF, le point comme séparateur décimal.\n"
    "\n"
    "P1,...,Pk sont les points des positions 1 à k : k est le nombre de chevaux par\n"
    "pronostic (20 au plus). N est le nombre de partants (20 par défaut, 49 au plus). Un\n"
    "pronostic peut avoir moins de k chevaux ; ses chevaux sont des numéros de 0 (aucun)\n"
    "à N. 500 pronostics au plus.\n",
    "Code de sortie : 0 quand le classement est écrit, 1 quand le fichier ne peut pas être\n"
    "lu ou la sortie écrite, 2 pour un argument incorrect, un fichier sans pronostic ou\n"
    "une ligne qui n'est pas un pronostic.\n",
};

int run(const QStringList &arguments)
{
    const QCommandLineOption pointsOption(
        { "p", "points" }, "Les points des positions 1 à k, séparés par des virgules.", "P1,...,Pk");
    const QCommandLineOption horsesOption({ "n", "horses" }, "Le nombre de partants (1..49, 20 par défaut).", "N");
    QCommandLineParser parser;
    parser.addOptions({ pointsOption, horsesOption });
    parser.addPositionalArgument(QStringLiteral("FICHIER"),
        QStringLiteral("Les pronostics (l'entrée standard sans lui)."), QStringLiteral("[FICHIER]"));
    if (const std::optional<int> status = parseCommandLine(parser, arguments, kHelp))
        return *status;

    auto state = std::make_unique<GameState>();
    if (!parser.isSet(pointsOption))
        return usageError(kHelp.name, QStringLiteral("l'option « --points » est nécessaire"));
    const QStringList points = parser.value(pointsOption).split(QLatin1Char(','));
    if (points.size() > kForecastPositions)
        return usageError(kHelp.name, QStringLiteral("20 positions au plus"));
    for (qsizetype p = 0; p < points.size(); ++p) {
        const std::optional<int> value = parseNumber(points[p], 0, 999999);
        if (!value)
            return usageError(kHelp.name,
                QStringLiteral("points incorrects %1 (des nombres entiers)").arg(quoted(parser.value(pointsOption))));
        state->pointsByPosition[std::size_t(p)] = *value;
    }
    state->horsesPerForecast = int(points.size());
    state->horseCount = 20;
    if (parser.isSet(horsesOption)) {
        const std::optional<int> n = parseNumber(parser.value(horsesOption), 1, kMaxRunners);
        if (!n)
            return usageError(kHelp.name,
                QStringLiteral("nombre de partants incorrect %1 (1 à 49)").arg(quoted(parser.value(horsesOption))));
        state->horseCount = *n;
    }
    QFile in;
    QString name;
    if (const std::optional<int> status
        = openInput(in, name, parser.positionalArguments(), kHelp.name, "de pronostics"))
        return *status;

    int forecasts = 0;
    const ForecastTextRead read = readForecastText(
        in, state->horsesPerForecast, state->horseCount, kForecastRows, [&](std::span<const int> horses) {
            std::copy(horses.begin(), horses.end(), state->forecasts[std::size_t(forecasts++)].begin());
        });
    if (read.readFailed) {
        printError(QStringLiteral("%1 : %2").arg(name, read.error));
        return kExitFailure;
    }
    if (!read.ok())
        return refuseInput(kHelp.name, QStringLiteral("%1 : %2").arg(name, read.error));
    if (read.forecasts == 0)
        return refuseInput(kHelp.name, QStringLiteral("%1 : aucun pronostic").arg(name));
    state->forecastCount = read.forecasts;

    computeSynthesis(*state);
    Output out(kHelp.name);
    if (!out.open(QString()))
        return kExitFailure;
    out.write(synthesisFileBytes(synthesisRows(*state, QLocale::c())));
    return out.finish();
}

} // namespace

extern const Command synthesisCommand { "synthesis", "classe les partants par les points des pronostics lus", run };

} // namespace mvx::cli
