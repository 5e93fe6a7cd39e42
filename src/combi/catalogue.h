#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <span>

namespace mvx {

constexpr int kSystemCount = 53;

// A reduced system: a fixed set of tickets over the first horseCount horses of the selection.
// Each table row lists positions in the selection (1 = first horse read), in ticket order;
// the bases, when there are any, are positions 1..baseCount and stand in every row.
struct ReducedSystem
{
    int number = 0;
    const char *descriptionUtf8 = nullptr;
    int ticketCount = 0;
    int horseCount = 0;
    int horsesPerTicket = 0;
    int baseCount = 0;
    std::span<const std::uint8_t> table; // ticketCount * horsesPerTicket entries, row after row

    QString description() const { return QString::fromUtf8(descriptionUtf8); }
    std::span<const std::uint8_t> row(int ticket) const // ticket 1..ticketCount
    {
        return table.subspan(std::size_t(ticket - 1) * std::size_t(horsesPerTicket), std::size_t(horsesPerTicket));
    }
};

// The system of that number, 1..kSystemCount. Any other number is a programming error.
const ReducedSystem &reducedSystem(int number);

// The texts of the system list, in display order: each is the description, 200 spaces and the
// system's number, sorted case-insensitively as the list box keeps them.
QStringList systemListItems();

// The number carried by a list item: its last three characters read as an integer, leading
// blanks allowed; -1 when they do not read as one.
int systemNumberOfItem(const QString &itemText);

// The index in the sorted list of the item of system s, or 0 (the first item) when none carries s.
int systemItemIndex(const QStringList &items, int s);

} // namespace mvx
