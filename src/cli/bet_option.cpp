#include "cli/bet_option.h"

#include "cli/command.h"

#include <QStringList>

namespace mvx::cli {

namespace {

QString horsesText(int horses)
{
    return horses == 1 ? QStringLiteral("1 cheval") : QStringLiteral("%1 chevaux").arg(horses);
}

} // namespace

QString betNamesText()
{
    QStringList names;
    for (const Bet &bet : allBets())
        names.append(betCliName(bet));
    return names.join(QStringLiteral(", "));
}

BetOption::BetOption()
    : option_(QStringLiteral("bet"),
        QStringLiteral("Le pari joué : %1. Sans lui, la taille des tickets donne le pari (2 couplé, "
                       "3 tiercé, 4 quarté+, 5 quinté+).")
            .arg(betNamesText()),
        QStringLiteral("PARI"))
{ }

void BetOption::addTo(QCommandLineParser &parser) const
{
    parser.addOption(option_);
}

std::optional<int> BetOption::read(const QCommandLineParser &parser, const char *command)
{
    bet_.reset();
    if (!parser.isSet(option_))
        return std::nullopt;
    bet_ = betFromCliName(parser.value(option_));
    if (!bet_)
        return usageError(command,
            QStringLiteral("pari inconnu %1 (voir --help pour les noms des paris)").arg(quoted(parser.value(option_))));
    return std::nullopt;
}

std::optional<Bet> BetOption::betFor(int horsesPerTicket) const
{
    return bet_ ? bet_ : classicBet(horsesPerTicket);
}

std::optional<int> BetOption::checkTickets(const char *command, int horsesPerTicket) const
{
    if (!bet_ || horsesPerTicket == mvx::horsesPerTicket(*bet_))
        return std::nullopt;
    return refuseInput(command,
        QStringLiteral("les tickets ont %1 : ils ne conviennent pas au pari %2, qui se joue avec %3")
            .arg(horsesText(horsesPerTicket), betName(*bet_), horsesText(mvx::horsesPerTicket(*bet_))));
}

} // namespace mvx::cli
