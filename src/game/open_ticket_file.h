#pragma once

#include "model/game_state.h"
#include "model/platform.h"

#include <QString>

// "Ouvrir un fichier de tickets": asks for the file and makes its tickets the current list.
namespace mvx {

// The open dialog of "Ouvrir un fichier de tickets".
Platform::FileDialog openTicketFileDialog();

// Asks for a file and opens it. The memory check and the progress dialog apply as to a
// generation. Returns true when the file's tickets became the current list (and the selection
// their horses); on a refusal (with a message naming the line), "Annuler" or memory that ran
// out, the earlier list stays.
bool openTicketFile(GameState &state, Platform &platform);
// The same with the file already chosen.
bool openTicketFile(GameState &state, const QString &fileName, Platform &platform);

} // namespace mvx
