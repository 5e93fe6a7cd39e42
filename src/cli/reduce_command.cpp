// reduce: a reduced system of the punter's own, searched, checked and written as a ticket file.

#include "cli/command.h"
#include "cli/cost_options.h"
#include "cli/output.h"

#include "combi/covering_search.h"
#include "combi/ticket_file.h"

#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace mvx::cli {

namespace {

const CommandHelp kHelp {
    "reduce",
    "Usage: marovellix-cli reduce -n N -k K [-b B] -t T [OPTION]... HORSE...\n",
    "Search a small set of tickets of K horses out of the N horses given (the first B\n"
    "of them bases, in every ticket) that keeps this guarantee: whenever the first T\n"
    "finishers are the bases and T - B other horses of the selection, at least one\n"
    "ticket holds all T. The tickets are written in the ticket text file format, as\n"
    "\"Générer un fichier\" writes them; standard error gets one line: the tickets\n"
    "found, the full count, the lower bound (no table can be smaller) and \"garantie\n"
    "vérifiée\" once every promised arrival has been checked against the tickets.\n"
    "\n"
    "The search is the same for the same seed and move budget; a time budget or\n"
    "Ctrl-C only ends it earlier, with the best table found so far.\n",
    "Exit status: 0 when the tickets were written, 1 when the output could not be\n"
    "written, 2 for a bad argument or a refused selection (nothing is written).\n",
};

constexpr double kDefaultSeconds = 10;

SearchControl *runningSearch = nullptr;

extern "C" void stopSearch(int)
{
    if (runningSearch)
        runningSearch->requestStop();
}

QString endText(const FoundSystem &found)
{
    switch (found.end) {
    case FoundSystem::End::BoundReached:
        return QStringLiteral("borne atteinte");
    case FoundSystem::End::MoveBudget:
        return QStringLiteral("coups épuisés");
    case FoundSystem::End::TimeBudget:
        return QStringLiteral("temps écoulé");
    case FoundSystem::End::Stopped:
        break;
    }
    return QStringLiteral("arrêt demandé");
}

int run(const QStringList &arguments)
{
    const QCommandLineOption horses({ "n", "horses" }, "Horses of the selection, bases included (1..20).", "N");
    const QCommandLineOption perTicket({ "k", "per-ticket" }, "Horses per ticket (2..5).", "K");
    const QCommandLineOption bases({ "b", "bases" }, "Bases, the first horses given, in every ticket (0..3).", "B");
    const QCommandLineOption guarantee({ "t", "guarantee" }, "The first T finishers some ticket holds (B..K).", "T");
    const QCommandLineOption seconds("seconds", "Time budget in seconds (default 10 without --moves).", "S");
    const QCommandLineOption moves("moves", "Move budget: the same moves give the same tickets.", "M");
    const QCommandLineOption seed("seed", "Seed of the search (default 1).", "X");
    const QCommandLineOption output({ "o", "output" }, "Write to FILE instead of standard output (\"-\").", "FILE");
    CostOptions cost;

    QCommandLineParser parser;
    parser.addOptions({ horses, perTicket, bases, guarantee, seconds, moves, seed, output });
    cost.addTo(parser);
    parser.addPositionalArgument(
        QStringLiteral("HORSE"), QStringLiteral("The N horses, bases first."), QStringLiteral("HORSE..."));
    if (const std::optional<int> status = parseCommandLine(parser, arguments, kHelp))
        return *status;

    for (const QCommandLineOption *required : { &horses, &perTicket, &guarantee })
        if (!parser.isSet(*required))
            return usageError(kHelp.name, QStringLiteral("option '--%1' is needed").arg(required->names().back()));
    SystemRequest request;
    struct NumberOption
    {
        const QCommandLineOption &option;
        int &value;
        int low, high;
    };
    for (const NumberOption &o :
        { NumberOption { horses, request.horses, 1, 20 }, NumberOption { perTicket, request.perTicket, 2, 5 },
            NumberOption { bases, request.bases, 0, 3 }, NumberOption { guarantee, request.guarantee, 0, 5 } }) {
        if (!parser.isSet(o.option))
            continue;
        const std::optional<int> n = parseNumber(parser.value(o.option), o.low, o.high);
        if (!n)
            return usageError(kHelp.name,
                QStringLiteral("invalid value '%1' of '--%2' (%3 to %4)")
                    .arg(parser.value(o.option), o.option.names().back())
                    .arg(o.low)
                    .arg(o.high));
        o.value = *n;
    }
    if (const QString wrong = systemRequestError(request); !wrong.isEmpty())
        return usageError(kHelp.name, wrong);

    SearchControl control;
    std::uint64_t seedValue = 1;
    if (parser.isSet(moves)) {
        bool ok = false;
        control.moveBudget = parser.value(moves).toLongLong(&ok);
        if (!ok || control.moveBudget < 1)
            return usageError(kHelp.name, QStringLiteral("invalid move budget '%1'").arg(parser.value(moves)));
    }
    if (parser.isSet(seconds)) {
        bool ok = false;
        control.secondsBudget = parser.value(seconds).toDouble(&ok);
        if (!ok || !(control.secondsBudget > 0))
            return usageError(kHelp.name, QStringLiteral("invalid time budget '%1'").arg(parser.value(seconds)));
    } else if (!parser.isSet(moves)) {
        control.secondsBudget = kDefaultSeconds;
    }
    if (parser.isSet(seed)) {
        bool ok = false;
        seedValue = parser.value(seed).toULongLong(&ok);
        if (!ok)
            return usageError(kHelp.name, QStringLiteral("invalid seed '%1'").arg(parser.value(seed)));
    }
    if (parser.isSet(output) && parser.value(output).isEmpty())
        return usageError(kHelp.name, QStringLiteral("option '--output' needs a file name"));
    if (const std::optional<int> status = cost.read(parser, kHelp.name, request.perTicket))
        return *status;

    // The horses, as the selection boxes read them: numbers 1..20, none repeated.
    const QStringList given = parser.positionalArguments();
    if (given.size() != request.horses)
        return usageError(
            kHelp.name, QStringLiteral("%1 horses expected, %2 given").arg(request.horses).arg(given.size()));
    Selection selection;
    for (qsizetype i = 0; i < given.size(); ++i) {
        const std::optional<int> horse = parseNumber(given[i], 1, kMaxHorses);
        if (!horse) {
            const Message m = messages::wrongNumbers();
            printError(m.title + QStringLiteral(" : ") + m.text);
            return kExitRefused;
        }
        for (qsizetype j = 0; j < i; ++j) {
            if (selection.otherHorses[std::size_t(j + 1)] == *horse) {
                const Message m = messages::wrongGeneratorSelection();
                printError(m.title + QStringLiteral(" : ") + m.text);
                return kExitRefused;
            }
        }
        selection.otherHorses[std::size_t(i + 1)] = *horse;
    }

    // Ctrl-C ends the search with the best table so far. On a terminal, a progress line.
    runningSearch = &control;
    std::signal(SIGINT, stopSearch);
    const bool showProgress = isatty(STDERR_FILENO);
    if (showProgress) {
        control.progressInterval = 0.5;
        control.progress = [](const SearchProgress &p) {
            std::fprintf(stderr, "\r%d tickets, essai à %d, %.0f s   ", p.bestTickets, p.triedTickets, p.seconds);
        };
    }
    const FoundSystem found = searchReducedSystem(request, seedValue, control);
    std::signal(SIGINT, SIG_DFL);
    runningSearch = nullptr;
    if (showProgress)
        std::fputs("\r\033[K", stderr);
    if (!found.verified) {
        printError(QStringLiteral("Aucune table n'a passé la vérification : rien n'est écrit."));
        return kExitFailure;
    }

    // The table's rows are positions in the selection, read as a reduced system's are.
    Output out(kHelp.name);
    out.setFailureMessage(ticketFileFailure);
    if (!out.open(parser.value(output), true))
        return kExitFailure;
    TicketFileSink sink(selection, out.device());
    sink.begin(TicketLayout { request.perTicket, 0, { 1, 2, 3 } }, found.rows.size());
    std::string letters;
    for (const std::vector<int> &row : found.rows) {
        letters.clear();
        for (int position : row)
            letters += char(64 + position);
        if (!sink.add(letters))
            break;
    }
    const int status = out.finish(sink.finish());
    if (status != kExitOk)
        return status;
    printError(QStringLiteral("%1 tickets trouvés (%2), jeu complet : %3 tickets, borne inférieure : %4, "
                              "garantie vérifiée")
                   .arg(found.rows.size())
                   .arg(endText(found))
                   .arg(found.fullCount)
                   .arg(found.lowerBound));
    if (cost.wanted())
        cost.print(std::int64_t(found.rows.size()));
    return kExitOk;
}

} // namespace

extern const Command reduceCommand { "reduce",
    "search a reduced system of your own (n horses, k per ticket, bases, guarantee)", run };

} // namespace mvx::cli
