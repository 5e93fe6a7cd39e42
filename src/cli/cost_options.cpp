#include "cli/cost_options.h"

#include "cli/command.h"

#include "combi/game_cost.h"

namespace mvx::cli {

CostOptions::CostOptions()
    : cost_(QStringLiteral("cost"), QStringLiteral("Écrit le coût du jeu sur l'erreur standard."))
    , stake_(QStringLiteral("stake"),
          QStringLiteral("Mise de base en euros (\"1,50\" ou \"1.5\" ; par défaut 1.50 couplé, 1.00 tiercé, "
                         "1.30 quarté+, 2.00 quinté+ ; celle du pari avec --bet)."),
          QStringLiteral("EUROS"))
    , multiplier_(QStringLiteral("multiplier"),
          QStringLiteral("Nombre de fois que la mise de base est jouée (1..10000, 1 par défaut)."), QStringLiteral("M"))
{ }

void CostOptions::addTo(QCommandLineParser &parser) const
{
    parser.addOptions({ cost_, stake_, multiplier_ });
}

std::optional<int> CostOptions::read(
    const QCommandLineParser &parser, const char *command, int horsesPerTicket, std::optional<Bet> bet)
{
    wanted_ = parser.isSet(cost_) || parser.isSet(stake_) || parser.isSet(multiplier_);
    if (!wanted_)
        return std::nullopt;
    if (parser.isSet(stake_)) {
        const std::optional<std::int64_t> cents = parseEuroCents(parser.value(stake_));
        if (!cents)
            return usageError(command,
                QStringLiteral("mise incorrecte %1 (des euros, deux décimales au plus)")
                    .arg(quoted(parser.value(stake_))));
        stakeCents_ = *cents;
    } else if (const std::optional<std::int64_t> usual
        = bet ? defaultUnitStakeCents(*bet) : defaultUnitStakeCents(horsesPerTicket)) {
        stakeCents_ = *usual;
    } else if (bet) {
        return usageError(command,
            QStringLiteral("pas de mise habituelle pour le pari %1 : donnez-la avec --stake").arg(betName(*bet)));
    } else {
        return usageError(command,
            QStringLiteral("pas de mise habituelle pour des tickets de %1 chevaux : donnez-la avec --stake")
                .arg(horsesPerTicket));
    }
    if (parser.isSet(multiplier_)) {
        const std::optional<int> m = parseNumber(parser.value(multiplier_), 1, 10000);
        if (!m)
            return usageError(command,
                QStringLiteral("multiplicateur incorrect %1 (1 à 10000)").arg(quoted(parser.value(multiplier_))));
        multiplierValue_ = *m;
    }
    return std::nullopt;
}

bool CostOptions::print(std::int64_t tickets) const
{
    const std::optional<std::int64_t> cents = gameCostCents(tickets, stakeCents_, multiplierValue_);
    if (!cents) {
        printError(QStringLiteral("Coût : trop grand pour être calculé"));
        return false;
    }
    printError(gameCostLine(tickets, stakeCents_, multiplierValue_, *cents));
    return true;
}

} // namespace mvx::cli
