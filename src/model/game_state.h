#pragma once

#include "model/bet.h"
#include "model/settings_record.h"
#include "model/stakes_file.h"
#include "model/ticket_list.h"

#include <QString>

#include <array>
#include <cstdint>
#include <functional>
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

// How the ticket list in hand was made, for the race the punter records.
struct ListMaking
{
    enum class Source : std::uint8_t
    {
        None, // no list yet
        CatalogueSystem,
        Generator,
        OwnSystem,
        OpenedFile,
    };
    Source source = Source::None;
    std::int32_t catalogueSystem = 0; // the system's number, for a catalogue system
    bool withConditions = false;
    // An own system's promise: whenever the first `promiseAmong` finishers are the bases and
    // other horses of the selection, a ticket holds `promiseNeeded` of them; 0 for none.
    std::int32_t promiseNeeded = 0;
    std::int32_t promiseAmong = 0;

    friend bool operator==(const ListMaking &, const ListMaking &) = default;
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
    // The bet the punter plays. Tickets of another size are played as the bet their size gives
    // (betOfTickets).
    Bet bet;
    // Bases of a catalogue or own system: its first horses, which stand in every ticket among the
    // letters. The generator's bases stand apart, in the tickets' layout.
    std::int32_t systemBases = 0;
    // The recipe of a list made with conditions on its tickets, null for any other list: what
    // the list would have been without them is made again from it.
    std::shared_ptr<const TicketRecipe> conditionedRequest;
    ListMaking listMaking;

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
    // The game file last saved or loaded, empty before any: the race recorded takes its name.
    QString gameFileName;
    bool firstShowPending = true;
    // What the month's budget says of a game of that cost, in cents: one line, or two when the
    // game goes past it, joined by a line feed. Set by the windows when the punter keeps a
    // history; unset or empty, the cost is shown alone.
    std::function<QString(std::int64_t costCents)> budgetNote;
};

// The bet the tickets in hand are played as; none for a ticket size no bet has.
inline std::optional<Bet> betOfTickets(const GameState &state)
{
    return betForTickets(state.bet, state.tickets.horsesPerTicket());
}

} // namespace mvx
