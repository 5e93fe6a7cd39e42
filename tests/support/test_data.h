#pragma once

#include "combi/selection.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#include <initializer_list>

namespace mvx::testing {

// The selection boxes c1.. holding these texts, the rest empty.
inline SelectionBoxes selectionBoxes(std::initializer_list<const char *> texts)
{
    SelectionBoxes boxes;
    std::size_t i = 0;
    for (const char *t : texts)
        boxes[i++] = QString::fromUtf8(t);
    return boxes;
}

inline void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        qFatal("cannot write the test file %s", qPrintable(path));
}

inline QByteArray readBytes(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray("<unreadable>");
    return file.readAll();
}

} // namespace mvx::testing
