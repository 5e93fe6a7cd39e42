#pragma once

#include "combi/selection.h"
#include "model/bet.h"

#include <cstdint>
#include <optional>

// The operator's formulas of a bet, made by the generator: the "combinée" (every ticket of the
// bet's size from the chosen horses) and the "champ" (one to three bases with the other chosen
// horses, "champ partiel", or with every other runner of the race, "champ total"). A bet whose
// order counts is played in every order of its associates, the bases at their positions; a bet
// without order in combinations.
namespace mvx {

struct BetFormula
{
    enum class Kind : std::uint8_t
    {
        Combined, // combinée
        PartialField, // champ partiel
        TotalField, // champ total
    };

    Bet bet;
    Kind kind = Kind::Combined;
    int bases = 0; // champ: 1..3, fewer than the bet's horses
    int chosen = 0; // horses chosen besides the bases (combinée, champ partiel)
    int runners = 0; // champ total: the runners of the race, bases included
};

// Why the formula cannot be played, in French; none when it can.
std::optional<Message> checkBetFormula(const BetFormula &formula);

// The horses the formula combines, bases included: the chosen horses, or the runners.
int formulaHorses(const BetFormula &formula);

// The tickets the formula gives, by the closed formulas: C(K, k) and K(K−1)…(K−k+1) for the
// combinée of K horses, C(K, k−B) and K(K−1)…(K−k+B+1) for a champ of B bases and K associates.
// 0 for a formula checkBetFormula refuses.
std::uint64_t formulaTicketCount(const BetFormula &formula);

// The generator's settings that make the formula's tickets from the selection boxes, the bases
// in the first boxes (at positions 1..B of the ticket) then the associates.
GeneratorSettings formulaGenerator(const BetFormula &formula);

// Puts a champ total's associates in the selection boxes: every runner 1..N that is not one of
// the bases (the first B boxes), in order, after the bases. Refuses a base that is not a runner
// of the race. Any other formula leaves the boxes as they are.
std::optional<Message> fillTotalField(const BetFormula &formula, SelectionBoxes &boxes);

} // namespace mvx
