#include "combi/ticket_recipe.h"

#include "combi/catalogue.h"

#include <algorithm>
#include <limits>

namespace mvx {

namespace {

bool validSystem(int number)
{
    return number >= 1 && number <= kSystemCount && !reducedSystem(number).table.empty();
}

} // namespace

bool recipeNamesValidSystem(const TicketRecipe &recipe)
{
    return recipe.source != TicketSource::CatalogueSystem || validSystem(recipe.systemNumber);
}

TicketLayout recipeLayout(const TicketRecipe &recipe)
{
    switch (recipe.source) {
    case TicketSource::OwnSystem:
        return tableLayout(recipe.ownSystem.request.perTicket);
    case TicketSource::CatalogueSystem:
        return systemLayout(recipe.systemNumber);
    case TicketSource::Generator:
        break;
    }
    return generatorLayout(recipe.generator);
}

int recipeSystemBases(const TicketRecipe &recipe)
{
    switch (recipe.source) {
    case TicketSource::OwnSystem:
        return recipe.ownSystem.request.bases;
    case TicketSource::CatalogueSystem:
        return reducedSystem(recipe.systemNumber).baseCount;
    case TicketSource::Generator:
        break;
    }
    return 0;
}

std::optional<Bet> recipeBet(const TicketRecipe &recipe)
{
    if (recipe.bet)
        return recipe.bet;
    return betForTickets(Bet {}, requestHorsesPerTicket(recipe));
}

GeneratorSettings recipeGenerator(const TicketRecipe &recipe)
{
    GeneratorSettings generator = recipe.generator;
    if (recipe.bet && !isClassicBet(*recipe.bet))
        generator.reduced = !isOrdered(*recipe.bet);
    return generator;
}

std::vector<Message> checkTicketRequest(const TicketRecipe &recipe)
{
    std::vector<Message> shown;
    switch (recipe.source) {
    case TicketSource::OwnSystem:
        shown = checkOwnSystemRequest(recipe.ownSystem, recipe.boxes);
        break;
    case TicketSource::CatalogueSystem:
        shown = checkSelectionNumbers(recipe.boxes, false, recipe.generator);
        // A reduced system places its horses by box, as the generator does: its first boxes must
        // be as many different horses as the system takes.
        if (shown.empty() && validSystem(recipe.systemNumber)
            && !firstBoxesHoldDifferentHorses(recipe.boxes, reducedSystem(recipe.systemNumber).horseCount))
            shown.push_back(messages::wrongGeneratorSelection());
        break;
    case TicketSource::Generator:
        shown = checkSelectionNumbers(recipe.boxes, true, recipe.generator);
        if (shown.empty() && !checkGeneratorSelection(recipe.boxes, recipe.generator))
            shown.push_back(messages::wrongGeneratorSelection());
        break;
    }
    if (shown.empty() && recipe.bet && recipeNamesValidSystem(recipe)
        && requestHorsesPerTicket(recipe) != horsesPerTicket(*recipe.bet))
        shown.push_back(messages::ticketsDoNotFitBet(requestHorsesPerTicket(recipe), *recipe.bet));
    if (!shown.empty() || recipe.conditions.isEmpty() || !recipeNamesValidSystem(recipe))
        return shown;
    if (const std::optional<Message> wrong = checkConditions(recipe.conditions, recipeLayout(recipe).horsesPerTicket))
        shown.push_back(*wrong);
    else if (requestTicketCount(recipe) == 0)
        shown.push_back(messages::noTicketMeetsConditions());
    return shown;
}

int requestHorsesPerTicket(const TicketRecipe &recipe)
{
    if (!recipeNamesValidSystem(recipe))
        return 0;
    return recipeLayout(recipe).horsesPerTicket;
}

bool guaranteeLost(const GameState &state)
{
    // Conditions that took no ticket away leave the whole table, and its guarantee.
    return state.conditionedRequest && state.conditionedRequest->fromTable()
        && std::uint64_t(state.tickets.count()) < unconditionedTicketCount(*state.conditionedRequest);
}

std::uint64_t unconditionedTicketCount(TicketRecipe recipe)
{
    recipe.conditions = {};
    return requestTicketCount(recipe);
}

std::uint64_t requestTicketCount(const TicketRecipe &recipe)
{
    Selection selection;
    switch (recipe.source) {
    case TicketSource::OwnSystem:
        if (recipe.conditions.isEmpty())
            return std::uint64_t(recipe.ownSystem.rows.size());
        readSelection(recipe.boxes, 0, selection);
        return countConditionedTickets(
            recipe.ownSystem.rows, recipe.ownSystem.request.perTicket, selection, recipe.conditions);
    case TicketSource::CatalogueSystem:
        if (!validSystem(recipe.systemNumber))
            return 0;
        if (recipe.conditions.isEmpty())
            return std::uint64_t(reducedSystem(recipe.systemNumber).ticketCount);
        readSelection(recipe.boxes, 0, selection);
        return countConditionedTickets(recipe.systemNumber, selection, recipe.conditions);
    case TicketSource::Generator:
        break;
    }
    if (recipe.conditions.isEmpty())
        return countTickets(recipeGenerator(recipe));
    readSelection(recipe.boxes, recipe.generator.bases.baseCount, selection);
    return countConditionedTickets(recipeGenerator(recipe), selection, recipe.conditions);
}

void generateTickets(Selection &selection, const TicketRecipe &recipe, TicketSink &sink, WorkProgress *progress)
{
    switch (recipe.source) {
    case TicketSource::OwnSystem:
        // The bases are positions 1..B of every row: the selection is read as for a catalogue system.
        readSelection(recipe.boxes, 0, selection);
        generateFromTable(
            recipe.ownSystem.rows, recipe.ownSystem.request.perTicket, sink, selection, recipe.conditions, progress);
        return;
    case TicketSource::CatalogueSystem:
        readSelection(recipe.boxes, 0, selection);
        generateFromSystem(recipe.systemNumber, sink, selection, recipe.conditions, progress);
        return;
    case TicketSource::Generator:
        break;
    }
    readSelection(recipe.boxes, recipe.generator.bases.baseCount, selection);
    generateCombinations(recipeGenerator(recipe), sink, selection, recipe.conditions, progress);
}

std::optional<Message> checkTicketListFits(
    std::uint64_t count, const TicketLayout &layout, std::uint64_t held, const MemoryLimits &limits)
{
    const std::uint64_t bytes = count * std::uint64_t(std::max(layout.lettersPerTicket(), 1));
    if (count <= std::uint64_t(std::numeric_limits<std::int32_t>::max()) && bytes <= memoryRoom(limits, held))
        return std::nullopt;
    return Message { QStringLiteral("Votre sélection génère %1 tickets : c'est trop pour les garder en mémoire.\r"
                                    "Utilisez \"Générer un fichier\" pour les écrire dans un fichier texte.")
                         .arg(count),
        QStringLiteral("Opération impossible") };
}

std::optional<Message> checkTicketListFits(std::uint64_t count, const TicketLayout &layout)
{
    return checkTicketListFits(count, layout, 0, currentMemoryLimits());
}

namespace messages {
Message ticketsDoNotFitBet(int horsesPerTicket, Bet bet)
{
    const auto horses = [](int n) { return n == 1 ? QStringLiteral("1 cheval") : QStringLiteral("%1 chevaux").arg(n); };
    return { QStringLiteral("Ces tickets ont %1 : ils ne conviennent pas au pari %2, qui se joue avec %3.")
                 .arg(horses(horsesPerTicket), betName(bet), horses(mvx::horsesPerTicket(bet))),
        QStringLiteral("Opération impossible") };
}

Message notEnoughMemory(std::uint64_t count)
{
    return { QStringLiteral("Il n'y a pas assez de mémoire pour générer %1 tickets.").arg(count),
        QStringLiteral("Opération impossible") };
}

QString guaranteeNotKept()
{
    return QStringLiteral("Garantie non assurée avec les conditions");
}
} // namespace messages

} // namespace mvx
