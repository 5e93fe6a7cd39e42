#pragma once

#include "combi/generation.h"
#include "combi/own_system.h"
#include "combi/selection.h"
#include "combi/ticket_conditions.h"
#include "model/game_state.h"
#include "model/memory_limits.h"
#include "model/platform.h"

#include <optional>

namespace mvx {

enum class TicketDestination {
    List = 1,  // keep the tickets and show the ticket list
    File = 2,  // write them to a text file only
    Print = 3, // keep them and open the print dialog
};

// What the systems page shows when a request starts.
struct SystemsPage
{
    bool reducedTab = true;  // the reduced-system tab is active, else the generator tab
    int systemNumber = -1;   // the system selected in the list
    GeneratorSettings generator;
    bool ownTab = false; // the own-system tab is active (reducedTab is then false)
    OwnSystem ownSystem; // the request and the table of that tab
    SelectionBoxes boxes;
    TicketConditions conditions; // the tickets kept; none keeps them all
};

// The checks every request runs first, the messages to show in order; empty means go on. With
// conditions they are checked too, and refused when they keep no ticket of the request.
std::vector<Message> checkTicketRequest(const SystemsPage &page);

// The number of tickets the page's request gives, its conditions applied, counted without
// making them.
std::uint64_t requestTicketCount(const SystemsPage &page);
// The same without the page's conditions.
std::uint64_t unconditionedTicketCount(SystemsPage page);
// The size of the tickets the page's request makes, 0 while the page names no valid system.
int requestHorsesPerTicket(const SystemsPage &page);
// A list of a catalogue or own system made with conditions: the system's guarantee is for its
// whole table and no longer holds.
bool guaranteeLost(const GameState &state);


// Reads the selection the way the page asks into `selection` and passes its tickets, those that
// meet the page's conditions, to the sink. `progress` as for generateCombinations.
void generateTickets(Selection &selection, const SystemsPage &page, TicketSink &sink,
                     WorkProgress *progress = nullptr);

// The request behind "Voir les tickets", "Générer un fichier" and "Imprimer les tickets":
// checks the selection, asks what it must ask and generates, as long work the user can stop.
// Returns true when a new ticket list was made for the list or the print dialog, which the
// caller then opens. On any stop (a refusal, a question answered No, "Annuler", memory that
// ran out, a file that could not be written) the earlier selection and ticket list stay as they
// were, and so does an earlier file of the chosen name.
bool prepareTickets(GameState &state, const SystemsPage &page, TicketDestination destination, Platform &platform);

// The generation behind "Comparer avec l'arrivée": the same checks without the count
// question. Returns true when the comparison window should open.
bool prepareComparison(GameState &state, const SystemsPage &page, Platform &platform);

// The save dialog of the ticket text file.
Platform::FileDialog ticketFileDialog();

// Refuses, with the message to show, a list that would not fit in memory: more slots than a
// 32-bit count holds, or more letters than the room the limits leave beside the `held` bytes of
// the lists the program already keeps.
std::optional<Message> checkTicketListFits(std::uint64_t count, const TicketLayout &layout, std::uint64_t held,
                                           const MemoryLimits &limits);
// The same against the limits of the moment, nothing held.
std::optional<Message> checkTicketListFits(std::uint64_t count, const TicketLayout &layout);

namespace messages {
// Memory that ran out while the tickets were made, although the check let them through.
Message notEnoughMemory(std::uint64_t count);
// What the list and the result line of such a system say.
QString guaranteeNotKept();
} // namespace messages

} // namespace mvx
