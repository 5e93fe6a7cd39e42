// holes: the arrivals a ticket file leaves without a win, category by category.

#include "cli/command.h"
#include "cli/output.h"

#include "arrival/ticket_holes.h"
#include "combi/ticket_text.h"

namespace mvx::cli {

namespace {

const CommandHelp kHelp {
    "holes",
    "Utilisation : marovellix-cli holes --selection H1,...,Hn [--bases B] [-t T [-m M]] [FICHIER]\n",
    "Lit un fichier de tickets (l'entrée standard sans FICHIER) et écrit, pour chaque\n"
    "catégorie de gain de la taille de ses tickets, les arrivées dont les premières places\n"
    "sont des chevaux de la sélection et pour lesquelles aucun ticket ne gagne cette\n"
    "catégorie ou une meilleure (les places après celles que la catégorie regarde allant à\n"
    "des chevaux d'aucun ticket). Les tickets ont de 2 à 5 chevaux, tous le même nombre :\n"
    "des numéros 1 à 20 suivis chacun d'une virgule, sans cheval répété.\n"
    "\n"
    "Une ligne par catégorie, séparée par des tabulations : la catégorie, les arrivées sans\n"
    "gain, les arrivées considérées, les premières places qui comptent, et jusqu'à cinq de\n"
    "ces arrivées (les chevaux dans l'ordre des places joints par '-', séparées par des\n"
    "espaces). Une catégorie qui ignore l'ordre montre chaque ensemble de chevaux une fois.\n"
    "\n"
    "Avec --bases B, les B premiers chevaux de la sélection sont des bases : seules les\n"
    "arrivées qui ont toutes les bases parmi les places qui comptent sont considérées.\n"
    "\n"
    "Avec -t T, une ligne GARANTIE de plus compte la garantie d'un système réduit : les\n"
    "arrivées dont les M premiers (T sans -m) sont des chevaux de la sélection, les bases\n"
    "comprises, et pour lesquelles aucun ticket n'en a T. Les tickets ont alors de 2 à 7\n"
    "chevaux.\n",
    "Code de sortie : 0 quand les comptes sont écrits, 1 quand le fichier ne peut pas être\n"
    "lu ou la sortie écrite, 2 pour un argument incorrect, un fichier sans ticket ou une\n"
    "ligne qui n'est pas un ticket.\n",
};

int run(const QStringList &arguments)
{
    const QCommandLineOption selectionOption(
        "selection", "Les chevaux sélectionnés, séparés par des virgules (1..20, 20 au plus).", "H1,...,Hn");
    const QCommandLineOption basesOption(
        { "b", "bases" }, "Les B premiers chevaux de la sélection sont des bases (0..3).", "B");
    QCommandLineParser parser;
    const QCommandLineOption guaranteeOption(
        { "t", "guarantee" }, "Compte aussi les arrivées dont aucun ticket n'a T chevaux des M premiers.", "T");
    const QCommandLineOption amongOption(
        { "m", "among" }, "Les M premiers arrivés de la garantie (T par défaut).", "M");
    parser.addOptions({ selectionOption, basesOption, guaranteeOption, amongOption });
    parser.addPositionalArgument(QStringLiteral("FICHIER"),
        QStringLiteral("Le fichier de tickets (l'entrée standard sans lui)."), QStringLiteral("[FICHIER]"));
    if (const std::optional<int> status = parseCommandLine(parser, arguments, kHelp))
        return *status;

    if (!parser.isSet(selectionOption))
        return usageError(kHelp.name, QStringLiteral("l'option « --selection » est nécessaire"));
    std::vector<int> selection;
    for (const QString &text : parser.value(selectionOption).split(QLatin1Char(','))) {
        const std::optional<int> horse = parseNumber(text, 1, 20);
        if (!horse || std::find(selection.begin(), selection.end(), *horse) != selection.end()
            || selection.size() == std::size_t(TicketHoles::kMaxSelection))
            return usageError(kHelp.name,
                QStringLiteral("sélection incorrecte %1 (des chevaux différents de 1 à 20)")
                    .arg(quoted(parser.value(selectionOption))));
        selection.push_back(*horse);
    }
    int bases = 0;
    if (parser.isSet(basesOption)) {
        const std::optional<int> b = parseNumber(parser.value(basesOption), 0, std::min<int>(3, int(selection.size())));
        if (!b)
            return usageError(kHelp.name,
                QStringLiteral("nombre de bases incorrect %1 (0 à 3, dans la sélection)")
                    .arg(quoted(parser.value(basesOption))));
        bases = *b;
    }
    int needed = 0;
    int among = 0;
    if (parser.isSet(amongOption) && !parser.isSet(guaranteeOption))
        return usageError(kHelp.name, QStringLiteral("l'option « --among » demande « --guarantee »"));
    if (parser.isSet(guaranteeOption)) {
        const int most = int(selection.size());
        const std::optional<int> t = parseNumber(parser.value(guaranteeOption), 1, std::min(7, most));
        if (!t)
            return usageError(kHelp.name,
                QStringLiteral("garantie incorrecte %1 (1 à 7, dans la sélection)")
                    .arg(quoted(parser.value(guaranteeOption))));
        needed = *t;
        among = needed;
        if (parser.isSet(amongOption)) {
            const std::optional<int> m = parseNumber(parser.value(amongOption), needed, most);
            if (!m || *m < bases)
                return usageError(kHelp.name,
                    QStringLiteral("valeur incorrecte %1 de « --among » (de la garantie au nombre de chevaux)")
                        .arg(quoted(parser.value(amongOption))));
            among = *m;
        }
    }
    QFile in;
    QString name;
    if (const std::optional<int> status = openInput(in, name, parser.positionalArguments(), kHelp.name, "de tickets"))
        return *status;

    TicketHoles holes(selection, bases);
    const TicketTextRead read = readTicketText(in, needed > 0 ? TicketSizes { 2, 7 } : kClassifiedTicketSizes,
        [&](std::span<const int> horses) { return holes.add(horses); });
    if (read.readFailed) {
        printError(QStringLiteral("%1 : %2").arg(name, read.error));
        return kExitFailure;
    }
    if (!read.ok())
        return refuseInput(kHelp.name, QStringLiteral("%1 : %2").arg(name, read.error));
    if (read.tickets == 0)
        return refuseInput(kHelp.name, QStringLiteral("%1 : aucun ticket").arg(name));
    std::vector<CategoryHoles> counted = holes.count();
    if (needed > 0)
        counted.push_back(holes.promiseHoles(among, needed));

    Output out(kHelp.name);
    if (!out.open(QString()))
        return kExitFailure;
    for (const CategoryHoles &c : counted) {
        QStringList examples;
        for (const std::vector<int> &arrival : c.examples) {
            QStringList places;
            for (int horse : arrival)
                places.append(QString::number(horse));
            examples.append(places.join(QLatin1Char('-')));
        }
        out.write(QStringLiteral("%1\t%2\t%3\t%4\t%5\n")
                      .arg(c.label)
                      .arg(c.holes)
                      .arg(c.arrivals)
                      .arg(c.places)
                      .arg(examples.join(QLatin1Char(' '))));
    }
    return out.finish();
}

} // namespace

extern const Command holesCommand { "holes",
    "compte les arrivées qu'un fichier de tickets laisse sans gain, par catégorie", run };

} // namespace mvx::cli
