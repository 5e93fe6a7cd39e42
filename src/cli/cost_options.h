#pragma once

#include "model/bet.h"

#include <QCommandLineOption>
#include <QCommandLineParser>

#include <cstdint>
#include <optional>

namespace mvx::cli {

// --cost, --stake and --multiplier, shared by the commands that make tickets: the cost of the
// game (tickets × unit stake × multiplier) on standard error. A stake or a multiplier given
// alone asks for the cost too.
class CostOptions
{
public:
    CostOptions();
    void addTo(QCommandLineParser &parser) const;

    // Reads the values for tickets of that many horses, played as `bet` (without it, as the bet
    // their size gives). Returns the exit status when they are wrong, after saying why; nothing
    // when the command goes on.
    std::optional<int> read(const QCommandLineParser &parser, const char *command, int horsesPerTicket,
        std::optional<Bet> bet = std::nullopt);

    bool wanted() const { return wanted_; }
    // The cost line on standard error; false (after saying so) when the cost does not fit.
    bool print(std::int64_t tickets) const;

private:
    QCommandLineOption cost_;
    QCommandLineOption stake_;
    QCommandLineOption multiplier_;
    bool wanted_ = false;
    std::int64_t stakeCents_ = 0;
    std::int64_t multiplierValue_ = 1;
};

} // namespace mvx::cli
