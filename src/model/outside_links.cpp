#include "model/outside_links.h"

#include "model/program_folder.h"

#include <QFileInfo>
#include <QUrl>
#include <QUrlQuery>

namespace mvx {

namespace {

QString address(const char *host, const QString &path, const QString &query = {})
{
    QUrl url;
    url.setScheme(QString::fromLatin1(kWebScheme));
    url.setHost(QString::fromLatin1(host));
    url.setPath(path);
    if (!query.isEmpty())
        url.setQuery(query);
    return url.toString();
}

} // namespace

QString raceResultsAddress()
{
    return address(kRaceResultsHost, QStringLiteral("/resultat-tierce-quarte-quinte.php"));
}

QString bettingSitesAddress()
{
    QUrlQuery query;
    query.addQueryItem(QStringLiteral("source"), QStringLiteral("marovellix"));
    return address(kProgramSiteHost, QStringLiteral("/lienssitepronoshippique.php"), query.toString());
}

QString programSiteAddress()
{
    return address(kProgramSiteHost, QStringLiteral("/"));
}

void openHelp(Platform &platform)
{
    // Beside the program, else in an installed copy's data folder.
    const QString folder = platform.programFolder();
    const QString compiled = programFile(folder, QStringLiteral("marovellix.chm"));
    const QString guide = programFile(folder, QStringLiteral("marovellix.html"));
    bool opened = true;
    if (QFileInfo(compiled).isFile())
        opened = platform.openDocument(compiled);
    else if (QFileInfo(guide).isFile())
        opened = platform.openInBrowser(guide);
    // A key that does nothing would leave the punter wondering.
    if (!opened)
        platform.inform(QStringLiteral("Le guide de l'utilisateur n'a pas pu être ouvert : aucun programme pour "
                                       "l'afficher (navigateur web) n'est installé."),
            QStringLiteral("Aide"));
}

} // namespace mvx
