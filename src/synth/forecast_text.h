#pragma once

#include <QIODevice>
#include <QString>

#include <functional>
#include <span>

namespace mvx {

// The longest forecast line read, line end excepted: twenty horses leave room for any blanks.
constexpr qsizetype kLongestForecastLine = 1024;

// What reading a forecast text gave.
struct ForecastTextRead
{
    // Empty when every line was read; else, in French, the line number and what is wrong, the
    // text quoted with its control bytes escaped.
    QString error;
    // The error is the device's (the file could not be read), not the text's.
    bool readFailed = false;
    int forecasts = 0;

    bool ok() const { return error.isEmpty(); }
};

// Reads forecasts, one per line: the horse numbers in position order separated by commas or
// blanks, each a whole number from 0 (no horse) to `horseCount`, at most `positions` of them;
// blank lines are skipped, lines end in LF or CR LF. A line longer than kLongestForecastLine
// and a forecast past `mostForecasts` are refused as soon as they are met, so the reading holds
// one line at a time whatever the input. Calls `forecast` with each forecast's horses.
ForecastTextRead readForecastText(QIODevice &in, int positions, int horseCount, int mostForecasts,
    const std::function<void(std::span<const int>)> &forecast);

} // namespace mvx
