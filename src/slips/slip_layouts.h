#pragma once

#include <QString>

#include <array>
#include <vector>

namespace mvx {

// A place on a betting slip, in centimetres from the sheet's physical top-left corner.
struct SlipPosition
{
    double x = 0;
    double y = 0;
};

// The geometry of one pre-printed slip type, in centimetres.
struct SlipLayout
{
    QString name; // as the print dialog lists it
    double horseOriginX; // box of horse 1
    double horseOriginY; // row of the first position of the first ticket on the slip
    double horseStepX; // from one horse number's box to the next
    double positionStepY; // from one position of a ticket to the next (0: one row per ticket)
    double ticketStepY; // from one ticket to the next on the same slip
    int ticketsPerSlip;
};

constexpr int kSlipTypeCount = 5;

// The five slip types, slip type 1 first: the order of the print dialog's list.
const std::array<SlipLayout, kSlipTypeCount> &slipLayouts();
// The layout of slip type 1..5.
const SlipLayout &slipLayout(int slipType);

// The boxes a run may mark besides the horses. A value of 0 means "not chosen".
struct FixedBoxChoice
{
    int betType = 0; // 3 tiercé, 4 quarté+, 5 quinté+
    int meetingNumber = 0; // 1..8
    int stakeMultiplier = 0; // 1, 2, 3, 4, 5, 10, 20
};

// The fixed marks of one ticket, in the order they are drawn: the bet type (or the meeting
// number on slip type 2), then the stake multiplier. A value the slip type has no box for
// gives no mark; slip types 4 and 5 have no fixed boxes at all.
std::vector<SlipPosition> fixedMarks(int slipType, const FixedBoxChoice &choice);

// Where the mark of `horse` (1..20) at `position` of the ticket in place `place` (1-based) of
// the slip goes.
SlipPosition horseMark(const SlipLayout &layout, int horse, int position, int place);

} // namespace mvx
