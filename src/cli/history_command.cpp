// history: the races kept in the history ("Mes courses"), listed with their totals, exported as
// a semicolon-separated file, or deleted; and compare's --record, which stores a comparison.

#include "cli/command.h"
#include "cli/output.h"
#include "cli/race_record_options.h"

#include "combi/game_cost.h"
#include "history/race_history.h"

#include <QFile>

namespace mvx::cli {

namespace {

const CommandHelp kHelp {
    "history",
    "Utilisation : marovellix-cli history [--from AAAA-MM-JJ] [--to AAAA-MM-JJ] [--bet PARI]\n"
    "                                     [--export FICHIER] [--database FICHIER]\n"
    "              marovellix-cli history --delete NOM --date AAAA-MM-JJ [--database FICHIER]\n",
    "Liste les courses de l'historique (« Mes courses ») que « compare --record » et la\n"
    "fenêtre de comparaison y enregistrent, de la plus ancienne à la plus récente : une ligne\n"
    "par course, séparée par des tabulations, avec la date, le nom, le pari, les tickets, la\n"
    "mise, les gains et le bilan (en euros, avec le point) ; puis une ligne vide et les\n"
    "totaux des courses listées (mise, gains, remboursements, bilan, rendement = gains ÷\n"
    "mise).\n"
    "\n"
    "--from, --to et --bet ne gardent que les courses de ces jours (bornes comprises) ou de\n"
    "ce pari (couplé, tiercé, quarté, quinté, ou le nombre de chevaux par ticket).\n"
    "Avec --export, les courses listées sont écrites dans FICHIER, séparées par des\n"
    "points-virgules, comme l'export de la synthèse.\n"
    "Avec --delete, la course de ce nom et de cette date est effacée.\n"
    "\n"
    "L'historique est le fichier mes-courses.sqlite du dossier marovellix de\n"
    "$XDG_DATA_HOME (~/.local/share sans lui), dont le dossier est créé au besoin ;\n"
    "--database en désigne un autre, dans un dossier qui existe. Un historique endommagé\n"
    "ou un fichier d'un autre programme n'est jamais modifié, et --export ne remplace\n"
    "jamais l'historique lui-même.\n"
    "\n"
    "Chaque montant d'une course est gardé entre -100000000000.00 et 100000000000.00 €,\n"
    "chaque ticket joué 1 à 10000 fois ; des totaux qui dépasseraient ce qu'un entier de\n"
    "64 bits compte en centimes sont refusés.\n",
    "Code de sortie : 0 quand la liste ou le fichier est écrit, 1 quand l'historique ne\n"
    "peut pas être ouvert ou la sortie écrite, 2 pour un argument incorrect ou une course\n"
    "à effacer qui n'existe pas.\n",
};

// "12.50", "-3.00": amounts in the listing's columns, read by scripts.
QString amountText(std::int64_t cents)
{
    QString text = euroText(cents);
    text.chop(2); // " €"
    return text;
}

QString signedEuroText(std::int64_t cents)
{
    return (cents > 0 ? QStringLiteral("+") : QString()) + euroText(cents);
}

int historyUnavailable(const char *command, const QString &message)
{
    printError(QStringLiteral("%1 %2 : %3").arg(QString::fromLatin1(kProgram), QString::fromLatin1(command), message));
    return kExitFailure;
}

QByteArray listingText(const std::vector<RaceRecord> &races, const HistoryTotals &totals)
{
    QString text;
    for (const RaceRecord &race : races) {
        // A name is the punter's own text: a tab or a line break in it would break the columns.
        QString name = race.name;
        for (QChar &c : name)
            if (c.unicode() < 0x20)
                c = QLatin1Char(' ');
        text += QStringList { race.date.toString(Qt::ISODate), name, betName(race.bet), QString::number(race.tickets),
            amountText(race.stakeCents), amountText(race.wonCents), amountText(race.balanceCents) }
                    .join(QLatin1Char('\t'))
            + QLatin1Char('\n');
    }
    text += QStringLiteral("\nCourses : %1\nMise : %2\nGains : %3\nRemboursements : %4\nBilan : %5\n")
                .arg(totals.races)
                .arg(euroText(totals.stakedCents), euroText(totals.wonCents), euroText(totals.refundCents),
                    signedEuroText(totals.balanceCents));
    if (const std::optional<double> r = totals.returnPercent())
        text += QStringLiteral("Rendement : %1 %\n").arg(*r, 0, 'f', 2);
    return text.toUtf8();
}

int run(const QStringList &arguments)
{
    const QCommandLineOption fromOption("from", "Les courses à partir de ce jour.", "AAAA-MM-JJ");
    const QCommandLineOption toOption("to", "Les courses jusqu'à ce jour.", "AAAA-MM-JJ");
    const QCommandLineOption betOption("bet",
        "Les courses de ce pari (couple-gagnant, 2sur4, trio, multi5, pick5, quinte... ; couplé : tous les couplés).",
        "PARI");
    const QCommandLineOption exportOption(
        "export", "Écrit les courses listées dans FICHIER, séparées par des points-virgules.", "FICHIER");
    const QCommandLineOption deleteOption("delete", "Efface la course de ce nom (avec --date).", "NOM");
    const QCommandLineOption dateOption("date", "Le jour de la course à effacer.", "AAAA-MM-JJ");
    const QCommandLineOption databaseOption = historyDatabaseOption();
    QCommandLineParser parser;
    parser.addOptions({ fromOption, toOption, betOption, exportOption, deleteOption, dateOption, databaseOption });
    if (const std::optional<int> status = parseCommandLine(parser, arguments, kHelp))
        return *status;
    if (!parser.positionalArguments().isEmpty())
        return usageError(
            kHelp.name, QStringLiteral("argument inattendu %1").arg(quoted(parser.positionalArguments().front())));

    if (parser.isSet(deleteOption)) {
        if (parser.isSet(fromOption) || parser.isSet(toOption) || parser.isSet(betOption) || parser.isSet(exportOption))
            return usageError(
                kHelp.name, QStringLiteral("« --delete » ne se combine qu'avec « --date » et « --database »"));
        if (!parser.isSet(dateOption))
            return usageError(kHelp.name, QStringLiteral("« --delete » demande la date de la course (« --date »)"));
        const std::optional<QDate> day = readRaceDate(parser.value(dateOption));
        if (!day)
            return usageError(
                kHelp.name, QStringLiteral("date incorrecte %1 (AAAA-MM-JJ)").arg(quoted(parser.value(dateOption))));
        RaceHistory history(historyDatabasePath(parser, databaseOption));
        if (history.error())
            return historyUnavailable(kHelp.name, *history.error());
        const RaceKey key { *day, parser.value(deleteOption) };
        const HistoryResult<bool> removed = history.remove(key);
        if (!removed.ok())
            return historyUnavailable(kHelp.name, removed.error);
        if (!removed.value)
            return refuseInput(
                kHelp.name, QStringLiteral("aucune course %1 le %2").arg(quoted(key.name), day->toString(Qt::ISODate)));
        return kExitOk;
    }
    if (parser.isSet(dateOption))
        return usageError(kHelp.name,
            QStringLiteral("« --date » ne sert qu'avec « --delete » (« --from » et « --to » bornent la liste)"));

    RaceFilter filter;
    for (const auto &[option, bound] :
        { std::pair { &fromOption, &filter.from }, std::pair { &toOption, &filter.to } }) {
        if (!parser.isSet(*option))
            continue;
        *bound = readRaceDate(parser.value(*option));
        if (!*bound)
            return usageError(
                kHelp.name, QStringLiteral("date incorrecte %1 (AAAA-MM-JJ)").arg(quoted(parser.value(*option))));
    }
    if (parser.isSet(betOption)) {
        filter.bets = betsFromText(parser.value(betOption));
        if (filter.bets.empty())
            return usageError(kHelp.name,
                QStringLiteral("pari inconnu %1 (par exemple couplé, quinté, couple-gagnant, 2sur4, multi5, pick5)")
                    .arg(quoted(parser.value(betOption))));
    }

    RaceHistory history(historyDatabasePath(parser, databaseOption));
    if (history.error())
        return historyUnavailable(kHelp.name, *history.error());
    const HistoryResult<std::vector<RaceRecord>> races = history.races(filter);
    if (!races.ok())
        return historyUnavailable(kHelp.name, races.error);

    if (parser.isSet(exportOption)) {
        const QString exportName = QFile::decodeName(fileNameBytes(parser.value(exportOption)));
        if (isHistoryFile(exportName, history.path()))
            return historyUnavailable(kHelp.name,
                QStringLiteral("%1 est l'historique lui-même : l'export ne le remplace pas.")
                    .arg(quoted(parser.value(exportOption))));
        Output out(kHelp.name);
        if (!out.open(parser.value(exportOption)))
            return kExitFailure;
        out.write(raceExportBytes(races.value));
        return out.finish();
    }
    // The totals of the very races listed, not of a second look at the file another copy of
    // the program may have written to meanwhile.
    const HistoryTotals totals = totalsOf(races.value);
    if (totals.overflow)
        return historyUnavailable(kHelp.name,
            QStringLiteral("les totaux de ces courses dépassent ce que l'historique peut compter ; bornez la liste "
                           "(« --from », « --to », « --bet »)."));
    return printToStandardOutput(kHelp.name, listingText(races.value, totals));
}

} // namespace

QCommandLineOption historyDatabaseOption()
{
    return QCommandLineOption(QStringLiteral("database"),
        QStringLiteral("L'historique des courses à utiliser au lieu de celui de l'utilisateur."),
        QStringLiteral("FICHIER"));
}

QString historyDatabasePath(const QCommandLineParser &parser, const QCommandLineOption &database)
{
    if (!parser.isSet(database))
        return defaultHistoryPath();
    return QFile::decodeName(fileNameBytes(parser.value(database)));
}

std::optional<QDate> readRaceDate(const QString &text)
{
    const QDate day = QDate::fromString(text, QStringLiteral("yyyy-MM-dd"));
    if (!day.isValid() || text.size() != 10)
        return std::nullopt;
    return day;
}

RaceRecordOptions::RaceRecordOptions()
    : record_(QStringLiteral("record"),
        QStringLiteral("Enregistre la comparaison dans l'historique des courses sous ce nom (code de sortie 1 "
                       "quand elle ne peut pas l'être, ou qu'une course de ce jour porte déjà ce nom ; chaque "
                       "montant gardé entre -100000000000.00 et 100000000000.00 €)."),
        QStringLiteral("NOM"))
    , date_(QStringLiteral("date"), QStringLiteral("Le jour de la course enregistrée (aujourd'hui sans elle)."),
          QStringLiteral("AAAA-MM-JJ"))
    , multiplier_(QStringLiteral("multiplier"),
          QStringLiteral(
              "Chaque ticket joué M fois : la mise et les gains enregistrés en sont multipliés (1 à 10000)."),
          QStringLiteral("M"))
    , replace_(QStringLiteral("remplacer"),
          QStringLiteral("Remplace la course déjà enregistrée sous cette date et ce nom (sans elle, elle est "
                         "gardée et rien n'est enregistré)."))
    , database_(historyDatabaseOption())
{ }

void RaceRecordOptions::addTo(QCommandLineParser &parser) const
{
    parser.addOptions({ record_, date_, multiplier_, replace_, database_ });
}

std::optional<int> RaceRecordOptions::read(const QCommandLineParser &parser, const char *command)
{
    if (!parser.isSet(record_)) {
        for (const QCommandLineOption *o : { &date_, &multiplier_, &replace_, &database_ })
            if (parser.isSet(*o))
                return usageError(command,
                    QStringLiteral("l'option %1 ne sert qu'avec « --record »")
                        .arg(quoted(QStringLiteral("--") + o->names().front())));
        return std::nullopt;
    }
    name_ = parser.value(record_).trimmed();
    if (name_.isEmpty())
        return usageError(command, QStringLiteral("la course enregistrée doit avoir un nom (« --record NOM »)"));
    day_ = QDate::currentDate();
    if (parser.isSet(date_)) {
        const std::optional<QDate> day = readRaceDate(parser.value(date_));
        if (!day)
            return usageError(
                command, QStringLiteral("date incorrecte %1 (AAAA-MM-JJ)").arg(quoted(parser.value(date_))));
        day_ = *day;
    }
    if (parser.isSet(multiplier_)) {
        const std::optional<int> m = parseNumber(parser.value(multiplier_), 1, 10000);
        if (!m)
            return usageError(command,
                QStringLiteral("multiplicateur incorrect %1 (1 à 10000)").arg(quoted(parser.value(multiplier_))));
        multiplierValue_ = *m;
    }
    path_ = historyDatabasePath(parser, database_);
    replaceWanted_ = parser.isSet(replace_);
    return std::nullopt;
}

int RaceRecordOptions::store(const char *command, std::int64_t tickets, int horsesPerTicket, const WinCounts &counts,
    const Payouts &payouts) const
{
    if (!wanted())
        return kExitOk;
    const std::optional<std::int64_t> unit = defaultUnitStakeCents(horsesPerTicket);
    std::optional<RaceRecord> race;
    if (unit)
        race = raceFromComparison(horsesPerTicket, tickets, *unit, multiplierValue_, counts, payouts);
    return storeRace(command, std::move(race));
}

int RaceRecordOptions::storeResult(
    const char *command, std::optional<Bet> bet, const ResultTotals &totals, const ResultCategoryGains &gains) const
{
    if (!wanted())
        return kExitOk;
    Stakes stakes = defaultStakes();
    stakes.multiplier = multiplierValue_;
    return storeRace(command, bet ? raceFromResult(*bet, totals, gains, stakes) : std::nullopt);
}

int RaceRecordOptions::storeRace(const char *command, std::optional<RaceRecord> race) const
{
    const auto fail = [&](const QString &message) {
        printError(QStringLiteral("%1 %2 : la course n'est pas enregistrée. %3")
                       .arg(QString::fromLatin1(kProgram), QString::fromLatin1(command), message));
        return kExitFailure;
    };
    if (!race)
        return fail(QStringLiteral("Les montants de cette course sont trop grands pour l'historique."));
    race->date = day_;
    race->name = name_;
    race->making = { TicketOrigin::OpenedFile, 0, false };
    for (int h = 1; h <= 31; ++h)
        if (played_ & (std::uint32_t(1) << h))
            race->selection.push_back(h);
    RaceHistory history(path_);
    if (history.error())
        return fail(*history.error());
    const HistoryResult<std::int64_t> stored
        = history.store(*race, replaceWanted_ ? RaceHistory::IfRecorded::Replace : RaceHistory::IfRecorded::Refuse);
    if (!stored.ok()) {
        // The one refusal the punter settles with an option: the race already recorded.
        const bool recorded = !replaceWanted_ && history.race(race->key()).value.has_value();
        return fail(
            recorded ? stored.error + QStringLiteral(" Pour la remplacer, ajoutez « --remplacer ».") : stored.error);
    }
    return kExitOk;
}

extern const Command historyCommand { "history",
    "les courses enregistrées (« Mes courses ») : la liste et ses totaux, l'export, l'effacement", run };

} // namespace mvx::cli
