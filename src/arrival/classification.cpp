#include "arrival/classification.h"

#include <bit>
#include <string>

namespace mvx {

namespace {

bool isHorse(int number)
{
    return number >= 1 && number <= kMaxHorses;
}

// Places 1..5 of the arrival where the horse finished, as bits 0..4.
unsigned placesOf(int horse, const Arrival &arrival)
{
    unsigned places = 0;
    if (!isHorse(horse))
        return places;
    for (int j = 1; j <= kArrivalPlaces; ++j)
        if (arrival[std::size_t(j)] == horse)
            places |= 1u << (j - 1);
    return places;
}

// The byte fields of a tally.
int matchesUpTo(std::uint64_t tally, int k)
{
    return int((tally >> (8 * (k - 2))) & 0xff);
}

int positionsInOrder(std::uint64_t tally)
{
    return int((tally >> 32) & 0xff);
}

} // namespace

QString gridLabel(WinCategory category)
{
    switch (category) {
    case WinCategory::None:
        break;
    case WinCategory::QuinteInOrder:
        return QStringLiteral("Quinté ordre");
    case WinCategory::QuinteAnyOrder:
        return QStringLiteral("Quinté désordre");
    case WinCategory::Bonus4:
        return QStringLiteral("Bonus 4");
    case WinCategory::Bonus4Of5:
        return QStringLiteral("Bonus 4 sur 5");
    case WinCategory::Bonus3:
        return QStringLiteral("Bonus 3");
    case WinCategory::QuarteInOrder:
        return QStringLiteral("Quarte ordre");
    case WinCategory::QuarteAnyOrder:
        return QStringLiteral("Quarté désordre");
    case WinCategory::QuarteBonus:
        return QStringLiteral("Bonus");
    case WinCategory::TierceInOrder:
        return QStringLiteral("Tierce ordre");
    case WinCategory::TierceAnyOrder:
        return QStringLiteral("Tiercé désordre");
    case WinCategory::CoupleWinner:
        return QStringLiteral("Couplé gagnant");
    case WinCategory::CouplePlaced:
        return QStringLiteral("Couplé placé");
    }
    return {};
}

QString summaryLabel(WinCategory category)
{
    switch (category) {
    case WinCategory::None:
        break;
    case WinCategory::QuinteInOrder:
        return QStringLiteral(" Quinte");
    case WinCategory::QuinteAnyOrder:
        return QStringLiteral(" Quinte Désordre");
    case WinCategory::Bonus4:
        return QStringLiteral(" Bonus 4");
    case WinCategory::Bonus4Of5:
        return QStringLiteral(" Bonus 4 sur 5 ");
    case WinCategory::Bonus3:
        return QStringLiteral(" Bonus 3");
    case WinCategory::QuarteInOrder:
        return QStringLiteral(" Quarte");
    case WinCategory::QuarteAnyOrder:
        return QStringLiteral(" Quarté(s) désordre(s)");
    case WinCategory::QuarteBonus:
        return QStringLiteral(" Bonus");
    case WinCategory::TierceInOrder:
        return QStringLiteral(" Tiercé");
    case WinCategory::TierceAnyOrder:
        return QStringLiteral(" Tiercé desordre");
    case WinCategory::CoupleWinner:
        return QStringLiteral(" Couplé gagnant");
    case WinCategory::CouplePlaced:
        return QStringLiteral(" Couplé placé");
    }
    return {};
}

int matchCount(std::span<const int> horses, const Arrival &arrival, int k)
{
    int matches = 0;
    for (int horse : horses)
        matches += std::popcount(placesOf(horse, arrival) & ((1u << std::clamp(k, 0, kArrivalPlaces)) - 1));
    return matches;
}

bool inOrder(std::span<const int> horses, const Arrival &arrival, int k)
{
    if (k < 1 || k > kArrivalPlaces || std::size_t(k) > horses.size())
        return false;
    for (int p = 1; p <= k; ++p)
        if (!isHorse(horses[std::size_t(p - 1)]) || horses[std::size_t(p - 1)] != arrival[std::size_t(p)])
            return false;
    return true;
}

WinCategory ticketCategory(std::span<const int> horses, const Arrival &arrival)
{
    using C = WinCategory;
    switch (horses.size()) {
    case 5:
        if (inOrder(horses, arrival, 5))
            return C::QuinteInOrder;
        if (matchCount(horses, arrival, 5) == 5)
            return C::QuinteAnyOrder;
        if (matchCount(horses, arrival, 4) == 4)
            return C::Bonus4;
        if (matchCount(horses, arrival, 5) == 4)
            return C::Bonus4Of5;
        if (matchCount(horses, arrival, 3) == 3)
            return C::Bonus3;
        return C::None;
    case 4:
        if (inOrder(horses, arrival, 4))
            return C::QuarteInOrder;
        if (matchCount(horses, arrival, 4) == 4)
            return C::QuarteAnyOrder;
        if (matchCount(horses, arrival, 3) == 3)
            return C::QuarteBonus;
        return C::None;
    case 3:
        if (inOrder(horses, arrival, 3))
            return C::TierceInOrder;
        if (matchCount(horses, arrival, 3) == 3)
            return C::TierceAnyOrder;
        return C::None;
    case 2:
        if (matchCount(horses, arrival, 2) == 2)
            return C::CoupleWinner;
        if (matchCount(horses, arrival, 3) == 2)
            return C::CouplePlaced;
        return C::None;
    default:
        return C::None;
    }
}

QString classifyTicket(std::span<const int> horses, const Arrival &arrival, WinCounts &counts)
{
    const WinCategory category = ticketCategory(horses, arrival);
    if (category != WinCategory::None)
        ++counts[std::size_t(category) - 1];
    return gridLabel(category);
}

// ---------------------------------------------------------------------------------------------

std::uint64_t TicketClassifier::tally(int horse, int position, const Arrival &arrival)
{
    const unsigned places = placesOf(horse, arrival);
    std::uint64_t t = 0;
    for (int k = 2; k <= kArrivalPlaces; ++k)
        t |= std::uint64_t(std::popcount(places & ((1u << k) - 1))) << (8 * (k - 2));
    if (position <= kArrivalPlaces && (places >> (position - 1)) & 1u)
        t |= std::uint64_t(1) << 32;
    return t;
}

TicketClassifier::TicketClassifier(const TicketList &tickets, const Selection &selection, const Arrival &arrival)
    : tickets_(tickets)
    , horsesPerTicket_(tickets.horsesPerTicket())
{
    const TicketReader reader(selection, tickets.layout());
    letters_ = tickets.holdsLetters() ? std::clamp(tickets.layout().lettersPerTicket(), 0, 8) : 0;
    for (int p = 1; p <= std::min(horsesPerTicket_, 8); ++p) {
        const int letter = reader.letterIndex(p);
        if (letter < 0 || letter >= letters_) {
            // A base, or a letter the list does not hold: the same horse on every ticket.
            baseTally_ += tally(reader.horse({}, p), p, arrival);
            continue;
        }
        // The horse each byte stands for, read the way every consumer reads a ticket.
        for (int byte = 0; byte < 256; ++byte) {
            const std::string ticket(static_cast<std::size_t>(letters_), static_cast<char>(byte));
            letterTally_[std::size_t(letter)][std::size_t(byte)] = tally(reader.horse(ticket, p), p, arrival);
        }
    }
}

std::uint64_t TicketClassifier::ticketTally(std::string_view letters) const
{
    std::uint64_t t = baseTally_;
    for (int i = 0; i < letters_; ++i)
        t += letterTally_[std::size_t(i)][static_cast<unsigned char>(letters[std::size_t(i)])];
    return t;
}

WinCategory TicketClassifier::categoryOfTally(std::uint64_t t) const
{
    using C = WinCategory;
    switch (horsesPerTicket_) {
    case 5:
        if (positionsInOrder(t) == 5)
            return C::QuinteInOrder;
        if (matchesUpTo(t, 5) == 5)
            return C::QuinteAnyOrder;
        if (matchesUpTo(t, 4) == 4)
            return C::Bonus4;
        if (matchesUpTo(t, 5) == 4)
            return C::Bonus4Of5;
        if (matchesUpTo(t, 3) == 3)
            return C::Bonus3;
        return C::None;
    case 4:
        if (positionsInOrder(t) == 4)
            return C::QuarteInOrder;
        if (matchesUpTo(t, 4) == 4)
            return C::QuarteAnyOrder;
        if (matchesUpTo(t, 3) == 3)
            return C::QuarteBonus;
        return C::None;
    case 3:
        if (positionsInOrder(t) == 3)
            return C::TierceInOrder;
        if (matchesUpTo(t, 3) == 3)
            return C::TierceAnyOrder;
        return C::None;
    case 2:
        if (matchesUpTo(t, 2) == 2)
            return C::CoupleWinner;
        if (matchesUpTo(t, 3) == 2)
            return C::CouplePlaced;
        return C::None;
    default:
        return C::None;
    }
}

WinCategory TicketClassifier::category(std::int64_t t) const
{
    return categoryOfTally(ticketTally(tickets_.ticket(t)));
}

template <int Letters>
void TicketClassifier::classifyStored(
    std::int64_t first, std::int64_t last, std::uint8_t *categories, std::int64_t *tallied) const
{
    // The tickets of a list lie one after the other, Letters bytes each.
    const auto *letters = reinterpret_cast<const unsigned char *>(tickets_.ticket(first + 1).data());
    for (std::int64_t t = first; t < last; ++t, letters += Letters) {
        std::uint64_t tally = baseTally_;
        for (int i = 0; i < Letters; ++i)
            tally += letterTally_[std::size_t(i)][letters[i]];
        const std::uint8_t c = std::uint8_t(categoryOfTally(tally));
        categories[t] = c;
        ++tallied[c];
    }
}

void TicketClassifier::classify(
    std::int64_t first, std::int64_t last, std::uint8_t *categories, WinCounts &counts) const
{
    first = std::max<std::int64_t>(first, 0);
    last = std::min(last, tickets_.count());
    if (last <= first)
        return;
    std::array<std::int64_t, kWinCategories + 1> tallied {};
    if (horsesPerTicket_ < 2 || horsesPerTicket_ > kArrivalPlaces) {
        std::fill(categories + first, categories + last, std::uint8_t(0));
        return;
    }
    switch (letters_) {
    case 0: {
        // Bases only, or a list that only counts its tickets: every ticket reads the same.
        const WinCategory same = categoryOfTally(baseTally_);
        std::fill(categories + first, categories + last, std::uint8_t(same));
        tallied[std::size_t(same)] += last - first;
        break;
    }
    case 1:
        classifyStored<1>(first, last, categories, tallied.data());
        break;
    case 2:
        classifyStored<2>(first, last, categories, tallied.data());
        break;
    case 3:
        classifyStored<3>(first, last, categories, tallied.data());
        break;
    case 4:
        classifyStored<4>(first, last, categories, tallied.data());
        break;
    default:
        // Tickets of 2 to 5 horses hold at most 5 letters.
        classifyStored<5>(first, last, categories, tallied.data());
        break;
    }
    for (std::size_t c = 1; c < tallied.size(); ++c)
        counts[c - 1] += std::int32_t(tallied[c]);
}

} // namespace mvx
