#pragma once

#include "support/scripted_platform.h"
#include "support/test_data.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <initializer_list>

namespace mvx::testing {

// A scripted platform that also keeps the order of beeps and messages.
class OrderedPlatform : public ScriptedPlatform
{
public:
    QStringList events;

    void beep() override
    {
        ScriptedPlatform::beep();
        events.append(QStringLiteral("beep"));
    }
    Answer message(const QString &text, const QString &title, Buttons buttons, Icon icon) override
    {
        events.append(title + QStringLiteral(": ") + text);
        return ScriptedPlatform::message(text, title, buttons, icon);
    }
};

inline QStringList notSavedEvents()
{
    return { QStringLiteral("beep"), QStringLiteral("Fichier non sauvegardé !!: Il y a eu un problème") };
}

// Bytes spelled out by hand, so that a test never checks the encoder against itself.
inline QByteArray littleEndian(std::initializer_list<std::int32_t> values)
{
    QByteArray bytes;
    for (std::int32_t v : values) {
        const auto u = std::uint32_t(v);
        bytes.append(char(u & 0xff));
        bytes.append(char((u >> 8) & 0xff));
        bytes.append(char((u >> 16) & 0xff));
        bytes.append(char((u >> 24) & 0xff));
    }
    return bytes;
}

} // namespace mvx::testing
