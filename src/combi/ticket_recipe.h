#pragma once

#include "combi/generation.h"
#include "combi/own_system.h"
#include "combi/selection.h"
#include "combi/ticket_conditions.h"
#include "model/game_state.h"
#include "model/memory_limits.h"

#include <optional>

namespace mvx {

// What a list of tickets is made from.
enum class TicketSource
{
    CatalogueSystem, // a reduced system of the catalogue, by its number
    Generator, // the combination generator's settings
    OwnSystem, // the punter's own table
};

// What to generate: the source, the settings of every source (those not used ride along, so
// that a game keeps them), the selection boxes and the conditions on the tickets.
struct TicketRecipe
{
    TicketSource source = TicketSource::CatalogueSystem;
    int systemNumber = -1; // the catalogue system
    GeneratorSettings generator;
    OwnSystem ownSystem; // the own request and its table
    SelectionBoxes boxes;
    TicketConditions conditions; // the tickets kept; none keeps them all
    // The bet the tickets are made for; none lets their size decide, as it always did.
    std::optional<Bet> bet;

    // A table of rows, the catalogue's or an own one: its tickets carry a guarantee.
    bool fromTable() const { return source != TicketSource::Generator; }
};

// The bet the recipe's tickets are played as: its own when set, else the bet their size gives;
// none for a size no bet has.
std::optional<Bet> recipeBet(const TicketRecipe &recipe);
// The generator's settings as the recipe's bet makes them: a bet of the operator other than the
// four of old makes arrangements when the order counts and combinations when it does not; with
// the four of old, as the punter chose.
GeneratorSettings recipeGenerator(const TicketRecipe &recipe);

// The checks every request runs first, the messages to show in order; empty means go on. With
// conditions they are checked too, and refused when they keep no ticket of the request.
std::vector<Message> checkTicketRequest(const TicketRecipe &recipe);

// A catalogue system that exists and has a table, or any other source.
bool recipeNamesValidSystem(const TicketRecipe &recipe);

// The number of tickets the recipe gives, its conditions applied, counted without making them.
std::uint64_t requestTicketCount(const TicketRecipe &recipe);
// The same without the recipe's conditions.
std::uint64_t unconditionedTicketCount(TicketRecipe recipe);
// The size of the tickets the recipe makes, 0 while it names no valid system.
int requestHorsesPerTicket(const TicketRecipe &recipe);
// The letters' layout of the recipe's tickets.
TicketLayout recipeLayout(const TicketRecipe &recipe);
// The bases every ticket of a table holds among its letters (0 for the generator, whose bases
// stand apart in the tickets' layout).
int recipeSystemBases(const TicketRecipe &recipe);
// A list of a catalogue or own system from which conditions took at least one ticket away: the
// system's guarantee is for its whole table and no longer holds.
bool guaranteeLost(const GameState &state);

// Reads the selection the way the recipe asks into `selection` and passes its tickets, those
// that meet the recipe's conditions, to the sink. `progress` as for generateCombinations.
void generateTickets(
    Selection &selection, const TicketRecipe &recipe, TicketSink &sink, WorkProgress *progress = nullptr);

// Refuses, with the message to show, a list that would not fit in memory: more slots than a
// 32-bit count holds, or more letters than the room the limits leave beside the `held` bytes of
// the lists the program already keeps.
std::optional<Message> checkTicketListFits(
    std::uint64_t count, const TicketLayout &layout, std::uint64_t held, const MemoryLimits &limits);
// The same against the limits of the moment, nothing held.
std::optional<Message> checkTicketListFits(std::uint64_t count, const TicketLayout &layout);

namespace messages {
// Tickets whose size is not the bet's.
Message ticketsDoNotFitBet(int horsesPerTicket, Bet bet);
// Memory that ran out while the tickets were made, although the check let them through.
Message notEnoughMemory(std::uint64_t count);
// What the list and the result line of such a system say.
QString guaranteeNotKept();
} // namespace messages

} // namespace mvx
