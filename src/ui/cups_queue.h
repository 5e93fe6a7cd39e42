#pragma once

#include <QString>
#include <QStringList>

#include <functional>

namespace mvx::cups {

// Small questions to the print system, each on a connection of its own that gives up after
// `timeoutMs` (or as soon as `stopped` says so): a server that accepts a connection and never
// answers must not hold the window. Only this unit speaks to the print system directly.

enum class Answer
{
    Answered, // the server answered the question
    Absent, // no server: nothing listens where the print system is looked for
    Silent, // a server is there but gave no answer in time, or went away in the middle
    Refused // the server answered with an error (an unknown queue, say)
};

// The print queues the server knows.
struct Printers
{
    Answer answer = Answer::Absent;
    QStringList names;
};
Printers listPrinters(int timeoutMs, const std::function<bool()> &stopped = {});

// Whether a queue takes jobs, and the highest job number of this user on it so far, so that a
// job sent afterwards can be told from the earlier ones.
struct QueueState
{
    Answer answer = Answer::Absent;
    bool accepting = false;
    int lastJobId = 0;
};
QueueState queueState(const QString &queue, int timeoutMs);

// Whether a job of this user titled `title` with a number above `afterJobId` exists on the
// queue, whatever its state (held, printing, printed). Answered with `found` set or not.
struct JobSearch
{
    Answer answer = Answer::Absent;
    bool found = false;
};
JobSearch findJob(const QString &queue, int afterJobId, const QString &title, int timeoutMs);

// The queue's name without the instance a destination may add ("pdf/brouillon").
QString queueName(const QString &destination);

} // namespace mvx::cups
