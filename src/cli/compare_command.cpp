// compare: a ticket file against the official arrival, ticket by ticket, with the summary and
// the winnings of the comparison window.

#include "cli/command.h"
#include "cli/output.h"

#include "arrival/classification.h"
#include "arrival/winnings.h"

namespace mvx::cli {

namespace {

const CommandHelp kHelp {
    "compare",
    "Usage: marovellix-cli compare --arrival A,B,C,D,E [--payouts P1,...,P10] [FILE]\n",
    "Read a ticket text file (standard input without FILE) and check every ticket\n"
    "against the arrival, as the comparison window does. For each ticket, in file order,\n"
    "print its line as in the file, a tab and its winning category (empty when it wins\n"
    "nothing); then an empty line, one line per category with winning tickets, and the\n"
    "winnings (\"Gains  :\").\n"
    "\n"
    "The arrival is the horses of places 1 to 5 (fewer leave the later places unset).\n"
    "The payouts, per winning ticket, come in the order of the window's fields: quinté\n"
    "ordre, désordre, bonus 4/5, bonus 4, bonus 3; quarté ordre, désordre, bonus;\n"
    "tiercé ordre, désordre (missing ones are 0). Numbers use the full stop.\n",
    "Exit status: 0 when the comparison was written, 1 when the file could not be read\n"
    "or the output written, 2 for a bad argument or a line that is not a ticket.\n",
};

// The horse numbers of a ticket line ("7,3,12,", blanks allowed); false when it is not one.
bool readTicketLine(const QByteArray &line, std::vector<int> &horses)
{
    horses.clear();
    int number = -1;
    for (const char c : line) {
        if (c >= '0' && c <= '9') {
            number = (number < 0 ? 0 : number * 10) + (c - '0');
            if (number > 999)
                return false;
        } else if (c == ',') {
            if (number < 0)
                return false;
            horses.push_back(number);
            number = -1;
        } else if (c != ' ' && c != '\t') {
            return false;
        }
    }
    if (number >= 0)
        horses.push_back(number);
    return !horses.empty() && horses.size() <= 20;
}

int run(const QStringList &arguments)
{
    const QCommandLineOption arrivalOption(
        { "a", "arrival" }, "The horses of places 1 to 5, comma separated (1..20).", "A,B,C,D,E");
    const QCommandLineOption payoutsOption(
        { "p", "payouts" }, "The payout of one winning ticket per paid category, comma separated.", "P1,...,P10");
    QCommandLineParser parser;
    parser.addOptions({ arrivalOption, payoutsOption });
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("The ticket file (standard input without it)."),
        QStringLiteral("[FILE]"));
    if (const std::optional<int> status = parseCommandLine(parser, arguments, kHelp))
        return *status;

    if (!parser.isSet(arrivalOption))
        return usageError(kHelp.name, QStringLiteral("option '--arrival' is needed"));
    Arrival arrival {};
    const QStringList places = parser.value(arrivalOption).split(QLatin1Char(','));
    for (qsizetype p = 0; p < places.size(); ++p) {
        const std::optional<int> horse = parseNumber(places[p], 1, kMaxHorses);
        if (!horse || p >= kArrivalPlaces)
            return usageError(kHelp.name,
                QStringLiteral("invalid arrival '%1' (one to five horses, 1 to 20)").arg(parser.value(arrivalOption)));
        arrival[std::size_t(p + 1)] = *horse;
    }
    // The places given are the places meant: a horse given twice is refused whatever the
    // tickets' size, before anything is read or written.
    if (const std::optional<RepeatedHorse> repeated = repeatedArrivalHorse(arrival, kArrivalPlaces))
        return usageError(kHelp.name, repeatedHorseText(*repeated));
    // Each payout as the window keeps it once its field is left: rounded to two decimals.
    Payouts payouts {};
    if (parser.isSet(payoutsOption)) {
        const QStringList texts = parser.value(payoutsOption).split(QLatin1Char(','));
        PayoutTexts fields;
        fields.fill(QStringLiteral("0"));
        for (qsizetype i = 0; i < texts.size(); ++i) {
            if (i >= kPaidCategories || !parseAmount(texts[i], QLocale::c()))
                return usageError(kHelp.name,
                    QStringLiteral("invalid payouts '%1' (up to ten numbers of at least 0, full stop "
                                   "as decimal separator)")
                        .arg(parser.value(payoutsOption)));
            fields[std::size_t(i)] = formatAmount(texts[i], QLocale::c());
        }
        readPayouts(fields, payouts, QLocale::c());
    }
    QFile in;
    QString name;
    if (const std::optional<int> status = openInput(in, name, parser.positionalArguments(), kHelp.name, "ticket"))
        return *status;

    std::array<QByteArray, kWinCategories + 1> labels;
    for (int c = 1; c <= kWinCategories; ++c)
        labels[std::size_t(c)] = gridLabel(WinCategory(c)).toUtf8();
    Output out(kHelp.name);
    if (!out.open(QString()))
        return kExitFailure;
    WinCounts counts {};
    std::vector<int> horses;
    for (std::int64_t number = 1;; ++number) {
        QByteArray line = in.readLine();
        if (line.isEmpty()) {
            if (in.error() != QFileDevice::NoError) {
                printError(QStringLiteral("Impossible de lire le fichier %1 : %2").arg(name, in.errorString()));
                return kExitFailure;
            }
            break;
        }
        while (line.endsWith('\n') || line.endsWith('\r'))
            line.chop(1);
        if (line.trimmed().isEmpty())
            continue;
        if (!readTicketLine(line, horses))
            return refuseInput(
                kHelp.name, QStringLiteral("%1 : ligne %2 : ce n'est pas un ticket").arg(name).arg(number));
        const WinCategory category = ticketCategory(horses, arrival);
        if (category != WinCategory::None)
            ++counts[std::size_t(category) - 1];
        line += '\t';
        line += labels[std::size_t(category)];
        line += '\n';
        out.write(line);
    }
    QString summary = summaryText(counts, payouts, QLocale::c());
    summary.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    out.write(QStringLiteral("\n") + summary + QLatin1Char('\n'));
    return out.finish();
}

} // namespace

extern const Command compareCommand { "compare",
    "check a ticket file against the arrival: each ticket's category and the winnings", run };

} // namespace mvx::cli
