// tickets: the ticket text file of a selection, by reduced system or by the generator.

#include "cli/command.h"
#include "cli/condition_options.h"
#include "cli/cost_options.h"
#include "cli/output.h"

#include "combi/catalogue.h"
#include "combi/ticket_file.h"
#include "combi/ticket_request.h"

namespace mvx::cli {

namespace {

const CommandHelp kHelp {
    "tickets",
    "Usage: marovellix-cli tickets --system N [OPTION]... HORSE...\n"
    "  or:  marovellix-cli tickets --combine N --per-ticket K [OPTION]... HORSE...\n",
    "Write the tickets of a selection in the ticket text file format: for each ticket\n"
    "its horse numbers, each followed by a comma, and CR LF.\n"
    "\n"
    "HORSE... are the selection boxes 1 to 20 in order (an empty argument is an empty\n"
    "box; after \"--\" every argument is a box). With --system the bases come first in\n"
    "the system's own way; with the generator the first B horses are the bases.\n",
    "Exit status: 0 when the tickets were written, 1 when the output could not be\n"
    "written, 2 for a bad argument or a refused selection (nothing is written).\n",
};

// "2,4" into base positions; false for anything else than one to three positions 1..5.
bool readBasePositions(const QString &text, std::array<int, 3> &positions)
{
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() > 3)
        return false;
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const std::optional<int> p = parseNumber(parts[i], 1, 5);
        if (!p)
            return false;
        positions[std::size_t(i)] = *p;
    }
    return true;
}

int run(const QStringList &arguments)
{
    const QCommandLineOption system({ "s", "system" }, "Use reduced system N (1..53, see 'systems').", "N");
    const QCommandLineOption combine({ "n", "combine" }, "Generator: horses to combine, bases included (1..20).", "N");
    const QCommandLineOption perTicket({ "k", "per-ticket" }, "Generator: horses per ticket (1..8).", "K");
    const QCommandLineOption bases({ "b", "bases" }, "Generator: base horses (0..3, default 0).", "B");
    const QCommandLineOption basePositions({ "p", "base-positions" },
        "Generator: ticket positions of the bases, comma separated (default "
        "1,2,3).",
        "P");
    const QCommandLineOption complete(
        { "c", "complete" }, "Generator: arrangements (every order) instead of combinations.");
    const QCommandLineOption output({ "o", "output" }, "Write to FILE instead of standard output (\"-\").", "FILE");
    CostOptions cost;
    ConditionOptions conditions;

    QCommandLineParser parser;
    parser.addOptions({ system, combine, perTicket, bases, basePositions, complete, output });
    cost.addTo(parser);
    conditions.addTo(parser);
    parser.addPositionalArgument(
        QStringLiteral("HORSE"), QStringLiteral("The selection boxes, in order."), QStringLiteral("HORSE..."));
    if (const std::optional<int> status = parseCommandLine(parser, arguments, kHelp))
        return *status;

    SystemsPage page;
    page.reducedTab = parser.isSet(system);
    const bool generator = parser.isSet(combine) || parser.isSet(perTicket) || parser.isSet(bases)
        || parser.isSet(basePositions) || parser.isSet(complete);
    if (page.reducedTab == generator)
        return usageError(
            kHelp.name, QStringLiteral("give either --system or the generator options (--combine and --per-ticket)"));
    if (page.reducedTab) {
        const std::optional<int> n = parseNumber(parser.value(system), 1, kSystemCount);
        if (!n)
            return usageError(
                kHelp.name, QStringLiteral("invalid system number '%1' (1 to 53)").arg(parser.value(system)));
        page.systemNumber = *n;
    } else {
        if (!parser.isSet(combine) || !parser.isSet(perTicket))
            return usageError(kHelp.name, QStringLiteral("the generator needs --combine and --per-ticket"));
        const std::optional<int> n = parseNumber(parser.value(combine), 1, kMaxHorses);
        if (!n)
            return usageError(kHelp.name,
                QStringLiteral("invalid number of horses to combine '%1' (1 to 20)").arg(parser.value(combine)));
        const std::optional<int> k = parseNumber(parser.value(perTicket), 1, 8);
        if (!k)
            return usageError(kHelp.name,
                QStringLiteral("invalid number of horses per ticket '%1' (1 to 8)").arg(parser.value(perTicket)));
        page.generator.horsesToCombine = *n;
        page.generator.horsesPerTicket = *k;
        if (parser.isSet(bases)) {
            const std::optional<int> b = parseNumber(parser.value(bases), 0, 3);
            if (!b)
                return usageError(
                    kHelp.name, QStringLiteral("invalid number of bases '%1' (0 to 3)").arg(parser.value(bases)));
            page.generator.bases.baseCount = *b;
        }
        if (parser.isSet(basePositions)
            && !readBasePositions(parser.value(basePositions), page.generator.bases.positions))
            return usageError(kHelp.name,
                QStringLiteral("invalid base positions '%1' (one to three of 1 to 5, "
                               "comma separated)")
                    .arg(parser.value(basePositions)));
        page.generator.reduced = !parser.isSet(complete);
    }
    if (parser.isSet(output) && parser.value(output).isEmpty())
        return usageError(kHelp.name, QStringLiteral("option '--output' needs a file name"));
    const int horsesPerTicket
        = page.reducedTab ? reducedSystem(page.systemNumber).horsesPerTicket : page.generator.horsesPerTicket;
    if (const std::optional<int> status = cost.read(parser, kHelp.name, horsesPerTicket))
        return *status;
    if (const std::optional<int> status = conditions.read(parser, kHelp.name))
        return *status;
    page.conditions = conditions.conditions();

    const QStringList horses = parser.positionalArguments();
    if (horses.size() > kMaxHorses)
        return usageError(kHelp.name, QStringLiteral("at most 20 horses"));
    for (qsizetype i = 0; i < horses.size(); ++i)
        page.boxes[std::size_t(i)] = horses[i];

    const std::vector<Message> refused = checkTicketRequest(page);
    if (!refused.empty()) {
        for (const Message &m : refused)
            printError(m.title + QStringLiteral(" : ") + m.text);
        return kExitRefused;
    }

    Output out(kHelp.name);
    out.setFailureMessage(ticketFileFailure);
    // The sink gathers its lines in large blocks itself.
    if (!out.open(parser.value(output), true))
        return kExitFailure;
    GameState state;
    TicketFileSink sink(state.selection, out.device());
    generateTickets(state.selection, page, sink);
    const int status = out.finish(sink.finish());
    if (status == kExitOk && cost.wanted())
        cost.print(sink.linesWritten());
    return status;
}

} // namespace

extern const Command ticketsCommand { "tickets",
    "write the tickets of a selection, one line per ticket (\"7,3,12,\" CR LF)", run };

} // namespace mvx::cli
