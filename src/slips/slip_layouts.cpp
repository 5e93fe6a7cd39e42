#include "slips/slip_layouts.h"

#include <initializer_list>
#include <optional>
#include <utility>

namespace mvx {

namespace {

// (value, X) pairs of one row of boxes.
using BoxRow = std::initializer_list<std::pair<int, double>>;

std::optional<SlipPosition> boxOf(BoxRow row, double y, int value)
{
    for (const auto &[boxValue, x] : row)
        if (boxValue == value)
            return SlipPosition { x, y };
    return std::nullopt;
}

std::optional<SlipPosition> betTypeBox(int slipType, int betType)
{
    switch (slipType) {
    case 1:
        // The tiercé box stands apart from the quarté+ and quinté+ boxes.
        if (betType == 3)
            return SlipPosition { 6.2, 2.9 };
        if (betType == 4)
            return SlipPosition { 3.6, 3.6 };
        if (betType == 5)
            return SlipPosition { 3.6, 2.9 };
        return std::nullopt;
    case 3:
        return boxOf({ { 3, 4.8 }, { 4, 3.3 }, { 5, 1.8 } }, 4.2, betType);
    default:
        return std::nullopt;
    }
}

std::optional<SlipPosition> meetingBox(int slipType, int meetingNumber)
{
    if (slipType != 2)
        return std::nullopt;
    return boxOf({ { 1, 1.3 }, { 2, 1.9 }, { 3, 2.4 }, { 4, 2.8 }, { 5, 3.4 }, { 6, 3.9 }, { 7, 4.35 }, { 8, 4.9 } },
        3.6, meetingNumber);
}

std::optional<SlipPosition> stakeBox(int slipType, int stakeMultiplier)
{
    switch (slipType) {
    case 1:
        return boxOf({ { 1, 3.65 }, { 2, 4.1 }, { 3, 4.5 }, { 4, 4.95 }, { 5, 5.4 }, { 10, 5.8 }, { 20, 6.25 } }, 4.8,
            stakeMultiplier);
    case 2:
    case 3:
        // Slip types 2 and 3 share the columns of their stake boxes, on different rows.
        return boxOf({ { 1, 0.8 }, { 2, 1.3 }, { 3, 1.8 }, { 4, 2.3 }, { 5, 2.8 }, { 10, 3.0 }, { 20, 3.8 } },
            slipType == 2 ? 6.9 : 6.7, stakeMultiplier);
    default:
        return std::nullopt;
    }
}

} // namespace

const std::array<SlipLayout, kSlipTypeCount> &slipLayouts()
{
    // The names are printed on the slips' own headings, spaces and dashes as they stand.
    static const std::array<SlipLayout, kSlipTypeCount> layouts { {
        { QStringLiteral("Tiercé, Quarté+, Quinté+ - 2011"), 8.1, 2.25, 0.41, 0.63, 0, 1 },
        { QStringLiteral("Quarté+ Régional"), 7.6, 2.35, 0.5, 0.65, 0, 1 },
        { QStringLiteral("Ticket Valeur 2011- Tiercé, Quarté+, Quinté+"), 7.98, 2.18, 0.42, 0.64, 0, 1 },
        { QStringLiteral("Ticket Simple , Couplé , Trio - 2011"), 8.8, 3.1, 0.4, 0, 3.2, 2 },
        { QStringLiteral("Quinté+ Flexi"), 8.38, 1.2, 0.399, 0.644, 0, 1 },
    } };
    return layouts;
}

const SlipLayout &slipLayout(int slipType)
{
    return slipLayouts()[std::size_t(slipType - 1)];
}

std::vector<SlipPosition> fixedMarks(int slipType, const FixedBoxChoice &choice)
{
    std::vector<SlipPosition> marks;
    const std::optional<SlipPosition> first
        = slipType == 2 ? meetingBox(slipType, choice.meetingNumber) : betTypeBox(slipType, choice.betType);
    if (first)
        marks.push_back(*first);
    if (const std::optional<SlipPosition> stake = stakeBox(slipType, choice.stakeMultiplier))
        marks.push_back(*stake);
    return marks;
}

SlipPosition horseMark(const SlipLayout &layout, int horse, int position, int place)
{
    return { layout.horseOriginX + layout.horseStepX * (horse - 1),
        layout.horseOriginY + layout.positionStepY * (position - 1) + layout.ticketStepY * (place - 1) };
}

} // namespace mvx
