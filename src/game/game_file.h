#pragma once

#include "combi/ticket_recipe.h"
#include "model/game_state.h"
#include "model/platform.h"

#include <QByteArray>
#include <QByteArrayView>

#include <optional>

namespace mvx {

// A game file is one 108-byte record: the tag (length byte 3 then "MV+"), then 26 little-endian
// int32: mode, system number, the generator's three item indexes, the reduced flag and the
// twenty horse numbers. A game on the own-system tab (mode 3) is followed by sections
// (game/game_sections.h) that hold its request and table; a game with conditions on its tickets
// has a section for them, a game with an official result one for it; every other game is the
// record alone.
inline constexpr int kGameRecordSize = 108;

QByteArray encodeGameRecord(const GameFileRecord &record);
// The first 108 bytes decoded; nullopt when there are fewer.
std::optional<GameFileRecord> decodeGameRecord(QByteArrayView bytes);
// The tag of a file this program wrote.
bool hasGameTag(const GameFileRecord &record);

// The file dialogs of "Enregistrer le jeu" and "Charger un jeu".
Platform::FileDialog saveGameDialog();
Platform::FileDialog loadGameDialog();

// "Enregistrer le jeu": asks for the file (and before replacing one), fills state.gameFileRecord
// from the page (reading the selection into state.selection with the record's base count) and
// writes it atomically. A failed write leaves any earlier file intact and is reported.
void saveGame(GameState &state, const TicketRecipe &recipe, Platform &platform);

// "Charger un jeu": returns what the systems page is to show, or nullopt when the load was cancelled or refused
// (after its message). The record read is kept in state.gameFileRecord even when refused.
// Every field of the file is checked before use: a system that does not exist selects the first
// system of the list, an item index outside its list leaves that box without an item, a horse
// number outside 1..20 empties its box, any mode but 1 and 3 is the generator. Mode 3 is the
// own-system tab with the request and table of its section, checked field by field (a table
// that does not keep its guarantee is dropped, with a message); without a usable section, the
// record's n, k and B with no table; with fields that make no request, the generator. The
// conditions are those of the file's section (none without it; a damaged one is dropped, with a
// message). The official result in state is the file's (none without it; a damaged one is
// dropped, with a message). A section cut short, with a damaged tag or a wrong length loses what
// it held, and the sections after it are still read: one message names every part not restored,
// those a file cut at a section boundary no longer holds included, and the rest of the game
// loads. The base positions and whatever the file's mode does not set are taken from current.
std::optional<TicketRecipe> loadGame(GameState &state, const TicketRecipe &current, Platform &platform);

} // namespace mvx
