#pragma once

#include "model/game_state.h"
#include "model/ticket_list.h"
#include "model/work_progress.h"

#include <QIODevice>
#include <QString>

#include <cstdint>
#include <vector>

// "Ouvrir un fichier de tickets": any ticket text file, written by this program, by its
// command-line tool, by another program or by hand, becomes the current ticket list.
namespace mvx {

// What a first reading of a ticket file finds.
struct TicketFileSurvey
{
    int horsesPerTicket = 0;
    std::int64_t count = 0;
    std::vector<int> horses; // in order of first appearance; ticket letter "A" is the first
};

// The largest ticket a list holds. Horse numbers run 1..20, so a file never has more horses
// than a selection holds.
inline constexpr int kLargestOpenedTicket = kMaxLetters;

// Reads the whole file with the strict ticket reader and checks that it can become a list: tickets
// of one size (1..8), horse numbers 1..20 none repeated in a ticket, at least one ticket.
// Returns an empty text, or what is wrong and where. `progress`, when given, hears the bytes
// read (from `bytesBefore` on) and may stop the reading, which then returns an empty text with
// `stopped` set.
QString surveyTicketFile(QIODevice &in, TicketFileSurvey &survey, WorkProgress *progress = nullptr,
    std::uint64_t bytesBefore = 0, bool *stopped = nullptr);

// Reads the file again into `list`, each ticket as letters over the survey's horses. A file that
// no longer reads as surveyed is refused, as the survey refuses.
QString readSurveyedTickets(QIODevice &in, const TicketFileSurvey &survey, TicketList &list,
    WorkProgress *progress = nullptr, std::uint64_t bytesBefore = 0, bool *stopped = nullptr);

// The selection the letters of an opened list stand for: the file's horses, no bases.
Selection surveySelection(const TicketFileSurvey &survey);

} // namespace mvx
