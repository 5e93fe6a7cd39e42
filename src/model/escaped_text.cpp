#include "model/escaped_text.h"

namespace mvx {

namespace {

constexpr char32_t kRawByteBase = 0xDC00;

bool isContinuation(unsigned char c)
{
    return (c & 0xC0) == 0x80;
}

// The length of the valid UTF-8 sequence at the start of `s` and its code point; 0 when the
// first byte does not begin one (overlong forms, surrogates and values past U+10FFFF included).
int validSequence(const unsigned char *s, qsizetype left, char32_t &code)
{
    const unsigned char c = s[0];
    if (c < 0x80) {
        code = c;
        return 1;
    }
    int length = 0;
    char32_t lowest = 0;
    if (c >= 0xC2 && c <= 0xDF) {
        length = 2;
        code = c & 0x1F;
        lowest = 0x80;
    } else if (c >= 0xE0 && c <= 0xEF) {
        length = 3;
        code = c & 0x0F;
        lowest = 0x800;
    } else if (c >= 0xF0 && c <= 0xF4) {
        length = 4;
        code = c & 0x07;
        lowest = 0x10000;
    } else {
        return 0;
    }
    if (left < length)
        return 0;
    for (int i = 1; i < length; ++i) {
        if (!isContinuation(s[i]))
            return 0;
        code = (code << 6) | (s[i] & 0x3F);
    }
    if (code < lowest || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return 0;
    return length;
}

void appendHex(QString &out, const char *prefix, char32_t value, int digits)
{
    out += QLatin1String(prefix);
    out += QString::number(uint(value), 16).rightJustified(digits, QLatin1Char('0'));
}

bool needsEscape(char32_t c)
{
    if (c < 0x20 || (c >= 0x7F && c <= 0x9F))
        return true;
    switch (QChar::category(c)) {
    case QChar::Other_Format:
    case QChar::Separator_Line:
    case QChar::Separator_Paragraph:
    case QChar::Other_Surrogate:
        return true;
    default:
        return false;
    }
}

} // namespace

QString decodeBytes(QByteArrayView bytes)
{
    QString text;
    text.reserve(bytes.size());
    const auto *s = reinterpret_cast<const unsigned char *>(bytes.data());
    for (qsizetype i = 0; i < bytes.size();) {
        char32_t code = 0;
        const int length = validSequence(s + i, bytes.size() - i, code);
        if (length == 0) {
            text += QChar(char16_t(kRawByteBase + s[i]));
            ++i;
            continue;
        }
        if (code < 0x10000) {
            text += QChar(char16_t(code));
        } else {
            text += QChar(QChar::highSurrogate(code));
            text += QChar(QChar::lowSurrogate(code));
        }
        i += length;
    }
    return text;
}

QByteArray encodeBytes(QStringView text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text[i].unicode();
        if (QChar::isHighSurrogate(u) && i + 1 < text.size() && QChar::isLowSurrogate(text[i + 1].unicode())) {
            bytes += text.mid(i, 2).toUtf8();
            ++i;
        } else if (u >= kRawByteBase + 0x80 && u <= kRawByteBase + 0xFF) {
            bytes += char(u - kRawByteBase);
        } else {
            bytes += QString(QChar(u)).toUtf8();
        }
    }
    return bytes;
}

QString escapedText(QStringView text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text[i].unicode();
        char32_t code = u;
        const bool pair
            = QChar::isHighSurrogate(u) && i + 1 < text.size() && QChar::isLowSurrogate(text[i + 1].unicode());
        if (pair)
            code = QChar::surrogateToUcs4(u, text[i + 1].unicode());
        if (!pair && u >= kRawByteBase + 0x80 && u <= kRawByteBase + 0xFF) {
            appendHex(out, "\\x", u - kRawByteBase, 2);
        } else if (code == U'\\') {
            out += QLatin1String("\\\\");
        } else if (code < 0x80 && needsEscape(code)) {
            appendHex(out, "\\x", code, 2);
        } else if (needsEscape(code)) {
            out += QLatin1String("\\u{");
            out += QString::number(uint(code), 16);
            out += QLatin1Char('}');
        } else {
            out += text.mid(i, pair ? 2 : 1);
        }
        if (pair)
            ++i;
    }
    return out;
}

} // namespace mvx
