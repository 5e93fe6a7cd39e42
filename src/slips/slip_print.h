#pragma once

#include "model/game_state.h"
#include "model/platform.h"
#include "model/print_surface.h"
#include "slips/slip_layouts.h"

#include <cstdint>
#include <utility>

namespace mvx {

enum class SlipAxis
{
    Horizontal,
    Vertical
};

// A slip position in device units of the surface: its resolution and printable-area offset
// are read at each call, and the user's adjustment (whole millimetres, positive moves right
// or down) is added. Rounded to the nearest dot, halves to even.
int cmToDevice(const PrintSurface &surface, const SettingsRecord &settings, SlipAxis axis, double cm);

// A value to the nearest integer, halves to the even neighbour; clamped to the int range.
int roundHalfEven(double value);

// What the print dialog asks of a run.
struct SlipRun
{
    int slipType = 1; // 1..5
    int printMode = 1; // 1 all slips at once, 2 a prompt before every slip after the first
    std::int64_t firstTicket = 1;
    std::int64_t lastTicket = 0;
    bool markFixedBoxes = false;
    FixedBoxChoice fixedBoxes;
};

// How a run ended.
struct SlipRunResult
{
    std::int64_t slipsPlanned = 0; // slips the range needs
    std::int64_t slipsSent = 0; // slips the device took
    bool cancelled = false; // Cancel at a prompt, or "Annuler" of the long work
    bool failed = false; // the device refused or failed; the user has been told
};

// The tickets a run prints: the range asked for when it lies within 1..ticketCount, else the
// whole list. Returns the first and last ticket; last < first when there is nothing to print.
std::pair<std::int64_t, std::int64_t> slipRunRange(
    std::int64_t firstTicket, std::int64_t lastTicket, std::int64_t ticketCount);

// The range the print dialog accepts: 1 <= first <= last <= ticketCount.
bool slipRangeAccepted(std::int64_t firstTicket, std::int64_t lastTicket, std::int64_t ticketCount);

// Draws the tickets of the range as marks on slips, one print document per slip, on the
// surface given; each document is titled "Marovellix+ — bulletin N sur M". In print mode 2 the
// user is asked to insert each slip after the first, before its document is begun; Cancel
// stops the run at once. A device failure stops the run with a message that says how many
// slips were sent, and that the printer no longer answers when that is why.
SlipRunResult printSlips(const GameState &state, const SlipRun &run, PrintSurface &surface, Platform &platform);

// The same on the printer the platform opens (the default printer, or a PDF file the user
// names); nothing happens when the range is empty or no printer is opened. All slips at once
// run as long work, which "Annuler" stops between two slips; the output is then finished, and
// a file that cannot be written is a failure with no slip sent.
SlipRunResult printSlips(const GameState &state, const SlipRun &run, Platform &platform);

} // namespace mvx
