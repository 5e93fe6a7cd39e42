// systems: the catalogue of reduced systems, one per line, or the check of their promises.

#include "cli/command.h"
#include "cli/output.h"

#include "arrival/system_promise.h"
#include "combi/catalogue.h"

namespace mvx::cli {

namespace {

const CommandHelp kHelp {
    "systems",
    "Utilisation : marovellix-cli systems\n"
    "         ou : marovellix-cli systems --verify [N]\n",
    "Liste les systèmes réduits, un par ligne, séparés par des tabulations : numéro,\n"
    "chevaux par ticket, chevaux, bases, tickets, description.\n"
    "\n"
    "Avec --verify, vérifie ce que chaque système (ou le système N) promet sur chaque\n"
    "arrivée que la promesse couvre, avec les tickets que le programme fait et les\n"
    "catégories de la comparaison, et écrit par système, séparés par des tabulations :\n"
    "le numéro, la promesse, et \"ok\" ou la première arrivée manquée (les places 1 à 5\n"
    "jointes par '-').\n",
    "Code de sortie : 0 quand la liste est écrite et que chaque promesse vérifiée tient, 1\n"
    "quand une promesse ne tient pas ou que la sortie ne peut pas être écrite, 2 pour un\n"
    "argument incorrect.\n",
};

int run(const QStringList &arguments)
{
    const QCommandLineOption verify("verify", "Vérifie la promesse de chaque système, ou du système N.");
    QCommandLineParser parser;
    parser.addOption(verify);
    parser.addPositionalArgument(
        QStringLiteral("N"), QStringLiteral("Avec --verify : le seul système à vérifier."), QStringLiteral("[N]"));
    if (const std::optional<int> status = parseCommandLine(parser, arguments, kHelp))
        return *status;
    const QStringList positional = parser.positionalArguments();
    if (!positional.isEmpty() && (!parser.isSet(verify) || positional.size() > 1))
        return usageError(kHelp.name, QStringLiteral("argument inattendu %1").arg(quoted(positional.back())));
    int first = 1;
    int last = kSystemCount;
    if (!positional.isEmpty()) {
        const std::optional<int> n = parseNumber(positional.front(), 1, kSystemCount);
        if (!n)
            return usageError(
                kHelp.name, QStringLiteral("numéro de système incorrect %1 (1 à 53)").arg(quoted(positional.front())));
        first = last = *n;
    }

    Output out(kHelp.name);
    if (!out.open(QString()))
        return kExitFailure;
    bool allKept = true;
    for (int s = first; s <= last; ++s) {
        const ReducedSystem &r = reducedSystem(s);
        if (!parser.isSet(verify)) {
            out.write(QStringLiteral("%1\t%2\t%3\t%4\t%5\t%6\n")
                          .arg(r.number)
                          .arg(r.horsesPerTicket)
                          .arg(r.horseCount)
                          .arg(r.baseCount)
                          .arg(r.ticketCount)
                          .arg(r.description()));
            continue;
        }
        const PromiseCheck check = checkSystemPromise(s);
        QString result = QStringLiteral("ok");
        if (check.arrivals == 0) {
            result = QStringLiteral("promesse illisible");
            allKept = false;
        } else if (check.missed) {
            QStringList places;
            for (int horse : *check.missed)
                places.append(QString::number(horse));
            result = places.join(QLatin1Char('-'));
            allKept = false;
        }
        out.write(QStringLiteral("%1\t%2\t%3\n").arg(s).arg(systemPromise(r).text, result));
    }
    const int written = out.finish();
    return written != kExitOk || allKept ? written : kExitFailure;
}

} // namespace

extern const Command systemsCommand { "systems", "liste les systèmes réduits, ou vérifie ce qu'ils promettent", run };

} // namespace mvx::cli
