#include "combi/ticket_file.h"

#include "model/system_reason.h"

#include <QFileDevice>

#include <algorithm>
#include <charconv>

#if defined(Q_OS_UNIX)
#include <unistd.h>
#endif

namespace mvx {

namespace {

constexpr std::size_t kBufferSize = std::size_t(1) << 20;
// Room for the longest line: 8 numbers of any int32 value, each followed by a comma, then CR LF.
constexpr std::size_t kLongestLine = 8 * 12 + 2;

char *appendLine(char *out, const TicketReader &reader, int horsesPerTicket, std::string_view letters)
{
    for (int p = 1; p <= horsesPerTicket; ++p) {
        const int horse = reader.horse(letters, p);
        if (horse >= 0 && horse < 10) {
            *out++ = char('0' + horse);
        } else if (horse >= 10 && horse < 100) {
            *out++ = char('0' + horse / 10);
            *out++ = char('0' + horse % 10);
        } else {
            out = std::to_chars(out, out + 11, horse).ptr;
        }
        *out++ = ',';
    }
    *out++ = '\r';
    *out++ = '\n';
    return out;
}

} // namespace

TicketFileSink::TicketFileSink(const Selection &selection, QIODevice &out)
    : selection_(selection)
    , out_(out)
{
    buffer_.resize(kBufferSize);
}

TicketFileSink::~TicketFileSink() = default;

void TicketFileSink::begin(const TicketLayout &layout, std::uint64_t)
{
    layout_ = layout;
    reader_.emplace(selection_, layout_);
    used_ = 0;
    linesBuffered_ = 0;
    linesWritten_ = 0;
    bytesWritten_ = out_.pos();
}

bool TicketFileSink::add(std::string_view letters)
{
    if (failed_)
        return false;
    if (buffer_.size() - used_ < kLongestLine && !flush())
        return false;
    char *end = appendLine(buffer_.data() + used_, *reader_, layout_.horsesPerTicket, letters);
    used_ = std::size_t(end - buffer_.data());
    ++linesBuffered_;
    return true;
}

bool TicketFileSink::flush()
{
    std::size_t done = 0;
    while (done < used_) {
        const qint64 n = out_.write(buffer_.data() + done, qint64(used_ - done));
        if (n <= 0) {
            keepWholeLines(done);
            failed_ = true;
            return false;
        }
        done += std::size_t(n);
    }
    bytesWritten_ += qint64(used_);
    linesWritten_ += linesBuffered_;
    used_ = 0;
    linesBuffered_ = 0;
    return true;
}

// A full disk may take part of a block: what it took past the last line end is cut off again,
// so that the file holds complete tickets only.
void TicketFileSink::keepWholeLines(std::size_t bytesWritten)
{
    const char *begin = buffer_.data();
    std::size_t whole = bytesWritten;
    while (whole > 0 && begin[whole - 1] != '\n')
        --whole;
    linesWritten_ += std::count(begin, begin + whole, '\n');
    bytesWritten_ += qint64(whole);
    auto *file = qobject_cast<QFileDevice *>(&out_);
    if (whole == bytesWritten || !file)
        return;
#if defined(Q_OS_UNIX)
    // Through the handle: QFileDevice::resize() would clear the write error the caller reports.
    if (file->handle() >= 0) {
        [[maybe_unused]] const int cut = ::ftruncate(file->handle(), bytesWritten_);
    }
#else
    file->resize(bytesWritten_);
#endif
}

bool TicketFileSink::finish()
{
    return !failed_ && flush();
}

namespace messages {
Message ticketFileFailed(const QString &fileName, const QString &reason)
{
    return { QStringLiteral("Impossible d'écrire les tickets dans le fichier %1 :\r%2")
                 .arg(fileName, frenchSystemReason(reason)),
        QStringLiteral("Fichier non sauvegardé !!") };
}
} // namespace messages

} // namespace mvx
