#pragma once

#include "model/bet.h"

#include <QCommandLineOption>
#include <QCommandLineParser>

#include <optional>

namespace mvx::cli {

// --bet NAME, shared by the commands that make, cost or judge tickets: the bet the tickets are
// played as. Without it the tickets' size decides, as it always did.
class BetOption
{
public:
    BetOption();
    void addTo(QCommandLineParser &parser) const;

    // Reads the name. Returns the exit status when it names no bet, after saying why; nothing
    // when the command goes on.
    std::optional<int> read(const QCommandLineParser &parser, const char *command);

    // The bet named, none without --bet.
    std::optional<Bet> named() const { return bet_; }
    // The bet tickets of that many horses are played as: the one named, else the one their
    // size gave before bets were chosen (none for a size without one).
    std::optional<Bet> betFor(int horsesPerTicket) const;

    // Refuses tickets of another size than the bet named: the exit status after saying why;
    // nothing when they fit or no bet was named.
    std::optional<int> checkTickets(const char *command, int horsesPerTicket) const;

private:
    QCommandLineOption option_;
    std::optional<Bet> bet_;
};

// The names --bet takes, as the help lists them: "couple, couple-gagnant, …".
QString betNamesText();

} // namespace mvx::cli
