#include "cli/output.h"

#include "cli/command.h"

#include "combi/ticket_file.h"
#include "model/escaped_text.h"
#include "model/system_reason.h"

#include <csignal>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

namespace mvx::cli {

namespace {

// Whether standard output is a pipe whose reader has gone (`marovellix-cli tickets … | head -1`).
bool standardOutputReaderGone()
{
    pollfd out { STDOUT_FILENO, POLLOUT, 0 };
    return ::poll(&out, 1, 0) == 1 && (out.revents & POLLERR) != 0;
}

} // namespace

void endByBrokenPipe()
{
    // As a Unix tool ends when its reader goes away: quietly, by the pipe's signal, even where
    // the signal was ignored or blocked by whoever started the tool.
    std::signal(SIGPIPE, SIG_DFL);
    sigset_t pipe;
    sigemptyset(&pipe);
    sigaddset(&pipe, SIGPIPE);
    pthread_sigmask(SIG_UNBLOCK, &pipe, nullptr);
    std::raise(SIGPIPE);
    std::_Exit(kExitFailure);
}

Output::Output(const char *command)
    : failureMessage_([command](const QString &fileName, const QString &reason) {
        const QString who
            = QString::fromLatin1(kProgram) + (*command ? QLatin1Char(' ') + QLatin1String(command) : QString());
        const QString where = fileName.isEmpty() ? QStringLiteral("la sortie standard") : fileName;
        return QStringLiteral("%1 : impossible d'écrire dans %2 : %3").arg(who, where, frenchSystemReason(reason));
    })
{ }

Output::~Output() = default;

bool Output::open(const QString &fileName, bool unbuffered)
{
    const QIODevice::OpenMode mode
        = QIODevice::WriteOnly | (unbuffered ? QIODevice::Unbuffered : QIODevice::OpenMode());
    const bool toStandardOutput = fileName.isEmpty() || fileName == QLatin1String("-");
    fileName_ = toStandardOutput ? QString() : escapedText(fileName);
    // By descriptor, not through stdio: every write reaches the system and its error comes back.
    // A named file is opened with the bytes the shell gave, whatever their encoding.
    bool opened = false;
    if (toStandardOutput) {
        opened = standardOutput_.open(STDOUT_FILENO, mode);
    } else {
        file_ = std::make_unique<WholeFile>(fileNameBytes(fileName));
        opened = file_->open(mode);
    }
    if (!opened)
        fail();
    return opened;
}

QIODevice &Output::device()
{
    return file_ ? static_cast<QIODevice &>(file_->device()) : standardOutput_;
}

void Output::write(const QByteArray &bytes)
{
    if (!failed_ && device().write(bytes) != bytes.size())
        failed_ = true;
}

int Output::finish(bool completed)
{
    if (failed_ || !completed)
        return fail();
    if (file_ ? !file_->commit() : !standardOutput_.flush() || standardOutput_.error() != QFileDevice::NoError)
        return fail();
    return kExitOk;
}

int Output::fail()
{
    failed_ = true;
    if (!file_ && standardOutputReaderGone())
        endByBrokenPipe();
    const QString reason = file_ ? file_->errorString() : standardOutput_.errorString();
    // Nothing of a file that failed takes the place of the earlier one.
    if (file_)
        file_->discard();
    printError(failureMessage_(fileName_, reason));
    return kExitFailure;
}

int printToStandardOutput(const char *command, const QByteArray &text)
{
    Output out(command);
    if (!out.open(QString()))
        return kExitFailure;
    out.write(text);
    return out.finish();
}

void reserveStandardDescriptors()
{
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
        if (fcntl(fd, F_GETFD) != -1)
            continue;
        // Read-only: a write to a standard output that was closed still fails.
        const int taken = ::open("/dev/null", O_RDONLY);
        if (taken >= 0 && taken != fd) {
            ::dup2(taken, fd);
            ::close(taken);
        }
    }
}

QString ticketFileFailure(const QString &fileName, const QString &reason)
{
    return messages::ticketFileFailed(fileName.isEmpty() ? QStringLiteral("(sortie standard)") : fileName, reason).text;
}

bool HeldOutput::open(const QString &inputName)
{
    if (file_.open())
        return true;
    printError(QStringLiteral("Impossible de créer un fichier temporaire pour %1 : %2")
                   .arg(inputName, frenchSystemReason(file_.errorString())));
    return false;
}

bool HeldOutput::write(const char *data, qint64 size)
{
    if (!failed_)
        failed_ = file_.write(data, size) != size;
    return !failed_;
}

bool HeldOutput::complete()
{
    if (failed_ || !file_.flush() || !file_.seek(0)) {
        printError(QStringLiteral("Impossible de garder le résultat dans un fichier temporaire : %1")
                       .arg(frenchSystemReason(file_.errorString())));
        return false;
    }
    return true;
}

int HeldOutput::release(const char *command, const QByteArray &tail)
{
    Output out(command);
    if (!out.open(QString(), true))
        return kExitFailure;
    QByteArray block(qsizetype(1) << 20, Qt::Uninitialized);
    for (;;) {
        const qint64 got = file_.read(block.data(), block.size());
        if (got < 0) {
            printError(QStringLiteral("Impossible de relire le résultat gardé dans un fichier temporaire : %1")
                           .arg(frenchSystemReason(file_.errorString())));
            return kExitFailure;
        }
        if (got == 0)
            break;
        out.write(QByteArray::fromRawData(block.constData(), got));
    }
    if (!tail.isEmpty())
        out.write(tail);
    return out.finish();
}

} // namespace mvx::cli
