#pragma once

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <memory>
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

// Every ticket fits this: at most 8 letters.
constexpr int kMaxLetters = 8;
// The letters of one ticket as the generator builds them, padded to the longest ticket.
using TicketLetters = std::array<char, kMaxLetters>;

// Storage that is not zeroed when it grows: a list of millions of tickets is written once,
// right after it is reserved.
template <typename T> struct UninitializedAllocator : std::allocator<T>
{
    template <typename U> struct rebind
    {
        using other = UninitializedAllocator<U>;
    };
    using std::allocator<T>::allocator;
    template <typename U> void construct(U *at) noexcept { ::new (static_cast<void *>(at)) U; }
    template <typename U, typename... Args> void construct(U *at, Args &&...args)
    {
        ::new (static_cast<void *>(at)) U(std::forward<Args>(args)...);
    }
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
    // The memory the list holds.
    std::uint64_t bytes() const { return letters_.capacity(); }

    // Ticket t, 1..count(); empty for a list that only counts.
    std::string_view ticket(std::int64_t t) const
    {
        if (!stored_)
            return {};
        const std::size_t stride = std::size_t(layout_.lettersPerTicket());
        return std::string_view(letters_.data() + std::size_t(t - 1) * stride, stride);
    }

    // A list with room reserved for `expected` tickets of the layout; add them with append().
    // Throws std::bad_alloc when the memory cannot be had.
    static TicketList stored(const TicketLayout &layout, std::int64_t expected);
    // A list of `count` empty slots, for tickets that went to a file.
    static TicketList countedOnly(const TicketLayout &layout, std::int64_t count);
    // For tests of what a failed allocation leaves behind: from now on a list reserving more
    // than `bytes` fails as if memory had run out; 0 lifts the limit.
    static void failReservationsAboveForTesting(std::uint64_t bytes);

    void append(std::string_view letters)
    {
        const std::size_t at = std::size_t(count_) * std::size_t(layout_.lettersPerTicket());
        reserveFor(at + letters.size());
        std::copy(letters.begin(), letters.end(), letters_.begin() + std::ptrdiff_t(at));
        ++count_;
    }

    // The generator's way: one fixed-size copy of the padded letters per ticket.
    void append(const TicketLetters &letters)
    {
        const std::size_t at = std::size_t(count_) * std::size_t(layout_.lettersPerTicket());
        reserveFor(at + letters.size());
        std::memcpy(letters_.data() + at, letters.data(), letters.size());
        ++count_;
    }

    // One ticket per letter of `lastLetters`, each standing in the last letter of `letters`.
    void append(TicketLetters letters, std::string_view lastLetters)
    {
        const std::size_t stride = std::size_t(layout_.lettersPerTicket());
        const std::size_t last = stride > 0 ? stride - 1 : 0;
        const std::size_t at = std::size_t(count_) * stride;
        reserveFor(at + lastLetters.size() * stride + letters.size());
        char *out = letters_.data() + at;
        if constexpr (std::endian::native == std::endian::little && sizeof(TicketLetters) == sizeof(std::uint64_t)) {
            // The ticket as one word with the last letter put in by shifts: a byte written into
            // the letters and read back as a word would stall on every ticket.
            std::uint64_t word = 0;
            std::memcpy(&word, letters.data(), sizeof word);
            const unsigned shift = unsigned(8 * last);
            word &= ~(std::uint64_t(0xff) << shift);
            for (const char letter : lastLetters) {
                const std::uint64_t ticket = word | (std::uint64_t(static_cast<unsigned char>(letter)) << shift);
                std::memcpy(out, &ticket, sizeof ticket);
                out += stride;
            }
        } else {
            for (const char letter : lastLetters) {
                letters[last] = letter;
                std::memcpy(out, letters.data(), letters.size());
                out += stride;
            }
        }
        count_ += std::int64_t(lastLetters.size());
    }

private:
    void reserveFor(std::size_t end)
    {
        if (end > letters_.size())
            letters_.resize(std::max(letters_.size() * 2, end));
    }

    TicketLayout layout_;
    std::vector<char, UninitializedAllocator<char>> letters_;
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
    // Where position 1..horsesPerTicket comes from: the base slot 1..3 when positive, else
    // the letter index negated and less one (-1 for the first letter).
    int source(int position) const { return source_[std::size_t(std::clamp(position, 0, horsesPerTicket_))]; }
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
