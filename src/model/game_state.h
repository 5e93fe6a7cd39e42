#pragma once

#include "model/settings_record.h"
#include "model/stakes_file.h"
#include "model/ticket_list.h"

#include <array>
#include <cstdint>
#include <memory>

namespace mvx {

struct TicketRecipe; // combi/ticket_recipe.h: held here only through a pointer
struct OfficialResult; // arrival/official_result.h: held here only through a pointer

constexpr int kMaxHorses = 20; // horse numbers run 1..20 in selections, tickets and arrivals
constexpr int kMaxRunners = 49; // a race has at most 49 runners; the synthesis ranks them all
constexpr int kForecastRows = 500; // rows of the forecast table (the count box offers 200)
constexpr int kForecastPositions = 20;
constexpr int kArrivalPlaces = 5;
constexpr int kWinCategories = 12;
constexpr int kPaidCategories = 10;

// The horses read from the selection boxes: the bases first, then the others in box order.
// Arrays are 1-based; slot 0 is unused. Ticket letter "A" stands for otherHorses[1].
struct Selection
{
    std::array<std::int32_t, 4> baseHorses {};
    std::array<std::int32_t, kMaxHorses + 1> otherHorses {};
};

struct SynthesisEntry
{
    std::int32_t horse = 0;
    std::int32_t points = 0;
};

// The 108-byte game file record, decoded. The horse numbers are 1-based like the selection.
struct GameFileRecord
{
    std::array<std::uint8_t, 4> fileTag {};
    std::int32_t gameMode = 0;
    std::int32_t systemNumber = 0;
    std::int32_t combineIndex = 0;
    std::int32_t ticketIndex = 0;
    std::int32_t baseIndex = 0;
    std::int32_t reducedFlag = 0;
    std::array<std::int32_t, kMaxHorses> horseNumbers {};
};

// Everything the program knows about the race in hand. One instance lives as long as the
// application and is handed to every window and engine that reads or writes it.
struct GameState
{
    // Race and forecasts
    std::int32_t horseCount = 20;
    std::int32_t horsesPerForecast = 8;
    std::int32_t forecastCount = 5;
    std::array<std::array<std::int32_t, kForecastPositions>, kForecastRows> forecasts {};
    std::int32_t currentForecast = 0;
    std::array<std::int32_t, kForecastPositions> pointsByPosition {};
    std::array<SynthesisEntry, kMaxRunners> synthesis {}; // ranked, entry 0 the best

    // Selection and tickets (the ticket list carries horsesPerTicket, baseCount and ticketCount)
    Selection selection;
    TicketList tickets;
    // Bases of a catalogue or own system: its first horses, which stand in every ticket among the
    // letters. The generator's bases stand apart, in the tickets' layout.
    std::int32_t systemBases = 0;
    // The recipe of a list made with conditions on its tickets, null for any other list: what
    // the list would have been without them is made again from it.
    std::shared_ptr<const TicketRecipe> conditionedRequest;

    // Arrival and winnings (1-based places; slot 0 unused)
    std::array<std::int32_t, kArrivalPlaces + 1> arrival {};
    std::array<std::int32_t, kWinCategories> winCounts {};
    std::array<double, kPaidCategories> payouts {};
    // The race as it was really run (dead heats, non-runners, complément, published rapports),
    // once the punter has typed it in; null while the comparison reads the five arrival boxes.
    // It is saved with the game.
    std::shared_ptr<const OfficialResult> officialResult;

    // Settings and files
    SettingsRecord settings;
    Stakes stakes; // the main window loads them beside the settings
    GameFileRecord gameFileRecord;
    bool firstShowPending = true;
};

} // namespace mvx
