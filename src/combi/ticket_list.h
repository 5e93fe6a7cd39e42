#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

namespace mvx {

struct Selection;

// How the tickets of one generation read: horses per ticket, and the bases the generator puts
// at fixed positions (a reduced system has none). A ticket stores one letter per non-base
// position, "A" standing for the first other horse of the selection.
struct TicketLayout
{
    int horsesPerTicket = 0;
    int baseCount = 0;
    std::array<int, 3> basePositions { 1, 2, 3 };

    int lettersPerTicket() const { return horsesPerTicket - baseCount; }
};

// The tickets of the last generation, numbered from 1. All tickets of a generation have the
// same number of letters, so they sit in one buffer at a fixed stride. After a generation
// written to a file the list only counts the tickets: every slot reads as empty.
class TicketList
{
public:
    const TicketLayout &layout() const { return layout_; }
    int horsesPerTicket() const { return layout_.horsesPerTicket; }
    int baseCount() const { return layout_.baseCount; }
    std::int64_t count() const { return count_; }
    bool holdsLetters() const { return stored_; }

    // Ticket t, 1..count(); empty for a list that only counts.
    std::string_view ticket(std::int64_t t) const
    {
        if (!stored_)
            return {};
        const std::size_t stride = std::size_t(layout_.lettersPerTicket());
        return std::string_view(letters_.data() + std::size_t(t - 1) * stride, stride);
    }

    // A list with room reserved for `expected` tickets of the layout; add them with append().
    static TicketList stored(const TicketLayout &layout, std::int64_t expected);
    // A list of `count` empty slots, for tickets that went to a file.
    static TicketList countedOnly(const TicketLayout &layout, std::int64_t count);

    void append(std::string_view letters)
    {
        const std::size_t at = std::size_t(count_) * std::size_t(layout_.lettersPerTicket());
        if (at + letters.size() > letters_.size())
            letters_.resize(std::max(letters_.size() * 2, at + letters.size()));
        std::copy(letters.begin(), letters.end(), letters_.begin() + std::ptrdiff_t(at));
        ++count_;
    }

private:
    TicketLayout layout_;
    std::vector<char> letters_;
    std::int64_t count_ = 0;
    bool stored_ = true;
};

// Reads tickets back into horse numbers, the only way consumers read them. Built once for a
// selection and a layout; each position is resolved to a base or to a letter of the ticket.
class TicketReader
{
public:
    TicketReader(const Selection &selection, const TicketLayout &layout);

    // The horse at position 1..horsesPerTicket of a ticket; 0 for a slot no horse was read into.
    int horse(std::string_view ticket, int position) const;
    // The letter of a ticket (0-based) that gives the horse at a position; -1 where a base
    // stands or outside the ticket.
    int letterIndex(int position) const
    {
        if (position < 1 || position > horsesPerTicket_)
            return -1;
        const int source = source_[std::size_t(position)];
        return source > 0 ? -1 : -source - 1;
    }

private:
    const Selection &selection_;
    // Per position: the base slot (1..3) when positive, or -(letter index + 1) when negative.
    std::array<int, 9> source_ {};
    int horsesPerTicket_ = 0;
};

// The horse at `position` of `ticket`, for one-off reads; loops should keep a TicketReader.
int ticketHorse(const Selection &selection, const TicketLayout &layout, std::string_view ticket, int position);

} // namespace mvx
