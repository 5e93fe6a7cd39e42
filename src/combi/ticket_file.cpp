#include "combi/ticket_file.h"

#include <charconv>

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
    lines_ = 0;
}

bool TicketFileSink::add(std::string_view letters)
{
    if (failed_)
        return false;
    if (buffer_.size() - used_ < kLongestLine && !flush())
        return false;
    char *end = appendLine(buffer_.data() + used_, *reader_, layout_.horsesPerTicket, letters);
    used_ = std::size_t(end - buffer_.data());
    ++lines_;
    return true;
}

bool TicketFileSink::flush()
{
    std::size_t done = 0;
    while (done < used_) {
        const qint64 n = out_.write(buffer_.data() + done, qint64(used_ - done));
        if (n <= 0) {
            failed_ = true;
            return false;
        }
        done += std::size_t(n);
    }
    used_ = 0;
    return true;
}

bool TicketFileSink::finish()
{
    return !failed_ && flush();
}

namespace messages {
Message ticketFileFailed(const QString &fileName, const QString &reason)
{
    return { QStringLiteral("Impossible d'écrire les tickets dans le fichier %1 :\r%2").arg(fileName, reason),
        QStringLiteral("Fichier non sauvegardé !!") };
}
} // namespace messages

} // namespace mvx
