#include "model/program_folder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace mvx {

QString programFolder()
{
    QString folder;
    if (QCoreApplication::instance())
        folder = QCoreApplication::applicationDirPath();
    if (folder.isEmpty()) {
        // No application object yet (tools, tests): ask the kernel where the executable is.
        const QString executable = QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget();
        if (!executable.isEmpty())
            folder = QFileInfo(executable).absolutePath();
    }
    if (folder.isEmpty())
        folder = QDir::currentPath();
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder;
}

} // namespace mvx
