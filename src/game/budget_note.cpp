#include "game/budget_note.h"

#include "combi/game_cost.h"

namespace mvx {

QString budgetNoteFor(const GameState &state, std::optional<Bet> bet, std::int64_t tickets, QChar separator)
{
    if (!state.budgetNote)
        return QString();
    const std::optional<std::int64_t> cost = stakesCostCents(state.stakes, bet, tickets);
    if (!cost)
        return QString();
    QString note = state.budgetNote(*cost);
    note.replace(QLatin1Char('\n'), separator);
    return note;
}

QString costLineWithBudget(const GameState &state, std::optional<Bet> bet, std::int64_t tickets, QChar separator)
{
    const QString cost = frenchCostLine(state.stakes, bet, tickets);
    const QString note = budgetNoteFor(state, bet, tickets, separator);
    if (note.isEmpty())
        return cost;
    return cost.isEmpty() ? note : cost + separator + note;
}

} // namespace mvx
