#include "model/system_reason.h"

#include <QCoreApplication>

#include <cerrno>

#if defined(Q_OS_UNIX)
#include <clocale>
#include <cstring>
#include <locale.h>
#endif

namespace mvx {

namespace {

// The reasons a file operation commonly fails for, in French. Most systems have no French
// locale generated (a Debian install without "locales" has none), so the program carries its
// own texts rather than depend on the C library's translations.
struct OwnText
{
    int code;
    const char *text;
};

const OwnText kOwnTexts[] = {
    { EPERM, "Opération non permise" },
    { ENOENT, "Aucun fichier ou dossier de ce nom" },
    { EINTR, "Appel système interrompu" },
    { EIO, "Erreur d'entrée ou de sortie" },
    { ENXIO, "Aucun périphérique ou adresse de ce nom" },
    { EBADF, "Mauvais descripteur de fichier" },
    { EAGAIN, "Ressource temporairement indisponible" },
    { ENOMEM, "Mémoire insuffisante" },
    { EACCES, "Permission refusée" },
    { EBUSY, "Périphérique ou ressource occupé" },
    { EEXIST, "Le fichier existe déjà" },
    { EXDEV, "Lien entre deux périphériques impossible" },
    { ENODEV, "Aucun périphérique de ce type" },
    { ENOTDIR, "N'est pas un dossier" },
    { EISDIR, "Est un dossier" },
    { EINVAL, "Argument invalide" },
    { ENFILE, "Trop de fichiers ouverts dans le système" },
    { EMFILE, "Trop de fichiers ouverts" },
    { ETXTBSY, "Fichier exécutable occupé" },
    { EFBIG, "Fichier trop volumineux" },
    { ENOSPC, "Aucun espace disponible sur le disque" },
    { ESPIPE, "Positionnement impossible dans ce fichier" },
    { EROFS, "Système de fichiers en lecture seule" },
    { EMLINK, "Trop de liens" },
    { EPIPE, "Tube rompu" },
    { ENAMETOOLONG, "Nom de fichier trop long" },
    { ENOTEMPTY, "Le dossier n'est pas vide" },
    { ELOOP, "Trop de niveaux de liens symboliques" },
    { EOVERFLOW, "Valeur trop grande pour le type de données" },
    { ENOTSUP, "Opération non prise en charge" },
    { ETIMEDOUT, "Délai d'attente dépassé" },
    { ESTALE, "Descripteur de fichier périmé" },
    { EDQUOT, "Quota de disque dépassé" },
};

const char *ownFrenchText(int code)
{
    for (const OwnText &own : kOwnTexts) {
        if (own.code == code)
            return own.text;
    }
    return nullptr;
}

// Texts Qt writes itself, in English, when the application has not loaded Qt's French
// translation (the command-line tool has no reason to).
QString ownFrenchForQt(const QString &reason)
{
    if (reason == QLatin1String("file to open is a directory"))
        return QString::fromUtf8(ownFrenchText(EISDIR));
    if (reason == QLatin1String("Unknown error"))
        return QStringLiteral("Erreur inconnue");
    return {};
}

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
    const QString qtText = ownFrenchForQt(reason);
    if (!qtText.isEmpty())
        return qtText;
#if defined(Q_OS_UNIX)
    for (int code = 1; code < 256; ++code) {
        if (!isErrorText(reason, code))
            continue;
        if (const char *own = ownFrenchText(code))
            return QString::fromUtf8(own);
        if (const locale_t french = frenchMessages())
            return QString::fromUtf8(strerror_l(code, french)).trimmed();
        break;
    }
#endif
    return reason;
}

} // namespace mvx
