#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryFile>

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

// A command's result held in a temporary file until its whole input has been read and checked,
// so that a refused input leaves standard output empty whatever the input's size.
class HeldOutput
{
public:
    // False, with the message shown, when no temporary file can be made; `inputName` names
    // what is being read, for that message.
    bool open(const QString &inputName);
    // False once a write has failed; the failure is reported by release().
    bool write(const char *data, qint64 size);
    bool write(const QByteArray &bytes) { return write(bytes.constData(), bytes.size()); }
    // True when everything written is held, ready to go out.
    bool complete();
    // Sends everything held, then `tail`, to standard output: the exit status.
    int release(const char *command, const QByteArray &tail = QByteArray());

private:
    QTemporaryFile file_;
    bool failed_ = false;
};

// The failure message of a ticket file, worded as the program's window words it.
QString ticketFileFailure(const QString &fileName, const QString &reason);

// Writes a whole text to standard output and checks it: the exit status.
int printToStandardOutput(const char *command, const QByteArray &text);

// Ends the tool as a Unix tool ends when the reader of its output goes away: killed, quietly,
// by SIGPIPE.
[[noreturn]] void endByBrokenPipe();

// Makes sure descriptors 0, 1 and 2 are taken before the tool opens a file: a closed standard
// output must fail its writes, not receive a file the tool opened for something else.
void reserveStandardDescriptors();

} // namespace mvx::cli
