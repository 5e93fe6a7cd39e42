#include "model/ticket_list.h"

#include "model/game_state.h"

#include <algorithm>
#include <atomic>
#include <new>

namespace mvx {

namespace {
std::atomic<std::uint64_t> reservationLimitForTesting { 0 };
}

void TicketList::failReservationsAboveForTesting(std::uint64_t bytes)
{
    reservationLimitForTesting = bytes;
}

TicketList TicketList::stored(const TicketLayout &layout, std::int64_t expected)
{
    const std::uint64_t bytes
        = std::uint64_t(std::max<std::int64_t>(expected, 0)) * std::uint64_t(std::max(layout.lettersPerTicket(), 0));
    if (const std::uint64_t limit = reservationLimitForTesting; limit != 0 && bytes > limit)
        throw std::bad_alloc();
    TicketList list;
    list.layout_ = layout;
    // The padded copy of the last ticket reaches kMaxLetters past its start.
    list.letters_.resize(std::size_t(expected) * std::size_t(layout.lettersPerTicket()) + kMaxLetters);
    return list;
}

TicketList TicketList::countedOnly(const TicketLayout &layout, std::int64_t count)
{
    TicketList list;
    list.layout_ = layout;
    list.count_ = count;
    list.stored_ = false;
    return list;
}

TicketReader::TicketReader(const Selection &selection, const TicketLayout &layout)
    : selection_(selection)
    , horsesPerTicket_(std::clamp(layout.horsesPerTicket, 0, int(source_.size()) - 1))
{
    const int bases = std::clamp(layout.baseCount, 0, 3);
    for (int p = 1; p <= horsesPerTicket_; ++p) {
        int base = 0;
        int basesBefore = 0;
        for (int b = 1; b <= bases; ++b) {
            const int at = layout.basePositions[std::size_t(b - 1)];
            if (at == p && base == 0)
                base = b;
            else if (at < p)
                ++basesBefore;
        }
        source_[std::size_t(p)] = base != 0 ? base : -(p - basesBefore);
    }
}

int TicketReader::horse(std::string_view ticket, int position) const
{
    if (position < 1 || position > horsesPerTicket_)
        return 0;
    const int source = source_[std::size_t(position)];
    if (source > 0)
        return selection_.baseHorses[std::size_t(source)];
    const std::size_t letter = std::size_t(-source - 1);
    if (letter >= ticket.size())
        return 0;
    const int slot = ticket[letter] - 64;
    if (slot < 1 || slot > kMaxHorses)
        return 0;
    return selection_.otherHorses[std::size_t(slot)];
}

int ticketHorse(const Selection &selection, const TicketLayout &layout, std::string_view ticket, int position)
{
    return TicketReader(selection, layout).horse(ticket, position);
}

} // namespace mvx
