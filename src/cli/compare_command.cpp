// compare: a ticket file against the official arrival, ticket by ticket, with the summary and
// the winnings of the comparison window.

#include "cli/command.h"
#include "cli/compare_options.h"
#include "cli/output.h"
#include "cli/race_record_options.h"

#include "combi/ticket_text.h"

#include <cstring>

namespace mvx::cli {

namespace {

const CommandHelp kHelp {
    "compare",
    "Utilisation : marovellix-cli compare --arrival A,B,C,D,E [--payouts P1,...,P10] [FICHIER]\n",
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
    "s'écrivent avec le point.\n",
    "Code de sortie : 0 quand la comparaison est écrite, 1 quand le fichier ne peut pas\n"
    "être lu ou la sortie écrite, 2 pour un argument incorrect, un fichier sans ticket ou\n"
    "une ligne qui n'est pas un ticket (rien n'est alors écrit).\n",
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

int run(const QStringList &arguments)
{
    const QCommandLineOption arrivalOption(
        { "a", "arrival" }, "Les chevaux des places 1 à 5, séparés par des virgules (1..20).", "A,B,C,D,E");
    const QCommandLineOption payoutsOption({ "p", "payouts" },
        "Le rapport d'un ticket gagnant par catégorie payée, séparés par des virgules.", "P1,...,P10");
    QCommandLineParser parser;
    parser.addOptions({ arrivalOption, payoutsOption });
    RaceRecordOptions record;
    record.addTo(parser);
    parser.addPositionalArgument(QStringLiteral("FICHIER"),
        QStringLiteral("Le fichier de tickets (l'entrée standard sans lui)."), QStringLiteral("[FICHIER]"));
    if (const std::optional<int> status = parseCommandLine(parser, arguments, kHelp))
        return *status;

    if (!parser.isSet(arrivalOption))
        return usageError(kHelp.name, QStringLiteral("l'option « --arrival » est nécessaire"));
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
