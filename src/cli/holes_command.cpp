// holes: the arrivals a ticket file leaves without a win, category by category.

#include "cli/command.h"
#include "cli/output.h"

#include "arrival/ticket_holes.h"
#include "combi/ticket_text.h"

namespace mvx::cli {

namespace {

const CommandHelp kHelp {
    "holes",
    "Usage: marovellix-cli holes --selection H1,...,Hn [--bases B] [FILE]\n",
    "Read a ticket text file (standard input without FILE) and print, for each winning\n"
    "category of its ticket size, the arrivals whose first places are horses of the\n"
    "selection and for which no ticket wins that category or a better one (the places\n"
    "after those the category looks at going to horses on no ticket).\n"
    "\n"
    "One line per category, tab separated: the category, the arrivals without a win,\n"
    "the arrivals considered, the first places that count, and up to five of those\n"
    "arrivals (horses in place order joined by '-', separated by blanks). A category\n"
    "that ignores the order shows each set of horses once.\n"
    "\n"
    "With --bases B the first B horses of the selection are bases: only arrivals that\n"
    "hold every base among the places that count are considered.\n",
    "Exit status: 0 when the counts were written, 1 when the file could not be read or\n"
    "the output written, 2 for a bad argument or a malformed ticket file.\n",
};

int run(const QStringList &arguments)
{
    const QCommandLineOption selectionOption(
        "selection", "The selected horses, comma separated (1..20, at most 20).", "H1,...,Hn");
    const QCommandLineOption basesOption(
        { "b", "bases" }, "The first B horses of the selection are bases (0..3).", "B");
    QCommandLineParser parser;
    parser.addOptions({ selectionOption, basesOption });
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("The ticket file (standard input without it)."),
        QStringLiteral("[FILE]"));
    if (const std::optional<int> status = parseCommandLine(parser, arguments, kHelp))
        return *status;

    if (!parser.isSet(selectionOption))
        return usageError(kHelp.name, QStringLiteral("option '--selection' is needed"));
    std::vector<int> selection;
    for (const QString &text : parser.value(selectionOption).split(QLatin1Char(','))) {
        const std::optional<int> horse = parseNumber(text, 1, 20);
        if (!horse || std::find(selection.begin(), selection.end(), *horse) != selection.end()
            || selection.size() == std::size_t(TicketHoles::kMaxSelection))
            return usageError(kHelp.name,
                QStringLiteral("invalid selection '%1' (distinct horses 1 to 20)").arg(parser.value(selectionOption)));
        selection.push_back(*horse);
    }
    int bases = 0;
    if (parser.isSet(basesOption)) {
        const std::optional<int> b = parseNumber(parser.value(basesOption), 0, std::min<int>(3, int(selection.size())));
        if (!b)
            return usageError(kHelp.name,
                QStringLiteral("invalid number of bases '%1' (0 to 3, within the selection)")
                    .arg(parser.value(basesOption)));
        bases = *b;
    }
    QFile in;
    QString name;
    if (const std::optional<int> status = openInput(in, name, parser.positionalArguments(), kHelp.name, "ticket"))
        return *status;

    TicketHoles holes(selection, bases);
    bool mixedSizes = false;
    const QString readError = readTicketText(in, [&](std::span<const int> horses) {
        mixedSizes = !holes.add(horses);
        return !mixedSizes;
    });
    if (!readError.isEmpty()) {
        if (in.error() != QFileDevice::NoError) {
            printError(QStringLiteral("%1 : %2").arg(name, readError));
            return kExitFailure;
        }
        return refuseInput(kHelp.name, QStringLiteral("%1 : %2").arg(name, readError));
    }
    if (mixedSizes)
        return refuseInput(kHelp.name,
            QStringLiteral("%1 : le ticket %2 n'a pas %3 chevaux comme le premier")
                .arg(name)
                .arg(holes.ticketCount() + 1)
                .arg(holes.horsesPerTicket()));
    if (holes.ticketCount() == 0)
        return refuseInput(kHelp.name, QStringLiteral("%1 : aucun ticket").arg(name));
    const std::vector<CategoryHoles> counted = holes.count();
    if (counted.empty())
        return refuseInput(kHelp.name,
            QStringLiteral("aucune catégorie de gain pour des tickets de %1 chevaux (2 à 5)")
                .arg(holes.horsesPerTicket()));

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

extern const Command holesCommand { "holes", "count the arrivals a ticket file leaves without a win, by category",
    run };

} // namespace mvx::cli
