#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <functional>
#include <memory>

namespace mvx {
class WholeFile;
}

namespace mvx::cli {

// Where a command writes its result: standard output or a named file. Every write and the
// final flush are checked, so a full disk, a closed standard output or a failing pipe end the
// tool with status 1 and a message instead of a silent success.
class Output
{
public:
    // The message shown when writing fails, from the file name (escaped; empty for standard
    // output) and the system's reason.
    using FailureMessage = std::function<QString(const QString &name, const QString &reason)>;

    explicit Output(const char *command);
    ~Output();

    // Standard output when `fileName` is empty or "-", else the file, which finish() puts in
    // place whole or not at all (see WholeFile). An unbuffered output hands each write straight
    // to the system, for callers that gather large blocks themselves. False (with the message
    // shown) when the file cannot be opened.
    bool open(const QString &fileName, bool unbuffered = false);
    void setFailureMessage(FailureMessage message) { failureMessage_ = std::move(message); }

    QIODevice &device();
    void write(const QByteArray &bytes);
    void write(const QString &text) { write(text.toUtf8()); }

    // Flushes and checks everything written and puts a file in place. Returns the exit status;
    // on a failure the message has been shown and an earlier file is as it was. `completed`
    // false marks a writer that already saw a write fail.
    int finish(bool completed = true);

private:
    int fail();

    QFile standardOutput_;
    std::unique_ptr<WholeFile> file_;
    QString fileName_; // for messages, escaped; empty for standard output
    bool failed_ = false;
    FailureMessage failureMessage_;
};

// The failure message of a ticket file, worded as the program's window words it.
QString ticketFileFailure(const QString &fileName, const QString &reason);

// Writes a whole text to standard output and checks it: the exit status.
int printToStandardOutput(const char *command, const QByteArray &text);

// Makes sure descriptors 0, 1 and 2 are taken before the tool opens a file: a closed standard
// output must fail its writes, not receive a file the tool opened for something else.
void reserveStandardDescriptors();

} // namespace mvx::cli
