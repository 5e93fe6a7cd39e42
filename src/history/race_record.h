#pragma once

#include "arrival/classification.h"
#include "arrival/winnings.h"

#include <QDate>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

// One race as the punter's history keeps it: what was played, what it cost and what it brought.
// Money is in euro cents throughout, so that sums over years of races never drift.
namespace mvx {

// The bet, named after the ticket size it is played with.
enum class BetKind : std::uint8_t
{
    Couple = 2,
    Tierce = 3,
    Quarte = 4,
    Quinte = 5,
};

// The bet played with tickets of that many horses (2 couplé, 3 tiercé, 4 quarté+, 5 quinté+);
// none for any other size, which the history does not keep.
std::optional<BetKind> betFromTicketSize(int horsesPerTicket);
int ticketSize(BetKind bet);
// "Couplé", "Tiercé", "Quarté+", "Quinté+".
QString betLabel(BetKind bet);
// The bet a user names: its label with or without accents and "+", in any case ("quinte",
// "Quinté+"), or its ticket size ("5"); none for anything else.
std::optional<BetKind> betFromText(const QString &text);

// How the tickets were made.
enum class TicketOrigin : std::uint8_t
{
    CatalogueSystem = 1, // a reduced system of the catalogue, numbered
    Generator = 2,
    OwnSystem = 3,
    OpenedFile = 4, // a ticket file opened as it was
};

struct TicketMaking
{
    TicketOrigin source = TicketOrigin::OpenedFile;
    int catalogueSystem = 0; // the system's number, for a catalogue system
    bool withConditions = false;

    friend bool operator==(const TicketMaking &, const TicketMaking &) = default;
};

// "Système 12", "Générateur", "Mon système", "Fichier ouvert", followed by " avec conditions"
// when conditions filtered the tickets.
QString ticketMakingText(const TicketMaking &making);

// A winning category of the comparison: its label as the result grid shows it, how many
// tickets won it and what they brought (multiplier included).
struct CategoryWinnings
{
    QString label;
    std::int64_t count = 0;
    std::int64_t amountCents = 0;

    friend bool operator==(const CategoryWinnings &, const CategoryWinnings &) = default;
};

// A race is known by its date and its name: storing a race of the same date and name again
// replaces it.
struct RaceKey
{
    QDate date;
    QString name;

    friend bool operator==(const RaceKey &, const RaceKey &) = default;
};

struct RaceRecord
{
    std::int64_t id = 0; // given by the history when stored; 0 for a race not stored yet
    QDate date = QDate::currentDate();
    QString name; // the punter's; the caller proposes the game file's name
    BetKind bet = BetKind::Tierce;
    TicketMaking making;
    std::vector<int> selection; // the horses played, in the order given
    std::int64_t tickets = 0;
    std::int64_t multiplier = 1; // each ticket played that many times
    // The money lines of the comparison: "Mise", the winnings (gains × multiplier),
    // "Remboursement" for the tickets refunded, and "Bilan".
    std::int64_t stakeCents = 0;
    std::int64_t wonCents = 0;
    std::int64_t refundedTickets = 0;
    std::int64_t refundCents = 0;
    std::int64_t balanceCents = 0;
    std::vector<CategoryWinnings> winnings; // the categories that won, in the summary's order

    RaceKey key() const { return { date, name }; }
    friend bool operator==(const RaceRecord &, const RaceRecord &) = default;
};

// "Bilan": winnings plus refunds less the stake.
inline std::int64_t raceBalanceCents(std::int64_t stakeCents, std::int64_t wonCents, std::int64_t refundCents)
{
    return wonCents + refundCents - stakeCents;
}

// A comparison as it is recorded: `tickets` tickets of `horsesPerTicket` horses at the unit
// stake, each played `multiplier` times; the stake is tickets × unit stake × multiplier, the
// winnings and each category's amount the comparison's (rounded to the cent) × multiplier, no
// refund. None when the size is not a bet the history keeps or an amount does not fit.
std::optional<RaceRecord> raceFromComparison(int horsesPerTicket, std::int64_t tickets, std::int64_t unitStakeCents,
    std::int64_t multiplier, const WinCounts &counts, const Payouts &payouts);

} // namespace mvx
