// What the reader fuzz targets share: a device that hands its bytes over in small pieces, so that
// lines straddle reads, and the checks every message must pass.
#pragma once

#include <QIODevice>
#include <QString>

#include <algorithm>
#include <cstring>

#include <cstdio>
#include <cstdlib>

namespace fuzz {

inline void require(bool condition, const char *what)
{
    if (!condition) {
        std::fprintf(stderr, "broken: %s\n", what);
        std::abort();
    }
}

// A read-only device over bytes that gives at most `piece` bytes per read, as a pipe does.
class TrickleDevice : public QIODevice
{
public:
    TrickleDevice(QByteArrayView bytes, qint64 piece)
        : bytes_(bytes)
        , piece_(piece)
    {
        open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    }
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        const qint64 n = std::min({ maxSize, piece_, qint64(bytes_.size()) - at_ });
        std::memcpy(data, bytes_.data() + at_, std::size_t(n));
        at_ += n;
        return n;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    QByteArrayView bytes_;
    qint64 piece_;
    qint64 at_ = 0;
};

// A message shown on a terminal holds no control character, whatever it quotes.
inline void requireTerminalSafe(const QString &text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text[i].unicode();
        require(u >= 0x20 && !(u >= 0x7F && u <= 0x9F), "no control character in a message");
        if (QChar::isHighSurrogate(u)) {
            require(i + 1 < text.size() && QChar::isLowSurrogate(text[i + 1].unicode()), "surrogates in pairs");
            ++i;
        } else {
            require(!QChar::isLowSurrogate(u), "no raw byte in a message");
        }
    }
}

} // namespace fuzz
