// systems: the catalogue of reduced systems, one per line.

#include "cli/command.h"
#include "cli/output.h"

#include "combi/catalogue.h"

namespace mvx::cli {

namespace {

const CommandHelp kHelp {
    "systems",
    "Usage: marovellix-cli systems\n",
    "List the reduced systems, one per line, tab separated: number, horses per ticket,\n"
    "horses, bases, tickets, description.\n",
};

int run(const QStringList &arguments)
{
    QCommandLineParser parser;
    if (const std::optional<int> status = parseCommandLine(parser, arguments, kHelp))
        return *status;
    if (!parser.positionalArguments().isEmpty())
        return usageError(
            kHelp.name, QStringLiteral("unexpected argument '%1'").arg(parser.positionalArguments().front()));

    Output out(kHelp.name);
    if (!out.open(QString()))
        return kExitFailure;
    for (int s = 1; s <= kSystemCount; ++s) {
        const ReducedSystem &r = reducedSystem(s);
        out.write(QStringLiteral("%1\t%2\t%3\t%4\t%5\t%6\n")
                      .arg(r.number)
                      .arg(r.horsesPerTicket)
                      .arg(r.horseCount)
                      .arg(r.baseCount)
                      .arg(r.ticketCount)
                      .arg(r.description()));
    }
    return out.finish();
}

} // namespace

extern const Command systemsCommand { "systems", "list the reduced systems", run };

} // namespace mvx::cli
