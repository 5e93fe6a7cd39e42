#pragma once

#include "combi/covering_search.h"
#include "model/bet.h"

#include <QString>

#include <vector>

// What a reduced system can promise a punter of each bet, in the bet's own words.
namespace mvx {

// A promise a reduced system offers for a bet: T (with the bases) of the first M finishers on one
// ticket, whenever those M are the bases and other horses of the selection. `shareOnly`: the
// promise is the complete game, so that only a share of the arrivals makes a smaller table.
struct BetPromise
{
    int guarantee = 0;
    int among = 0;
    bool shareOnly = false;
};

// The promises that mean something for the bet, the usual one first; empty for a bet no reduced
// system serves (the simples, the ordered couplé and trio, a bet of more than 7 horses):
//   Multi and Mini Multi en K: the first 4 among the horses (en 4, by a share only);
//   couplé placé and 2sur4: 3 or 4 of the horses in the first 3 or 4, a pair of them on a ticket;
//   trio, Super4 and Pick5: by a share only;
//   quinté+, quarté+, tiercé and the couplés: the first T from the bases + 1 to K, as the own-system
//   tab offers them, then for the quinté+ "4 of my horses in the first five, a ticket holds 3".
std::vector<BetPromise> betPromises(Bet bet, int bases);

// The promise in the bet's words: "si les 4 premiers sont parmi vos 10 chevaux, un ticket paie le
// Multi en 6", "si 3 de vos chevaux sont dans les 3 premiers, un ticket paie".
QString betPromiseText(Bet bet, const SystemRequest &request);

} // namespace mvx
