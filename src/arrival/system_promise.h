#pragma once

#include "arrival/classification.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

namespace mvx {

struct ReducedSystem;

// What a reduced system's description promises: whenever its bases and `places - bases` more
// horses of the selection take the first `places` places, in any order, at least one ticket
// wins `category` or a better category of the same bet.
struct SystemPromise
{
    int bases = 0;
    int places = 0;
    WinCategory category = WinCategory::None;
    QString text; // the promise as the description words it
};

// Read from the description ("minimum 1 bonus4 si la base + 3 chevaux de la sélection dans les
// 4 premiers"). A base named in the text counts even when the system's record lists none.
SystemPromise systemPromise(const ReducedSystem &system);

struct PromiseCheck
{
    std::int64_t arrivals = 0; // arrivals tried
    // The first arrival, places 1..5, for which no ticket keeps the promise.
    std::optional<std::vector<int>> missed;
};

// Checks a promise on every arrival it covers, the selection being the horses 1..`horseCount`
// (the bases first): the tickets, horse numbers in ticket order, are judged by the comparison's
// own categories. The places after the promised ones go to horses outside the selection: they
// cannot take a win away from a ticket holding the promised places.
PromiseCheck checkPromise(const std::vector<std::vector<int>> &tickets, int horseCount, const SystemPromise &promise);

// The tickets of system `number` as the program makes them, horse k typed in box k.
std::vector<std::vector<int>> systemTicketsOnFirstHorses(int number);

// checkPromise() on the system's own tickets and promise.
PromiseCheck checkSystemPromise(int number);

} // namespace mvx
