#include "combi/bet_formulas.h"

#include "combi/generation.h"
#include "model/game_state.h"

#include <algorithm>
#include <vector>

namespace mvx {

namespace {

Message refusal(const QString &text)
{
    return { text, QStringLiteral("Formule impossible") };
}

} // namespace

int formulaHorses(const BetFormula &formula)
{
    switch (formula.kind) {
    case BetFormula::Kind::Combined:
        return formula.chosen;
    case BetFormula::Kind::PartialField:
        return formula.bases + formula.chosen;
    case BetFormula::Kind::TotalField:
        return formula.runners;
    }
    return 0;
}

std::optional<Message> checkBetFormula(const BetFormula &formula)
{
    if (!isValidBet(formula.bet))
        return refusal(QStringLiteral("Ce pari n'existe pas."));
    const int k = horsesPerTicket(formula.bet);
    const QString name = betName(formula.bet);
    if (formula.kind == BetFormula::Kind::Combined) {
        if (formula.chosen < k || formula.chosen > kMaxHorses)
            return refusal(
                QStringLiteral("Une combinée de %1 se joue avec %2 à %3 chevaux.").arg(name).arg(k).arg(kMaxHorses));
        return std::nullopt;
    }
    // A champ leaves at least one place of the ticket to its associates.
    const int mostBases = std::min(k - 1, 3);
    if (formula.bases < 1 || formula.bases > mostBases)
        return refusal(mostBases < 1 ? QStringLiteral("Le %1 ne se joue pas en champ.").arg(name)
                                     : QStringLiteral("Un champ de %1 a de 1 à %2 bases.").arg(name).arg(mostBases));
    if (formula.kind == BetFormula::Kind::TotalField && formula.runners <= 0)
        return refusal(QStringLiteral("Un champ total a besoin du nombre de partants de la course."));
    const int associates = formulaHorses(formula) - formula.bases;
    if (associates < k - formula.bases + 1 || formulaHorses(formula) > kMaxHorses)
        return refusal(QStringLiteral("Un champ de %1 à %2 bases se joue avec %3 à %4 chevaux, bases comprises.")
                           .arg(name)
                           .arg(formula.bases)
                           .arg(k + 1)
                           .arg(kMaxHorses));
    return std::nullopt;
}

GeneratorSettings formulaGenerator(const BetFormula &formula)
{
    GeneratorSettings generator;
    generator.horsesToCombine = formulaHorses(formula);
    generator.horsesPerTicket = horsesPerTicket(formula.bet);
    generator.bases.baseCount = formula.kind == BetFormula::Kind::Combined ? 0 : formula.bases;
    generator.bases.positions = { 1, 2, 3 };
    generator.reduced = !isOrdered(formula.bet);
    return generator;
}

std::optional<Message> fillTotalField(const BetFormula &formula, SelectionBoxes &boxes)
{
    if (formula.kind != BetFormula::Kind::TotalField || formula.bases < 1 || formula.runners < 1)
        return std::nullopt;
    std::vector<int> bases;
    for (int i = 0; i < formula.bases && i < kMaxHorses; ++i) {
        bool ok = false;
        const int horse = boxes[std::size_t(i)].trimmed().toInt(&ok);
        if (!ok || horse < 1 || horse > formula.runners)
            return refusal(QStringLiteral("La base %1 d'un champ total doit être un partant (1 à %2).")
                               .arg(i + 1)
                               .arg(formula.runners));
        bases.push_back(horse);
    }
    std::size_t box = bases.size();
    for (int h = 1; h <= formula.runners && box < boxes.size(); ++h)
        if (std::find(bases.begin(), bases.end(), h) == bases.end())
            boxes[box++] = QString::number(h);
    for (; box < boxes.size(); ++box)
        boxes[box].clear();
    return std::nullopt;
}

std::uint64_t formulaTicketCount(const BetFormula &formula)
{
    if (checkBetFormula(formula))
        return 0;
    return countTickets(formulaGenerator(formula));
}

} // namespace mvx
