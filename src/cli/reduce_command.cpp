// reduce: a reduced system of the punter's own, searched, checked and written as a ticket file.

#include "cli/command.h"
#include "cli/cost_options.h"
#include "cli/output.h"

#include "combi/bet_promise.h"
#include "combi/covering_search.h"
#include "combi/own_library.h"
#include "combi/own_system.h"
#include "combi/ticket_file.h"

#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace mvx::cli {

namespace {

const CommandHelp kHelp {
    "reduce",
    "Utilisation : marovellix-cli reduce -n N -k K [-b B] -t T [-m M] [OPTION]... CHEVAL...\n",
    "Cherche un petit ensemble de tickets de K chevaux parmi les N chevaux donnés (les B\n"
    "premiers d'entre eux des bases, dans chaque ticket) qui tient cette garantie : chaque\n"
    "fois que les T premiers arrivés sont les bases et T - B autres chevaux de la\n"
    "sélection, au moins un ticket les a tous les T. Avec -m M (M plus grand que T), la\n"
    "garantie porte sur les M premiers : chaque fois que ce sont les bases et M - B autres\n"
    "chevaux de la sélection, au moins un ticket en a T, les bases comprises (avec -k 2\n"
    "-t 2 -m 3, « si 3 de vos chevaux sont dans les 3 premiers, un ticket paie le couplé\n"
    "placé »). Avec --bet PARI (multi6, couple-place, 2sur4, quinte...), K est la taille\n"
    "du pari et la garantie celle qui a un sens pour lui (Multi : les 4 premiers parmi vos\n"
    "chevaux ; couplé placé : 3 de vos chevaux dans les 3 premiers ; 2sur4 : 4 dans les\n"
    "4 premiers), sauf -t et -m ; trio, Super4, Pick5 et Multi en 4 ne se réduisent que\n"
    "pour une part des arrivées (--share). Les tickets sont écrits au format du\n"
    "fichier de tickets, comme \"Générer un fichier\" les écrit ; l'erreur standard reçoit\n"
    "une ligne : les tickets trouvés, le nombre du jeu complet, la borne inférieure (aucune\n"
    "table ne peut être plus petite) et \"garantie vérifiée\" une fois chaque arrivée\n"
    "promise vérifiée sur les tickets.\n"
    "\n"
    "La recherche est la même pour la même graine et le même nombre de coups ; une durée\n"
    "ou Ctrl-C ne font que la finir plus tôt, avec la meilleure table trouvée (vérifiée,\n"
    "même après un seul coup). Elle part de zéro, ou avec --library de la table de la\n"
    "bibliothèque du programme. Les tables qu'une construction connue donne au plus petit\n"
    "possible (les paires du couplé placé et du 2sur4, les systèmes de Steiner de 4, 8,\n"
    "10, 16 et 20 chevaux par 4 pour les 3 premiers, les 17 chevaux par 5 pour les 3\n"
    "premiers) sont construites aussitôt, avec ou sans --library. Avec\n"
    "--share P, la garantie ne vaut que pour P % au moins des arrivées promises ; la\n"
    "ligne donne alors la part exacte des arrivées gagnées.\n",
    "Code de sortie : 0 quand les tickets sont écrits, 1 quand la sortie ne peut pas être\n"
    "écrite, 2 pour un argument incorrect ou une sélection refusée (rien n'est écrit).\n",
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
    const QCommandLineOption horses({ "n", "horses" }, "Chevaux de la sélection, bases comprises (1..20).", "N");
    const QCommandLineOption perTicket({ "k", "per-ticket" }, "Chevaux par ticket (2..7).", "K");
    const QCommandLineOption bases(
        { "b", "bases" }, "Bases, les premiers chevaux donnés, dans chaque ticket (0..3).", "B");
    const QCommandLineOption guarantee({ "t", "guarantee" }, "Les T premiers arrivés qu'un ticket a (B..K).", "T");
    const QCommandLineOption among(
        { "m", "among" }, "Les M premiers arrivés dont un ticket a T chevaux (T..N, T par défaut).", "M");
    const QCommandLineOption seconds("seconds", "Durée en secondes (10 par défaut sans --moves).", "S");
    const QCommandLineOption moves("moves", "Nombre de coups : les mêmes coups donnent les mêmes tickets.", "M");
    const QCommandLineOption seed("seed", "Graine de la recherche (1 par défaut).", "X");
    const QCommandLineOption output(
        { "o", "output" }, "Écrit dans FICHIER au lieu de la sortie standard (\"-\").", "FICHIER");
    const QCommandLineOption library("library", "Part de la table de la bibliothèque du programme.");
    const QCommandLineOption betOption(
        "bet", "Le pari des tickets : sa taille et la garantie qui a un sens pour lui.", "PARI");
    const QCommandLineOption share(
        "share", "Part des arrivées promises où la garantie vaut (1..100, 100 par défaut).", "P");
    CostOptions cost;

    QCommandLineParser parser;
    parser.addOptions(
        { horses, perTicket, bases, guarantee, among, seconds, moves, seed, output, library, share, betOption });
    cost.addTo(parser);
    parser.addPositionalArgument(
        QStringLiteral("CHEVAL"), QStringLiteral("Les N chevaux, les bases d'abord."), QStringLiteral("CHEVAL..."));
    if (const std::optional<int> status = parseCommandLine(parser, arguments, kHelp))
        return *status;

    std::optional<Bet> bet;
    if (parser.isSet(betOption)) {
        bet = betFromCliName(parser.value(betOption));
        if (!bet)
            return usageError(kHelp.name, QStringLiteral("pari inconnu %1").arg(quoted(parser.value(betOption))));
    }
    for (const QCommandLineOption *required : { &horses, &perTicket, &guarantee })
        if (!parser.isSet(*required) && (!bet || required == &horses))
            return usageError(
                kHelp.name, QStringLiteral("l'option « --%1 » est nécessaire").arg(required->names().back()));
    SystemRequest request;
    struct NumberOption
    {
        const QCommandLineOption &option;
        int &value;
        int low, high;
    };
    for (const NumberOption &o : { NumberOption { horses, request.horses, 1, 20 },
             NumberOption { perTicket, request.perTicket, 2, kMostPerOwnTicket },
             NumberOption { bases, request.bases, 0, 3 },
             NumberOption { guarantee, request.guarantee, 0, kMostPerOwnTicket },
             NumberOption { among, request.among, 0, 20 } }) {
        if (!parser.isSet(o.option))
            continue;
        const std::optional<int> n = parseNumber(parser.value(o.option), o.low, o.high);
        if (!n)
            return usageError(kHelp.name,
                QStringLiteral("valeur incorrecte %1 de « --%2 » (%3 à %4)")
                    .arg(quoted(parser.value(o.option)), o.option.names().back())
                    .arg(o.low)
                    .arg(o.high));
        o.value = *n;
    }
    if (bet) {
        // The bet sets the ticket size and, unless given, the promise that means something for it.
        const std::vector<BetPromise> promises = betPromises(*bet, request.bases);
        if (promises.empty())
            return usageError(kHelp.name,
                QStringLiteral("aucun système réduit pour le pari %1 avec %2 base(s)")
                    .arg(betName(*bet))
                    .arg(request.bases));
        if (parser.isSet(perTicket) && request.perTicket != horsesPerTicket(*bet))
            return usageError(kHelp.name,
                QStringLiteral("le pari %1 a des tickets de %2 chevaux").arg(betName(*bet)).arg(horsesPerTicket(*bet)));
        request.perTicket = horsesPerTicket(*bet);
        if (!parser.isSet(guarantee)) {
            request.guarantee = promises.front().guarantee;
            if (!parser.isSet(among))
                request.among = promises.front().among;
        } else if (!parser.isSet(among)) {
            for (const BetPromise &p : promises)
                if (p.guarantee == request.guarantee) {
                    request.among = p.among;
                    break;
                }
        }
    }
    if (const QString wrong = systemRequestError(request); !wrong.isEmpty())
        return usageError(kHelp.name, wrong);

    SearchControl control;
    std::uint64_t seedValue = 1;
    if (parser.isSet(moves)) {
        bool ok = false;
        control.moveBudget = parser.value(moves).toLongLong(&ok);
        if (!ok || control.moveBudget < 1)
            return usageError(
                kHelp.name, QStringLiteral("nombre de coups incorrect %1").arg(quoted(parser.value(moves))));
    }
    if (parser.isSet(seconds)) {
        bool ok = false;
        control.secondsBudget = parser.value(seconds).toDouble(&ok);
        if (!ok || !(control.secondsBudget > 0))
            return usageError(kHelp.name, QStringLiteral("durée incorrecte %1").arg(quoted(parser.value(seconds))));
    } else if (!parser.isSet(moves)) {
        control.secondsBudget = kDefaultSeconds;
    }
    if (parser.isSet(seed)) {
        bool ok = false;
        seedValue = parser.value(seed).toULongLong(&ok);
        if (!ok)
            return usageError(kHelp.name, QStringLiteral("graine incorrecte %1").arg(quoted(parser.value(seed))));
    }
    ReducedSearchOptions options;
    if (parser.isSet(share)) {
        const std::optional<int> percent = parseNumber(parser.value(share), 1, 100);
        if (!percent)
            return usageError(kHelp.name,
                QStringLiteral("valeur incorrecte %1 de « --share » (1 à 100)").arg(quoted(parser.value(share))));
        options.sharePercent = *percent;
    }
    if (parser.isSet(library)) {
        std::optional<LibraryTable> table = libraryTable(request);
        if (!table)
            return usageError(kHelp.name, QStringLiteral("la bibliothèque n'a pas de table pour cette demande"));
        options.start = std::move(table->rows);
    }
    if (parser.isSet(output) && parser.value(output).isEmpty())
        return usageError(kHelp.name, QStringLiteral("l'option « --output » demande un nom de fichier"));
    if (const std::optional<int> status = cost.read(parser, kHelp.name, request.perTicket, bet))
        return *status;

    // The horses, as the selection boxes read them: numbers 1..20, none repeated.
    const QStringList given = parser.positionalArguments();
    if (given.size() != request.horses)
        return usageError(
            kHelp.name, QStringLiteral("%1 chevaux attendus, %2 donnés").arg(request.horses).arg(given.size()));
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
    const FoundSystem found = searchReducedSystem(request, seedValue, control, options);
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
    if (options.sharePercent < 100)
        printError(QStringLiteral("%1 tickets trouvés (%2), jeu complet : %3 tickets, la garantie vaut pour %4 des "
                                  "arrivées (%5 sur %6, vérifié)")
                       .arg(found.rows.size())
                       .arg(endText(found))
                       .arg(found.fullCount)
                       .arg(arrivalShareText(found.wonArrivals, found.promisedArrivals))
                       .arg(found.wonArrivals)
                       .arg(found.promisedArrivals));
    else
        printError(QStringLiteral("%1 tickets trouvés (%2), jeu complet : %3 tickets, borne inférieure : %4, "
                                  "garantie vérifiée")
                       .arg(found.rows.size())
                       .arg(endText(found))
                       .arg(found.fullCount)
                       .arg(found.lowerBound));
    if (bet)
        printError(QStringLiteral("%1 : %2").arg(betName(*bet), betPromiseText(*bet, request)));
    if (cost.wanted())
        cost.print(std::int64_t(found.rows.size()));
    return kExitOk;
}

} // namespace

extern const Command reduceCommand { "reduce",
    "cherche un système réduit à vous (n chevaux, k par ticket, bases, garantie)", run };

} // namespace mvx::cli
