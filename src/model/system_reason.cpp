#include "model/system_reason.h"

#include <QCoreApplication>

#if defined(Q_OS_UNIX)
#include <clocale>
#include <cstring>
#include <locale.h>
#endif

namespace mvx {

namespace {

#if defined(Q_OS_UNIX)
// A locale whose messages are French, or 0 when the system has none.
locale_t frenchMessages()
{
    static const locale_t french = [] {
        for (const char *name :
            { "fr_FR.UTF-8", "fr_FR.utf8", "fr_BE.UTF-8", "fr_CA.UTF-8", "fr_CH.UTF-8", "fr_LU.UTF-8" }) {
            if (const locale_t found = newlocale(LC_MESSAGES_MASK | LC_CTYPE_MASK, name, locale_t(0)))
                return found;
        }
        return locale_t(0);
    }();
    return french;
}

// Whether `reason` is the C library's text for the error `code`, in the program's language (as
// Qt's error texts are) or in the library's own English (as Qt writes a few itself).
bool isErrorText(const QString &reason, int code)
{
    static const locale_t plain = newlocale(LC_ALL_MASK, "C", locale_t(0));
    return QString::fromLocal8Bit(std::strerror(code)).trimmed() == reason
        || (plain && QString::fromUtf8(strerror_l(code, plain)).trimmed() == reason);
}
#endif

} // namespace

QString frenchSystemReason(const QString &reason)
{
    // Qt writes four reasons itself in English ("No space left on device"...) and lists them
    // for translation under this context.
    if (QCoreApplication::instance()) {
        const QByteArray source = reason.toUtf8();
        const QString translated = QCoreApplication::translate("QIODevice", source.constData());
        if (translated != reason)
            return translated;
    }
#if defined(Q_OS_UNIX)
    if (const locale_t french = frenchMessages()) {
        for (int code = 1; code < 256; ++code) {
            if (isErrorText(reason, code))
                return QString::fromUtf8(strerror_l(code, french)).trimmed();
        }
    }
#endif
    return reason;
}

} // namespace mvx
