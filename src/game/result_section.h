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
// little-endian IEEE double; version 2, for rapports given for 1 €,
// ends with a byte 1. The result holds at most kMostKeptRapports rapports.
QByteArray encodeOfficialResult(const OfficialResult &result);

// Decoding checks every field and refuses (nothing) a payload that is damaged, cut short or too
// long, of another version, or whose result has a problem (resultProblem).
std::optional<OfficialResult> decodeOfficialResult(QByteArrayView payload);

} // namespace mvx
