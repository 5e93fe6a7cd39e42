#include "cli/output.h"

#include "cli/command.h"

#include "combi/ticket_file.h"
#include "model/escaped_text.h"
#include "model/system_reason.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

namespace mvx::cli {

Output::Output(const char *command)
    : failureMessage_([command](const QString &fileName, const QString &reason) {
        const QString who
            = QString::fromLatin1(kProgram) + (*command ? QLatin1Char(' ') + QLatin1String(command) : QString());
        const QString where = fileName.isEmpty() ? QStringLiteral("la sortie standard") : fileName;
        return QStringLiteral("%1 : impossible d'écrire dans %2 : %3").arg(who, where, frenchSystemReason(reason));
    })
{ }

bool Output::open(const QString &fileName, bool unbuffered)
{
    const QIODevice::OpenMode mode
        = QIODevice::WriteOnly | (unbuffered ? QIODevice::Unbuffered : QIODevice::OpenMode());
    toStandardOutput_ = fileName.isEmpty() || fileName == QLatin1String("-");
    // By descriptor, not through stdio: every write reaches the system and its error comes back.
    // A named file is opened with the bytes the shell gave, whatever their encoding.
    bool opened = false;
    if (toStandardOutput_) {
        opened = file_.open(STDOUT_FILENO, mode);
    } else {
        shownName_ = escapedText(fileName);
        const int fd = ::open(fileNameBytes(fileName).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
        if (fd < 0) {
            failed_ = true;
            printError(failureMessage_(shownName_, QString::fromLocal8Bit(std::strerror(errno))));
            return false;
        }
        opened = file_.open(fd, mode, QFileDevice::AutoCloseHandle);
    }
    if (!opened)
        fail();
    return opened;
}

void Output::write(const QByteArray &bytes)
{
    if (!failed_ && file_.write(bytes) != bytes.size())
        failed_ = true;
}

int Output::finish(bool completed)
{
    if (failed_ || !completed || !file_.flush() || file_.error() != QFileDevice::NoError)
        return fail();
    return kExitOk;
}

int Output::fail()
{
    failed_ = true;
    printError(failureMessage_(toStandardOutput_ ? QString() : shownName_, file_.errorString()));
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

} // namespace mvx::cli
