// compare against the race as it was run: dead heats, non-runners, the complément and the
// published rapports.

#include "cli/compare_official.h"

#include "cli/command.h"
#include "cli/output.h"
#include "cli/race_record_options.h"

#include "arrival/rapports_text.h"
#include "arrival/result_classification.h"
#include "combi/game_cost.h"
#include "combi/ticket_text.h"
#include "model/system_reason.h"

#include <QFile>

namespace mvx::cli {

namespace {

// A rapports file is a few dozen lines: anything much longer is not one.
constexpr qint64 kLargestRapportsFile = 1 << 20;

QByteArray ticketLine(std::span<const int> horses)
{
    QByteArray line;
    for (int horse : horses)
        line += QByteArray::number(horse) + ',';
    return line;
}

} // namespace

OfficialResultOptions::OfficialResultOptions()
    : nonRunners_(QStringLiteral("non-runners"),
        QStringLiteral("Les non-partants de la course, séparés par des virgules."), QStringLiteral("H,..."))
    , complement_(QStringLiteral("complement"), QStringLiteral("Le cheval de complément nommé avec le pari."),
          QStringLiteral("H"))
    , runners_(QStringLiteral("runners"),
          QStringLiteral("Le nombre de partants de la course (certains paris sont remboursés en dessous d'un "
                         "nombre)."),
          QStringLiteral("N"))
    , rapports_(QStringLiteral("rapports"),
          QStringLiteral("Le fichier des rapports publiés, un par ligne (pas avec --payouts)."),
          QStringLiteral("FICHIER"))
    , rapportsBase_(QStringLiteral("rapports-pour"),
          QStringLiteral("Les rapports sont donnés pour 1 € (1) ou pour la mise de base du pari (base, sans "
                         "l'option)."),
          QStringLiteral("1|base"))
{ }

void OfficialResultOptions::addTo(QCommandLineParser &parser) const
{
    parser.addOptions({ nonRunners_, complement_, runners_, rapports_, rapportsBase_ });
}

bool OfficialResultOptions::wanted(const QCommandLineParser &parser, const QString &arrival) const
{
    return parser.isSet(nonRunners_) || parser.isSet(complement_) || parser.isSet(runners_) || parser.isSet(rapports_)
        || parser.isSet(rapportsBase_) || arrival.contains(QLatin1Char('='));
}

std::optional<int> OfficialResultOptions::read(const QCommandLineParser &parser, const QString &arrival,
    const std::optional<Payouts> &payouts, const char *command)
{
    const std::optional<std::vector<std::vector<int>>> places = readTiedArrivalOption(arrival);
    if (!places)
        return usageError(command,
            QStringLiteral("arrivée incorrecte %1 (des chevaux de 1 à 20 séparés par des virgules, « = » entre "
                           "chevaux à égalité)")
                .arg(quoted(arrival)));
    result_.arrival = *places;
    if (parser.isSet(nonRunners_)) {
        const std::optional<std::vector<int>> horses = readHorsesOption(parser.value(nonRunners_));
        if (!horses)
            return usageError(command,
                QStringLiteral("non-partants incorrects %1 (des chevaux de 1 à 20 séparés par des virgules)")
                    .arg(quoted(parser.value(nonRunners_))));
        result_.nonRunners = *horses;
    }
    if (parser.isSet(complement_)) {
        const std::optional<int> horse = parseNumber(parser.value(complement_), 1, kMaxHorses);
        if (!horse)
            return usageError(command,
                QStringLiteral("cheval de complément incorrect %1 (1 à 20)").arg(quoted(parser.value(complement_))));
        result_.complement = *horse;
    }
    if (parser.isSet(runners_)) {
        const std::optional<int> runners = parseNumber(parser.value(runners_), 1, kMaxHorses);
        if (!runners)
            return usageError(command,
                QStringLiteral("nombre de partants incorrect %1 (1 à 20)").arg(quoted(parser.value(runners_))));
        result_.runners = *runners;
    }
    if (parser.isSet(rapports_)) {
        if (payouts)
            return usageError(command, QStringLiteral("« --rapports » et « --payouts » ne vont pas ensemble"));
        QFile file;
        QString name;
        if (const std::optional<int> status
            = openInput(file, name, { parser.value(rapports_) }, command, "de rapports"))
            return status;
        const QByteArray bytes = file.read(kLargestRapportsFile + 1);
        if (file.error() != QFileDevice::NoError) {
            printError(QStringLiteral("Impossible de lire le fichier %1 : %2")
                           .arg(name, frenchSystemReason(file.errorString())));
            return kExitFailure;
        }
        if (bytes.size() > kLargestRapportsFile)
            return refuseInput(command, QStringLiteral("%1 : trop long pour un fichier de rapports").arg(name));
        const RapportsRead read = readRapportsText(bytes);
        if (!read.ok())
            return refuseInput(command, QStringLiteral("%1 : %2").arg(name, read.error));
        result_.rapports = read.rapports;
    } else if (payouts) {
        result_.rapports = rapportsOfPayouts(*payouts);
        result_.fromPayoutFields = true;
    }
    if (parser.isSet(rapportsBase_)) {
        const QString base = parser.value(rapportsBase_).trimmed();
        if (base != QLatin1String("1") && base != QLatin1String("base"))
            return usageError(command,
                QStringLiteral("base des rapports incorrecte %1 (1 ou base)").arg(quoted(parser.value(rapportsBase_))));
        result_.rapportsPerEuro = base == QLatin1String("1");
    }
    if (const QString problem = resultProblem(result_); !problem.isEmpty())
        return usageError(command, problem);
    return std::nullopt;
}

std::optional<std::vector<std::vector<int>>> readTiedArrivalOption(const QString &text)
{
    std::vector<std::vector<int>> places;
    int horses = 0;
    for (const QString &place : text.split(QLatin1Char(','))) {
        std::vector<int> tied;
        for (const QString &number : place.split(QLatin1Char('='))) {
            const std::optional<int> horse = parseNumber(number, 1, kMaxHorses);
            if (!horse || ++horses > kMaxHorses)
                return std::nullopt;
            tied.push_back(*horse);
        }
        places.push_back(tied);
    }
    return places;
}

std::optional<std::vector<int>> readHorsesOption(const QString &text)
{
    std::vector<int> horses;
    for (const QString &number : text.split(QLatin1Char(','))) {
        const std::optional<int> horse = parseNumber(number, 1, kMaxHorses);
        if (!horse)
            return std::nullopt;
        horses.push_back(*horse);
    }
    return horses;
}

int compareWithOfficialResult(QFile &in, const QString &name, const OfficialResult &result, std::int64_t multiplier,
    const char *command, RaceRecordOptions &record)
{
    Stakes stakes = defaultStakes();
    stakes.multiplier = multiplier;
    const ResultJudge judge(result, stakes);
    HeldOutput held;
    if (!held.open(name))
        return kExitFailure;
    ResultTotals totals;
    std::int64_t withComplement = 0;
    QByteArray complementLine;
    // Every ticket of a file has the size of the first: its patterns are made on the first.
    std::optional<ResultPatterns> patterns;
    std::array<QByteArray, kResultCategories + 1> labels;
    for (int c = 1; c <= kResultCategories; ++c)
        labels[std::size_t(c)] = gridLabel(ResultCategory(c)).toUtf8();
    const TicketTextRead read = readTicketText(in, kClassifiedTicketSizes, [&](std::span<const int> horses) {
        ++totals.tickets;
        record.see(horses);
        QByteArray line = ticketLine(horses);
        if (judge.holdsComplement(horses)) {
            // The bet cannot be made: the whole comparison is refused once the line is known.
            withComplement = totals.tickets;
            complementLine = line;
            return false;
        }
        if (!patterns)
            patterns.emplace(judge, int(horses.size()));
        const std::uint16_t outcome = patterns->outcome(patterns->key(horses));
        const ResultCategory category = patterns->category(outcome);
        line += '\t' + labels[std::size_t(category)];
        totals.add(category, 1, patterns->cents(outcome), patterns->unpublished(outcome));
        if (patterns->cents(outcome) > 0) {
            // A paid ticket is judged again for its combination: few tickets are.
            const TicketResult judged = judge.judge(horses);
            line += '\t' + combinationText(judged.combination).toUtf8();
            if (judged.times > 1)
                line += " × " + QByteArray::number(judged.times);
            line += ' ' + QByteArray::number(judged.amount, 'f', 2);
        } else if (patterns->unpublished(outcome)) {
            line += "\trapport non publié";
        }
        return held.write(line + '\n');
    });
    if (read.readFailed) {
        printError(QStringLiteral("%1 : %2").arg(name, read.error));
        return kExitFailure;
    }
    if (!read.ok())
        return refuseInput(command, QStringLiteral("%1 : %2").arg(name, read.error));
    if (withComplement > 0)
        return refuseInput(command,
            QStringLiteral("%1 : ligne %2 : le ticket contient le cheval de complément %3, qui ne peut pas être joué "
                           "avec lui : « %4 »")
                .arg(name)
                .arg(withComplement)
                .arg(result.complement)
                .arg(QString::fromLatin1(complementLine)));
    if (!held.complete())
        return kExitFailure;
    if (read.tickets == 0)
        return refuseInput(command, QStringLiteral("%1 : aucun ticket").arg(name));

    // The money is refused before anything is written or stored when it does not fit.
    if (const QString problem = resultMoneyProblem(totals, stakes, read.horsesPerTicket); !problem.isEmpty())
        return refuseInput(command, QStringLiteral("%1 : %2").arg(name, problem));
    const int recorded = record.storeResult(command, classicBet(read.horsesPerTicket), totals, totals.categoryGains);
    QString summary = resultSummaryText(totals, stakes, read.horsesPerTicket, QLocale::c());
    summary.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    const int shown = held.release(command, (QStringLiteral("\n") + summary + QLatin1Char('\n')).toUtf8());
    return shown != kExitOk ? shown : recorded;
}

} // namespace mvx::cli
