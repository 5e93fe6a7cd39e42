// systems: the catalogue of reduced systems, one per line, or the check of their promises.

#include "cli/command.h"
#include "cli/output.h"

#include "arrival/system_promise.h"
#include "combi/catalogue.h"

namespace mvx::cli {

namespace {

const CommandHelp kHelp {
    "systems",
    "Usage: marovellix-cli systems\n"
    "  or:  marovellix-cli systems --verify [N]\n",
    "List the reduced systems, one per line, tab separated: number, horses per ticket,\n"
    "horses, bases, tickets, description.\n"
    "\n"
    "With --verify, check what each system (or system N) promises on every arrival the\n"
    "promise covers, with the tickets the program makes and the comparison's categories,\n"
    "and print per system, tab separated: number, the promise, and \"ok\" or the first\n"
    "arrival it misses (places 1 to 5 joined by '-').\n",
    "Exit status: 0 when the list was written and every promise checked holds, 1 when a\n"
    "promise does not hold or the output could not be written, 2 for a bad argument.\n",
};

int run(const QStringList &arguments)
{
    const QCommandLineOption verify("verify", "Check the promise of each system, or of system N.");
    QCommandLineParser parser;
    parser.addOption(verify);
    parser.addPositionalArgument(QStringLiteral("N"), QStringLiteral("With --verify: the one system to check."),
                                 QStringLiteral("[N]"));
    if (const std::optional<int> status = parseCommandLine(parser, arguments, kHelp))
        return *status;
    const QStringList positional = parser.positionalArguments();
    if (!positional.isEmpty() && (!parser.isSet(verify) || positional.size() > 1))
        return usageError(kHelp.name, QStringLiteral("unexpected argument '%1'").arg(positional.back()));
    int first = 1;
    int last = kSystemCount;
    if (!positional.isEmpty()) {
        const std::optional<int> n = parseNumber(positional.front(), 1, kSystemCount);
        if (!n)
            return usageError(kHelp.name,
                              QStringLiteral("invalid system number '%1' (1 to 53)").arg(positional.front()));
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

extern const Command systemsCommand { "systems", "list the reduced systems, or check what they promise", run };

} // namespace mvx::cli
