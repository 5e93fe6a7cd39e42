// compare: a ticket file against the official arrival, ticket by ticket, with the summary and
// the winnings of the comparison window.

#include "cli/command.h"
#include "cli/compare_bet.h"
#include "cli/compare_official.h"
#include "cli/compare_options.h"
#include "cli/output.h"
#include "cli/race_record_options.h"

#include "combi/ticket_text.h"

#include <cstring>

namespace mvx::cli {

namespace {

const CommandHelp kHelp {
    "compare",
    "Utilisation : marovellix-cli compare --arrival A,B,C,D,E [--payouts P1,...,P10] [FICHIER]\n"
    "              marovellix-cli compare --arrival A,B,C=D,E [--non-runners H,...] [--complement H]\n"
    "                                     [--rapports RAPPORTS | --payouts P1,...,P10]\n"
    "                                     [--rapports-pour 1|base] [FICHIER]\n"
    "              marovellix-cli compare --bet PARI --arrival A,B,C=D,E [--runners N]\n"
    "                                     [--non-runners H,...] [--complement H] [--rapports RAPPORTS]\n"
    "                                     [FICHIER]\n",
    "Lit un fichier de tickets (l'entrée standard sans FICHIER) et compare chaque ticket\n"
    "à l'arrivée, comme la fenêtre de comparaison. Pour chaque ticket, dans l'ordre du\n"
    "fichier, écrit sa ligne, une tabulation et sa catégorie de gain (rien s'il ne gagne\n"
    "rien) ; puis une ligne vide, une ligne par catégorie gagnante et les gains\n"
    "(\"Gains  :\"). Le fichier est vérifié en entier avant que rien ne soit écrit : une\n"
    "ligne qui n'est pas un ticket de 2 à 5 chevaux (des numéros 1 à 20 suivis chacun\n"
    "d'une virgule, sans cheval répété, tous les tickets de la même taille) est refusée.\n"
    "\n"
    "L'arrivée donne les chevaux des places 1 à 5 (moins de cinq laissent les places\n"
    "suivantes vides). Les rapports, par ticket gagnant, suivent l'ordre des champs de la\n"
    "fenêtre : quinté ordre, désordre, bonus 4/5, bonus 4, bonus 3 ; quarté ordre,\n"
    "désordre, bonus ; tiercé ordre, désordre (ceux qui manquent valent 0). Les nombres\n"
    "s'écrivent avec le point.\n"
    "\n"
    "L'arrivée officielle : des chevaux à égalité (dead-heat) s'écrivent avec « = » et la\n"
    "place suivante est sautée (7,13,2=9,20 : 20 est 5e) ; --non-runners donne les\n"
    "non-partants, --complement le cheval de complément, qui remplace le premier\n"
    "non-partant d'un ticket (un ticket qui le contient déjà est refusé) ; --rapports\n"
    "lit les rapports publiés, un par ligne : la catégorie (avec ou sans accents), la\n"
    "combinaison (7-13-2, 16-NP ; sans elle, le rapport paie toute la catégorie ; une\n"
    "combinaison publiée passe avant le rapport de toute la catégorie) et le montant\n"
    "(« Tierce ordre 7-13-2 120.50 », « Bonus 4 12 345,60 »), de 0 à 9 999 999,99 € avec\n"
    "au plus deux décimales. Les rapports sont pris pour la mise de base du pari, ou pour\n"
    "1 € avec --rapports-pour 1 (un rapport pour 1 € est alors multiplié par la mise de\n"
    "base, arrondi au centime inférieur).\n"
    "\n"
    "Avec l'une de ces options ou une égalité, chaque ticket atteint toutes les catégories\n"
    "dont il remplit la condition, dans chacun des ordres des chevaux à égalité, les plus\n"
    "basses comprises (le Bonus 3 pour qui a les trois premiers, le couplé placé pour qui a\n"
    "les deux premiers), et il est payé à la première d'entre elles, dans l'ordre des\n"
    "catégories, pour laquelle un rapport est publié ; sa ligne porte en plus une\n"
    "tabulation, la combinaison payante (« × 4 » quand le règlement paie plusieurs fois le\n"
    "rapport) et son montant, ou « rapport non publié » quand aucun rapport publié ne paie\n"
    "ce gagnant, et le résumé compte ces gagnants (« 2 gagnants sans rapport publié :\n"
    "Bonus 4 sur 5 »). Les non-partants suivent le règlement (« Tiercé 1 NP »,\n"
    "« Remboursé »... ; le quinté+ avec un non-partant est payé sur ses bonus, ou par le\n"
    "rapport « Quinté 1 NP » publié pour sa combinaison). Une arrivée qui classe moins de\n"
    "chevaux que le pari n'en demande est jugée selon le règlement sur ce chemin seulement :\n"
    "les tickets qui ont les chevaux classés sont payés du rapport publié pour eux, et tous\n"
    "sont remboursés quand aucun rapport n'est publié pour le pari (avec --payouts seul,\n"
    "l'arrivée de cinq places garde ses catégories). Avec --payouts, chaque champ compte\n"
    "comme publié. Le résumé donne alors aussi les gains joués --multiplier fois, la mise,\n"
    "le remboursement et le bilan, aux mises habituelles, comptés en centimes sur 64 bits :\n"
    "une somme qui ne tient pas est refusée.\n"
    "\n"
    "--bet donne le pari joué (couple, couple-gagnant, couple-place, couple-ordre, 2sur4,\n"
    "trio, trio-ordre, tierce, quarte, super4, multi4 à multi7, mini-multi4 à\n"
    "mini-multi6, quinte, pick5, simple-gagnant, simple-place) : chaque ticket, de la\n"
    "taille du pari, est jugé selon son règlement et seules ses catégories paient\n"
    "(« Couplé placé 7-13 3,20 », « Multi en 5 7-13-2-9 84,00 »...). Deux paris de même\n"
    "taille séparés par une virgule sont joués ensemble, une ligne par pari :\n"
    "« --bet couple-gagnant,couple-place » joue chaque couplé à cheval. --runners donne\n"
    "le nombre de partants, dont dépendent des remboursements (2sur4, Multi, simple\n"
    "placé) ; sans lui, le champ est compté plein. Le résumé d'un pari autre que les\n"
    "quatre d'origine donne les gains seuls.\n",
    "Code de sortie : 0 quand la comparaison est écrite, 1 quand le fichier ne peut pas\n"
    "être lu ou la sortie écrite, 2 pour un argument incorrect, un fichier sans ticket ou\n"
    "une ligne qui n'est pas un ticket, une ligne de rapports incorrecte (avec son\n"
    "numéro), un ticket qui contient le cheval de complément ou une somme trop grande (rien\n"
    "n'est alors écrit).\n"
    "\n"
    "Exemple : 7 gagne devant 13, 2 et 9 sont 3es ex aequo, 4 ne part pas.\n"
    "  $ cat rapports.txt\n"
    "  Tiercé ordre 7-13-2 120.50\n"
    "  Tiercé ordre 7-13-9 98.00\n"
    "  Tiercé désordre 7-13-2 24.10\n"
    "  Tiercé désordre 7-13-9 19.60\n"
    "  Tiercé 1 NP 7-13-NP 15.20\n"
    "  $ printf '7,13,2,\\n13,7,9,\\n7,4,13,\\n9,2,7,\\n' |\n"
    "    marovellix-cli compare -a 7,13,2=9 --non-runners 4 --rapports rapports.txt\n"
    "  7,13,2,\tTierce ordre\t7-13-2 120.50\n"
    "  13,7,9,\tTiercé désordre\t7-13-9 19.60\n"
    "  7,4,13,\tTiercé 1 NP\t7-13-NP 15.20\n"
    "  9,2,7,\t\n"
    "\n"
    "  1 Tiercé\n"
    "  1 Tiercé desordre\n"
    "  1 Tiercé 1 NP\n"
    "  Gains  :155.3\n"
    "  Mise : 4.00 €\n"
    "  Remboursement : 0.00 €\n"
    "  Bilan : +151.30 €\n",
};

// The ticket's line as the program writes it ("7,3,12,"), without its line end; a ticket read is
// at most eight horses of two digits.
qsizetype writeTicket(char *line, std::span<const int> horses)
{
    char *end = line;
    for (int horse : horses) {
        if (horse >= 10)
            *end++ = char('0' + horse / 10);
        *end++ = char('0' + horse % 10);
        *end++ = ',';
    }
    return end - line;
}

std::optional<Payouts> payoutsOf(const QCommandLineParser &parser, const QCommandLineOption &option, int &status)
{
    const std::optional<Payouts> read = readPayoutsOption(parser.value(option));
    if (!read)
        status = usageError(kHelp.name,
            QStringLiteral("rapports incorrects %1 (dix nombres au plus, positifs ou nuls, avec le point décimal)")
                .arg(quoted(parser.value(option))));
    return read;
}

int runWithOfficialResult(const QCommandLineParser &parser, OfficialResultOptions &official, const QString &arrival,
    const QCommandLineOption &payoutsOption, RaceRecordOptions &record, CompareBetOption &bet)
{
    if (bet.given(parser)) {
        if (const std::optional<int> status = bet.read(parser, kHelp.name))
            return *status;
        if (parser.isSet(QStringLiteral("record")) && bet.bets().size() > 1)
            return usageError(kHelp.name,
                QStringLiteral("« --record » garde une course d'un seul pari : jouez ces paris en deux "
                               "comparaisons"));
    }
    std::optional<Payouts> payouts;
    if (parser.isSet(payoutsOption)) {
        int status = kExitOk;
        payouts = payoutsOf(parser, payoutsOption, status);
        if (!payouts)
            return status;
    }
    if (const std::optional<int> status = official.read(parser, arrival, payouts, kHelp.name))
        return *status;
    if (const std::optional<int> status = record.read(parser, kHelp.name))
        return *status;
    QFile in;
    QString name;
    if (const std::optional<int> status = openInput(in, name, parser.positionalArguments(), kHelp.name, "de tickets"))
        return *status;
    // --multiplier was checked with --record: the money printed is the money stored.
    const QString multiplier = QStringLiteral("multiplier");
    const std::int64_t times = parser.isSet(multiplier) ? parser.value(multiplier).toLongLong() : 1;
    if (bet.given(parser))
        return compareBetsWithOfficialResult(in, name, official.result(), bet.bets(), times, kHelp.name, record);
    return compareWithOfficialResult(in, name, official.result(), times, kHelp.name, record);
}

int run(const QStringList &arguments)
{
    const QCommandLineOption arrivalOption(
        { "a", "arrival" }, "Les chevaux des places 1 à 5, séparés par des virgules (1..20).", "A,B,C,D,E");
    const QCommandLineOption payoutsOption({ "p", "payouts" },
        "Le rapport d'un ticket gagnant par catégorie payée, séparés par des virgules.", "P1,...,P10");
    QCommandLineParser parser;
    parser.addOptions({ arrivalOption, payoutsOption });
    OfficialResultOptions official;
    official.addTo(parser);
    RaceRecordOptions record;
    record.addTo(parser);
    CompareBetOption bet;
    bet.addTo(parser);
    parser.addPositionalArgument(QStringLiteral("FICHIER"),
        QStringLiteral("Le fichier de tickets (l'entrée standard sans lui)."), QStringLiteral("[FICHIER]"));
    if (const std::optional<int> status = parseCommandLine(parser, arguments, kHelp))
        return *status;

    if (!parser.isSet(arrivalOption))
        return usageError(kHelp.name, QStringLiteral("l'option « --arrival » est nécessaire"));
    if (official.wanted(parser, parser.value(arrivalOption)) || bet.given(parser))
        return runWithOfficialResult(parser, official, parser.value(arrivalOption), payoutsOption, record, bet);
    const std::optional<Arrival> arrival = readArrivalOption(parser.value(arrivalOption));
    if (!arrival)
        return usageError(kHelp.name,
            QStringLiteral("arrivée incorrecte %1 (un à cinq chevaux, de 1 à 20)")
                .arg(quoted(parser.value(arrivalOption))));
    // The places given are the places meant: a horse given twice is refused whatever the
    // tickets' size, before anything is read or written.
    if (const std::optional<RepeatedHorse> repeated = repeatedArrivalHorse(*arrival, kArrivalPlaces))
        return usageError(kHelp.name, repeatedHorseText(*repeated));
    Payouts payouts {};
    if (parser.isSet(payoutsOption)) {
        const std::optional<Payouts> read = readPayoutsOption(parser.value(payoutsOption));
        if (!read)
            return usageError(kHelp.name,
                QStringLiteral("rapports incorrects %1 (dix nombres au plus, positifs ou nuls, avec le point "
                               "décimal)")
                    .arg(quoted(parser.value(payoutsOption))));
        payouts = *read;
    }
    if (const std::optional<int> status = record.read(parser, kHelp.name))
        return *status;
    QFile in;
    QString name;
    if (const std::optional<int> status = openInput(in, name, parser.positionalArguments(), kHelp.name, "de tickets"))
        return *status;

    // The whole input is checked before anything is written: the report's lines wait in a temporary file.
    HeldOutput held;
    if (!held.open(name))
        return kExitFailure;
    std::array<QByteArray, kWinCategories + 1> labels;
    for (int c = 1; c <= kWinCategories; ++c)
        labels[std::size_t(c)] = gridLabel(WinCategory(c)).toUtf8();
    WinCounts counts {};
    char line[kLongestTicketLine + 64];
    const TicketTextRead read = readTicketText(in, kClassifiedTicketSizes, [&](std::span<const int> horses) {
        const WinCategory category = ticketCategory(horses, *arrival);
        record.see(horses);
        if (category != WinCategory::None)
            ++counts[std::size_t(category) - 1];
        const QByteArray &label = labels[std::size_t(category)];
        qsizetype length = writeTicket(line, horses);
        line[length++] = '\t';
        std::memcpy(line + length, label.constData(), std::size_t(label.size()));
        length += label.size();
        line[length++] = '\n';
        return held.write(line, length);
    });
    if (read.readFailed) {
        printError(QStringLiteral("%1 : %2").arg(name, read.error));
        return kExitFailure;
    }
    if (!read.ok())
        return refuseInput(kHelp.name, QStringLiteral("%1 : %2").arg(name, read.error));
    if (!held.complete())
        return kExitFailure;
    if (read.tickets == 0)
        return refuseInput(kHelp.name, QStringLiteral("%1 : aucun ticket").arg(name));

    const int recorded = record.store(kHelp.name, read.tickets, read.horsesPerTicket, counts, payouts);
    QString summary = summaryText(counts, payouts, QLocale::c());
    summary.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    const int shown = held.release(kHelp.name, (QStringLiteral("\n") + summary + QLatin1Char('\n')).toUtf8());
    return shown != kExitOk ? shown : recorded;
}

} // namespace

extern const Command compareCommand { "compare",
    "compare un fichier de tickets à l'arrivée : la catégorie de chaque ticket et les gains", run };

} // namespace mvx::cli
