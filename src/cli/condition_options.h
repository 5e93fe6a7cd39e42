#pragma once

#include "combi/ticket_conditions.h"

#include <QCommandLineOption>
#include <QCommandLineParser>

#include <optional>

namespace mvx::cli {

// --group H1,H2,...:MIN-MAX (up to four times) and --sum MIN-MAX, shared by the commands that make
// or filter tickets: the conditions a ticket must meet to be kept.
class ConditionOptions
{
public:
    ConditionOptions();
    void addTo(QCommandLineParser &parser) const;

    // Reads the values as typed. Returns the exit status when one cannot be read, after saying
    // why; nothing when the command goes on. Whether they go together is the core's check.
    std::optional<int> read(const QCommandLineParser &parser, const char *command);

    const TicketConditions &conditions() const { return conditions_; }

private:
    QCommandLineOption group_;
    QCommandLineOption sum_;
    TicketConditions conditions_;
};

} // namespace mvx::cli
