#pragma once

#include "combi/selection.h"
#include "model/ticket_list.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace mvx {

// Groups of horses a ticket must hold a number of, and a range for the sum of its horse numbers:
// the punter's view of the race, which keeps only the tickets that fit it.
constexpr int kMaxConditionGroups = 4;
constexpr int kMaxPerTicket = 8; // the longest ticket the program makes or reads

struct ConditionGroup
{
    QString name; // "Favoris", "Outsiders"...; messages name the group by it
    std::uint32_t horses = 0; // bit h set for horse h, 1..20
    int min = 0; // horses of the group a ticket holds at least
    int max = kMaxPerTicket; // and at most

    int size() const;
    bool holds(int horse) const { return horse >= 1 && horse <= kMaxHorses && (horses >> horse & 1u) != 0; }
    friend bool operator==(const ConditionGroup &, const ConditionGroup &) = default;
};

struct SumRange
{
    int min = 0;
    int max = 0;
    friend bool operator==(const SumRange &, const SumRange &) = default;
};

// A ticket passes when it meets every condition; no condition at all lets every ticket pass.
struct TicketConditions
{
    std::vector<ConditionGroup> groups; // up to kMaxConditionGroups
    std::optional<SumRange> sum;

    bool isEmpty() const { return groups.empty() && !sum; }
    bool passes(std::span<const int> horses) const;
    friend bool operator==(const TicketConditions &, const TicketConditions &) = default;
};

// What is wrong with the conditions, named in French, or nothing. `horsesPerTicket` 0 leaves out
// the checks that need the ticket's size (the minimum against it, the sum no ticket reaches).
std::optional<Message> checkConditions(const TicketConditions &conditions, int horsesPerTicket);

// The name a group gets when it has none: "groupe 1".."groupe 4".
QString groupLabel(const TicketConditions &conditions, int index);

// Horse numbers typed as "3, 7 12" (commas or blanks between them) as a group's bit set; nothing
// for a number outside 1..20, a number twice or any other character. An empty text is no horse.
std::optional<std::uint32_t> parseHorseNumbers(QStringView text);
// The numbers of a group's bit set, in increasing order, as "3, 7, 12".
QString horseNumbersText(std::uint32_t horses);

// The number of tickets of the generator settings, over the selection already read, that meet
// the conditions, counted without making them: every set of letters once, times the orders of
// the letters for arrangements.
std::uint64_t countConditionedTickets(
    const GeneratorSettings &generator, const Selection &selection, const TicketConditions &conditions);
// The same for reduced system s.
std::uint64_t countConditionedTickets(int systemNumber, const Selection &selection, const TicketConditions &conditions);
// The same for a table of the punter's own, rows of `perTicket` positions in the selection.
std::uint64_t countConditionedTickets(const std::vector<std::vector<int>> &rows, int perTicket,
    const Selection &selection, const TicketConditions &conditions);

// The conditions as the game file keeps them, and back. Decoding checks every field and refuses
// (nothing) a payload that is damaged, cut short or too long, or holds conditions that cannot go
// together.
QByteArray encodeConditions(const TicketConditions &conditions);
std::optional<TicketConditions> decodeConditions(QByteArrayView payload);

// Letter by letter, what the generation walk needs to check the tickets of a batch: per letter
// of the selection its group and horse number, and the bases' share of every ticket.
class ConditionCheck
{
public:
    ConditionCheck(const TicketConditions &conditions, const Selection &selection, const TicketLayout &layout);

    // The groups and the sum of part of a ticket.
    struct Tally
    {
        std::array<int, kMaxConditionGroups> inGroup {};
        int sum = 0;
    };
    // The bases' share, where every ticket starts.
    const Tally &bases() const { return bases_; }
    void addLetter(Tally &tally, char letter) const
    {
        const unsigned at = unsigned(static_cast<unsigned char>(letter)) - unsigned('A');
        if (at >= 32)
            return;
        const int group = groupOf_[at];
        if (group < kMaxConditionGroups)
            ++tally.inGroup[std::size_t(group)];
        tally.sum += horseOf_[at];
    }

    // The letters (bit 0 for "A") that may end a ticket whose other letters are `prefix`, or
    // whose other letters and bases make `tally`.
    std::uint32_t acceptedLast(std::span<const char> prefix) const;
    std::uint32_t acceptedLast(const Tally &tally) const;
    bool passes(std::span<const char> letters) const;

    static constexpr std::uint32_t letterBit(char letter)
    {
        const unsigned at = unsigned(static_cast<unsigned char>(letter)) - unsigned('A');
        return at < 32 ? std::uint32_t(1) << at : 0;
    }

private:
    int groupCount_ = 0;
    std::array<int, kMaxConditionGroups> min_ {};
    std::array<int, kMaxConditionGroups> max_ {};
    bool hasSum_ = false;
    int sumMin_ = 0;
    int sumMax_ = 0;
    // Per letter index 0..31 (A..): the group, kMaxConditionGroups for none; the horse number.
    std::array<std::uint8_t, 32> groupOf_ {};
    std::array<std::uint8_t, 32> horseOf_ {};
    // Per group, and for the ungrouped letters last: the letters in it.
    std::array<std::uint32_t, kMaxConditionGroups + 1> lettersIn_ {};
    // Per number x 0..kMaxHorses: the letters whose horse number is at most x.
    std::array<std::uint32_t, kMaxHorses + 1> lettersUpTo_ {};
    Tally bases_;
};

namespace messages {
// A set of conditions that keeps no ticket of the request.
Message noTicketMeetsConditions();
} // namespace messages

} // namespace mvx
