#pragma once

#include <QString>

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace mvx {

// A bet: its kind and, for the Multi and the Mini Multi, how many horses a ticket holds. For
// every other kind the size is the kind's own and `size` repeats it.
struct Bet
{
    // The bets of one race. `Couple` is the couplé as the program always judged it (gagnant
    // when the ticket holds the first two, else placé); the operator's three couplés are bets of
    // their own beside it. The numbers are kept in files: add new kinds at the end.
    enum class Kind : std::uint8_t
    {
        Couple = 0,
        Tierce = 1,
        Quarte = 2,
        Quinte = 3,
        SimpleWinner = 4,
        SimplePlaced = 5,
        CoupleWinner = 6,
        CouplePlaced = 7,
        CoupleInOrder = 8,
        TwoOfFour = 9,
        Trio = 10,
        TrioInOrder = 11,
        Super4 = 12,
        Multi = 13,
        MiniMulti = 14,
        Pick5 = 15,
    };

    Kind kind = Kind::Quinte;
    std::int8_t size = 5;

    friend bool operator==(const Bet &, const Bet &) = default;
};

// What the operator's rules say of a kind of bet, one row per kind.
struct BetKindInfo
{
    Bet::Kind kind;
    const char *cliName; // "couple-gagnant", "multi" (the Multi's size is added: "multi5")
    const char *frenchName; // "Couplé gagnant", "Multi" ("Multi en 5" with its size)
    std::int8_t smallestSize;
    std::int8_t largestSize; // more than smallestSize only for the Multi and the Mini Multi
    bool ordered; // the order of the horses on the ticket counts
    bool complement; // a cheval de complément may be named with it
};

std::span<const BetKindInfo> betKinds();
const BetKindInfo &betKindInfo(Bet::Kind kind);

// Every bet, each size of the Multi and the Mini Multi apart, in the order the lists show them.
std::vector<Bet> allBets();
bool isValidBet(Bet bet);

int horsesPerTicket(Bet bet);
bool isOrdered(Bet bet);
bool hasComplement(Bet bet);
// One of the four bets the program always knew, whose tickets and files keep their old form.
bool isClassicBet(Bet bet);

// "Couplé gagnant", "Multi en 5", "Mini Multi en 4", "Quinté+".
QString betName(Bet bet);
// "couple-gagnant", "multi5", "mini-multi4", "quinte": the tool's --bet names, also the bet's
// name in the game file and the history.
QString betCliName(Bet bet);
std::optional<Bet> betFromCliName(const QString &name);

// The bet a ticket size gave before the bet was chosen: couplé, tiercé, quarté+, quinté+.
std::optional<Bet> classicBet(int horsesPerTicket);
// The bets whose tickets hold that many horses, the classic one first.
std::vector<Bet> betsOfSize(int horsesPerTicket);

} // namespace mvx
