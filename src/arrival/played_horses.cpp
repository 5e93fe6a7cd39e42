#include "arrival/played_horses.h"

#include <array>
#include <string_view>

namespace mvx {

std::vector<int> playedHorses(const TicketList &tickets, const Selection &selection)
{
    const TicketReader reader(selection, tickets.layout());
    const int size = tickets.horsesPerTicket();
    std::array<bool, kMaxHorses + 1> played {};
    int seen = 0;
    for (std::int64_t t = 1; t <= tickets.count() && seen < kMaxHorses; ++t) {
        const std::string_view ticket = tickets.ticket(t);
        for (int p = 1; p <= size; ++p) {
            const int horse = reader.horse(ticket, p);
            if (horse >= 1 && horse <= kMaxHorses && !played[std::size_t(horse)]) {
                played[std::size_t(horse)] = true;
                ++seen;
            }
        }
    }
    std::vector<int> horses;
    auto keep = [&](int horse) {
        if (horse >= 1 && horse <= kMaxHorses && played[std::size_t(horse)]) {
            played[std::size_t(horse)] = false;
            horses.push_back(horse);
        }
    };
    for (std::size_t i = 1; i < selection.baseHorses.size(); ++i)
        keep(selection.baseHorses[i]);
    for (std::size_t i = 1; i < selection.otherHorses.size(); ++i)
        keep(selection.otherHorses[i]);
    return horses;
}

} // namespace mvx
