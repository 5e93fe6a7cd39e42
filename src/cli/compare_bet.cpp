// compare --bet: the tickets judged as the chosen bet, against the race as it was run.

#include "cli/compare_bet.h"

#include "cli/command.h"
#include "cli/output.h"

#include "arrival/bet_judge.h"
#include "combi/game_cost.h"
#include "combi/ticket_text.h"

#include <QStringList>

#include <algorithm>

namespace mvx::cli {

CompareBetOption::CompareBetOption()
    : option_(QStringLiteral("bet"),
        QStringLiteral("Le pari joué (couple-gagnant, 2sur4, trio, multi5, pick5...) ; deux paris de même taille "
                       "séparés par une virgule se jouent ensemble (couple-gagnant,couple-place : à cheval)."),
        QStringLiteral("PARI"))
{ }

void CompareBetOption::addTo(QCommandLineParser &parser) const
{
    parser.addOption(option_);
}

std::optional<int> CompareBetOption::read(const QCommandLineParser &parser, const char *command)
{
    bets_.clear();
    for (const QString &name : parser.value(option_).split(QLatin1Char(','))) {
        const std::optional<Bet> bet = betFromCliName(name.trimmed());
        if (!bet)
            return usageError(command,
                QStringLiteral("pari inconnu %1 (par exemple couple-gagnant, 2sur4, trio, multi5, pick5)")
                    .arg(quoted(name)));
        if (!bets_.empty() && horsesPerTicket(*bet) != horsesPerTicket(bets_.front()))
            return usageError(command,
                QStringLiteral("les paris %1 et %2 ne se jouent pas avec les mêmes tickets")
                    .arg(quoted(betCliName(bets_.front())), quoted(betCliName(*bet))));
        if (std::find(bets_.begin(), bets_.end(), *bet) == bets_.end())
            bets_.push_back(*bet);
    }
    return std::nullopt;
}

int compareBetsWithOfficialResult(QFile &in, const QString &name, const OfficialResult &result,
    const std::vector<Bet> &bets, std::int64_t multiplier, const char *command, RaceRecordOptions &record)
{
    Stakes stakes = defaultStakes();
    stakes.multiplier = multiplier;
    std::vector<BetJudge> judges;
    std::vector<BetPatterns> patterns;
    judges.reserve(bets.size());
    patterns.reserve(bets.size());
    for (const Bet &bet : bets)
        judges.emplace_back(result, bet, stakes);
    for (const BetJudge &judge : judges)
        patterns.emplace_back(judge);
    const int size = horsesPerTicket(bets.front());

    HeldOutput held;
    if (!held.open(name))
        return kExitFailure;
    ResultTotals totals;
    std::int64_t withComplement = 0;
    QByteArray complementLine;
    std::array<QByteArray, kResultCategories + 1> labels;
    for (int c = 1; c <= kResultCategories; ++c)
        labels[std::size_t(c)] = gridLabel(ResultCategory(c)).toUtf8();
    std::int64_t lines = 0;
    std::int64_t wrongLine = 0;
    QByteArray wrongTicket;
    const TicketTextRead read = readTicketText(in, kListedTicketSizes, [&](std::span<const int> horses) {
        ++lines;
        QByteArray ticket;
        for (int horse : horses)
            ticket += QByteArray::number(horse) + ',';
        if (int(horses.size()) != size) {
            wrongLine = lines;
            wrongTicket = ticket;
            return false;
        }
        record.see(horses);
        for (std::size_t b = 0; b < judges.size(); ++b) {
            ++totals.tickets;
            if (judges[b].holdsComplement(horses)) {
                // The bet cannot be made: the whole comparison is refused once the line is known.
                withComplement = totals.tickets;
                complementLine = ticket;
                return false;
            }
            const std::uint16_t outcome = patterns[b].outcome(patterns[b].key(horses));
            const ResultCategory category = patterns[b].category(outcome);
            QByteArray line = ticket + '\t' + labels[std::size_t(category)];
            std::int64_t cents = 0;
            if (patterns[b].amount(outcome) > 0) {
                // A paid ticket is judged again for its combination: few tickets are.
                const TicketResult judged = judges[b].judge(horses);
                const std::optional<std::int64_t> paid = rapportCents(judged.amount);
                if (!paid)
                    totals.tooLarge = true;
                cents = paid.value_or(0);
                line += '\t' + combinationText(judged.combination).toUtf8() + ' '
                    + QByteArray::number(judged.amount, 'f', 2);
            }
            totals.add(category, 1, cents, false);
            if (!held.write(line + '\n'))
                return false;
        }
        return true;
    });
    if (read.readFailed) {
        printError(QStringLiteral("%1 : %2").arg(name, read.error));
        return kExitFailure;
    }
    if (!read.ok())
        return refuseInput(command, QStringLiteral("%1 : %2").arg(name, read.error));
    if (wrongLine > 0) {
        QStringList names;
        for (const Bet &bet : bets)
            names << betName(bet);
        const int horses = int(wrongTicket.count(','));
        return refuseInput(command,
            QStringLiteral("%1 : ligne %2 : %3 cheva%4, alors qu'un ticket %5 en a %6 : « %7 »")
                .arg(name)
                .arg(wrongLine)
                .arg(horses)
                .arg(horses > 1 ? QStringLiteral("ux") : QStringLiteral("l"))
                .arg(names.join(QStringLiteral(" / ")))
                .arg(size)
                .arg(QString::fromLatin1(wrongTicket)));
    }
    if (withComplement > 0)
        return refuseInput(command,
            QStringLiteral("%1 : le ticket « %2 » contient le cheval de complément %3, qui ne peut pas être joué "
                           "avec lui")
                .arg(name, QString::fromLatin1(complementLine))
                .arg(result.complement));
    if (!held.complete())
        return kExitFailure;
    if (read.tickets == 0)
        return refuseInput(command, QStringLiteral("%1 : aucun ticket").arg(name));

    // The money is refused before anything is written when it does not fit.
    if (totals.tooLarge)
        return refuseInput(command, QStringLiteral("%1 : %2").arg(name, resultMoneyProblem(totals, stakes, size)));
    if (bets.size() == 1 && !resultMoney(totals, stakes, bets.front()).balanceCents)
        return refuseInput(command, QStringLiteral("%1 : %2").arg(name, resultMoneyProblem(totals, stakes, 0)));
    const int recorded = record.storeResult(command, bets.front(), totals, totals.categoryGains);
    // One bet: the money at its own stake, as the race is stored. Bets played together have
    // stakes of their own each, and their summary gives the gains alone.
    QString summary = bets.size() == 1 ? resultSummaryText(totals, stakes, bets.front(), QLocale::c())
                                       : resultSummaryText(totals, stakes, 0, QLocale::c());
    summary.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    const int shown = held.release(command, (QStringLiteral("\n") + summary + QLatin1Char('\n')).toUtf8());
    return shown != kExitOk ? shown : recorded;
}

} // namespace mvx::cli
