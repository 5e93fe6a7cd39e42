#pragma once

#include "combi/ticket_recipe.h"
#include "model/game_state.h"
#include "model/platform.h"

namespace mvx {

enum class TicketDestination
{
    List = 1, // keep the tickets and show the ticket list
    File = 2, // write them to a text file only
    Print = 3, // keep them and open the print dialog
};

// The request behind "Voir les tickets", "Générer un fichier" and "Imprimer les tickets":
// checks the selection, asks what it must ask and generates, as long work the user can stop.
// Returns true when a new ticket list was made for the list or the print dialog, which the
// caller then opens. On any stop (a refusal, a question answered No, "Annuler", memory that ran
// out, a file that could not be written) the earlier selection and ticket list stay as they
// were, and so does an earlier file of the chosen name.
bool prepareTickets(GameState &state, const TicketRecipe &recipe, TicketDestination destination, Platform &platform);

// The generation behind "Comparer avec l'arrivée": the same checks without the count
// question. Returns true when the comparison window should open.
bool prepareComparison(GameState &state, const TicketRecipe &recipe, Platform &platform);

// The save dialog of the ticket text file.
Platform::FileDialog ticketFileDialog();

} // namespace mvx
