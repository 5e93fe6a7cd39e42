#pragma once

#include <QIODevice>
#include <QString>

#include <functional>
#include <span>

namespace mvx {

// Reads a ticket text file: one ticket per line, each horse number followed by a comma ("7,3,12,"),
// lines ending in CR LF or LF; blank lines are skipped. Calls `ticket` with the horses of each line;
// it returns false to stop. Returns an empty text, or what is wrong and on which line.
QString readTicketText(QIODevice &in, const std::function<bool(std::span<const int>)> &ticket);

} // namespace mvx
