#include "print/print_failure.h"

namespace mvx {

namespace {

// A reason is shown as a sentence of its own: capital first letter, full stop at the end.
QString sentence(QString text)
{
    text = text.trimmed();
    if (text.isEmpty())
        return text;
    text[0] = text[0].toUpper();
    if (!text.endsWith(QLatin1Char('.')) && !text.endsWith(QLatin1Char('!')) && !text.endsWith(QLatin1Char('?')))
        text += QLatin1Char('.');
    return text;
}

} // namespace

QString printFailureText(
    const QString &document, const QString &destination, const QString &reason, const QString &done)
{
    QString text = QStringLiteral("L'impression %1 a échoué sur %2.").arg(document, destination);
    for (const QString &more : { sentence(reason), sentence(done) })
        if (!more.isEmpty())
            text += QLatin1Char('\r') + more;
    return text;
}

QString printFailureTitle()
{
    return QStringLiteral("Problème !!");
}

void reportPrintFailure(Platform &platform, const QString &document, const PrintSurface &surface, const QString &done)
{
    platform.message(printFailureText(document, surface.destination(), surface.failureReason(), done),
        printFailureTitle(), Platform::Buttons::Ok, Platform::Icon::Warning);
}

} // namespace mvx
