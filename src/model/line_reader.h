#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QIODevice>

#include <cstdint>

namespace mvx {

// Reads a device one line at a time, holding at most one block and one line whatever the input
// (a file of one endless line, /dev/zero): a line longer than the limit is reported as such
// instead of being gathered.
class LineReader
{
public:
    enum class Status
    {
        Line, // a line and its LF (a CR before the LF is taken off as well)
        LastLine, // the last bytes of the input, without an LF (a final CR is taken off)
        TooLong, // the line has more than `longestLine` bytes: its first `longestLine` are given
        End, // nothing more to read
        ReadFailed, // the device failed: its errorString() says why
    };

    LineReader(QIODevice &in, qsizetype longestLine);

    // The next line, valid until the next call.
    Status next(QByteArrayView &line);
    // The number of the line last given, from 1.
    std::int64_t lineNumber() const { return lineNumber_; }

private:
    QIODevice &in_;
    qsizetype longestLine_;
    QByteArray buffer_;
    qsizetype start_ = 0; // first byte not given yet
    qsizetype end_ = 0; // end of the bytes read
    bool atEnd_ = false;
    std::int64_t lineNumber_ = 0;
};

} // namespace mvx
