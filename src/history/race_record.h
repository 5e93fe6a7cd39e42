#pragma once

#include "arrival/classification.h"
#include "arrival/winnings.h"
#include "model/bet.h"

#include <QDate>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

// One race as the punter's history keeps it: what was played, what it cost and what it brought.
// Money is in euro cents throughout, so that sums over years of races never drift.
namespace mvx {

// The history keeps a race's bet as a number of its own: the four bets of old keep the ticket
// size they were always stored as (2 couplé, 3 tiercé, 4 quarté+, 5 quinté+), so that older
// histories read as they were written; every other bet is 100 + 10 × its kind + its size
// (a Multi en 5 is 135), which never falls among 2..5 and keeps each size of the Multi apart.
int betStorageCode(Bet bet);
std::optional<Bet> betFromStorageCode(int code);

// The bets a user names for a filter: a tool's bet name ("couple-gagnant", "multi5", "couple"
// the couplé alone), a bet's name in any case, with or without accents and "+" ("Quinté+",
// "quinte", "Multi en 5"), or a ticket size as the history took it before bets were chosen
// ("5" the quinté+). "Couplé" written the French way, and the size "2", mean every couplé: the
// couplé of old and the operator's gagnant, placé and ordre. Empty for anything else.
std::vector<Bet> betsFromText(const QString &text);

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
    Bet bet { Bet::Kind::Tierce, 3 };
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
// refund. The bet is the one the size gives (couplé, tiercé, quarté+, quinté+). None when the
// size gives no bet or an amount does not fit.
std::optional<RaceRecord> raceFromComparison(int horsesPerTicket, std::int64_t tickets, std::int64_t unitStakeCents,
    std::int64_t multiplier, const WinCounts &counts, const Payouts &payouts);

} // namespace mvx
