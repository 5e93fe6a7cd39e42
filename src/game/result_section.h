#pragma once

#include "arrival/official_result.h"

#include <QByteArray>
#include <QByteArrayView>

#include <optional>

namespace mvx {

// Far more rapports than a race publishes; a result with more is not kept.
inline constexpr int kMostKeptRapports = 4096;

// The official result as the game file keeps it (section kOfficialResultSection): a version
// byte, the places of the arrival (a count, then per place its tied horses, counted), the
// non-runners (counted), the complément, then a little-endian uint16 count of rapports, each its
// category byte, its combination (counted, 0 for a non-runner) and its amount as a
// little-endian IEEE double. The result holds at most kMostKeptRapports rapports. Version 2 ends
// with two bytes more: the rapports' base (1 when they are given for 1 €, else 0) and the number
// of runners (1..20, 0 when not known); a result with neither is written as version 1, and a
// payload of version 1 reads as rapports for the unit stake with the runners not known.
QByteArray encodeOfficialResult(const OfficialResult &result);

// Decoding checks every field and refuses (nothing) a payload that is damaged, cut short or too
// long, of another version, or whose result has a problem (resultProblem).
std::optional<OfficialResult> decodeOfficialResult(QByteArrayView payload);

} // namespace mvx
