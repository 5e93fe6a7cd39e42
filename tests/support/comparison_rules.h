#pragma once

#include <array>
#include <cstddef>
#include <vector>

namespace mvx::testing {

using Arrival = std::array<int, 5>;

// The winning category of a ticket against the first five places, by the comparison rules:
// 1 quinté in order, 2 quinté in any order, 3 bonus 4, 4 bonus 4 sur 5, 5 bonus 3, 6 quarté in order,
// 7 quarté in any order, 8 quarté bonus, 9 tiercé in order, 10 tiercé in any order, 11 couplé gagnant,
// 12 couplé placé; 0 when the ticket wins nothing. Within one ticket size a smaller number is better.
inline int classify(const int *ticket, int size, const Arrival &arrival)
{
    // Pairs (ticket horse, place among the first `places`) holding the same number.
    auto matchCount = [&](int places) {
        int n = 0;
        for (int i = 0; i < size; ++i)
            for (int j = 0; j < places; ++j)
                n += ticket[i] == arrival[std::size_t(j)];
        return n;
    };
    auto inOrder = [&](int places) {
        for (int p = 0; p < places; ++p)
            if (ticket[p] != arrival[std::size_t(p)])
                return false;
        return true;
    };
    switch (size) {
    case 5:
        if (inOrder(5))
            return 1;
        if (matchCount(5) == 5)
            return 2;
        if (matchCount(4) == 4)
            return 3;
        if (matchCount(5) == 4)
            return 4;
        return matchCount(3) == 3 ? 5 : 0;
    case 4:
        if (inOrder(4))
            return 6;
        if (matchCount(4) == 4)
            return 7;
        return matchCount(3) == 3 ? 8 : 0;
    case 3:
        if (inOrder(3))
            return 9;
        return matchCount(3) == 3 ? 10 : 0;
    case 2:
        if (matchCount(2) == 2)
            return 11;
        return matchCount(3) == 2 ? 12 : 0;
    default:
        return 0;
    }
}

inline int classify(const std::vector<int> &ticket, const Arrival &arrival)
{
    return classify(ticket.data(), int(ticket.size()), arrival);
}

} // namespace mvx::testing
