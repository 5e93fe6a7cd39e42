#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace mvx {

// Bytes from outside (a command-line argument, a line of a file) as text, losing nothing: valid
// UTF-8 is decoded, and every byte that is not part of a valid sequence becomes the lone surrogate
// U+DC00 + byte, which no valid text holds. encodeBytes gives the very same bytes back, so a file
// name that is not UTF-8 still opens the file it names.
QString decodeBytes(QByteArrayView bytes);
QByteArray encodeBytes(QStringView text);

// Text from outside made safe to quote in a message shown on a terminal or in a box: control
// characters (line ends, escape sequences, DEL), invisible format characters (direction marks)
// and line separators as \xNN or \u{NNNN}, bytes that were not UTF-8 (see decodeBytes) as \xNN,
// and the backslash doubled so that every escape reads one way.
QString escapedText(QStringView text);
inline QString escapedText(QByteArrayView bytes)
{
    return escapedText(decodeBytes(bytes));
}

} // namespace mvx
