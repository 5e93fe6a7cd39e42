#include "model/line_reader.h"

#include <cstring>

namespace mvx {

namespace {

constexpr qsizetype kBlock = qsizetype(1) << 16;

QByteArrayView withoutCarriageReturn(const char *begin, const char *end)
{
    if (end > begin && end[-1] == '\r')
        --end;
    return QByteArrayView(begin, end - begin);
}

} // namespace

LineReader::LineReader(QIODevice &in, qsizetype longestLine)
    : in_(in)
    , longestLine_(longestLine)
    , buffer_(kBlock + longestLine + 2, Qt::Uninitialized)
{ }

LineReader::Status LineReader::next(QByteArrayView &line)
{
    for (;;) {
        const char *begin = buffer_.constData() + start_;
        // A line of the limit may still carry a CR before its LF.
        const qsizetype window = std::min(end_ - start_, longestLine_ + 2);
        if (const void *lf = std::memchr(begin, '\n', std::size_t(window))) {
            const char *stop = static_cast<const char *>(lf);
            line = withoutCarriageReturn(begin, stop);
            if (line.size() > longestLine_) {
                line = QByteArrayView(begin, longestLine_);
                ++lineNumber_;
                return Status::TooLong;
            }
            start_ = stop + 1 - buffer_.constData();
            ++lineNumber_;
            return Status::Line;
        }
        if (end_ - start_ > longestLine_ + 1) {
            line = QByteArrayView(begin, longestLine_);
            ++lineNumber_;
            return Status::TooLong;
        }
        if (atEnd_) {
            if (start_ == end_)
                return Status::End;
            line = withoutCarriageReturn(begin, buffer_.constData() + end_);
            ++lineNumber_;
            if (line.size() > longestLine_) {
                line = QByteArrayView(begin, longestLine_);
                return Status::TooLong;
            }
            start_ = end_;
            return Status::LastLine;
        }
        // Keep the part of a line already read, then fill the block behind it.
        std::memmove(buffer_.data(), begin, std::size_t(end_ - start_));
        end_ -= start_;
        start_ = 0;
        const qint64 got = in_.read(buffer_.data() + end_, buffer_.size() - end_);
        if (got < 0)
            return Status::ReadFailed;
        if (got == 0)
            atEnd_ = true;
        end_ += got;
    }
}

} // namespace mvx
