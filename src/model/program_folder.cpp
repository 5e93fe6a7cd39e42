#include "model/program_folder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#ifndef MAROVELLIX_DATA_FROM_PROGRAM
#define MAROVELLIX_DATA_FROM_PROGRAM "../share/marovellix"
#endif

namespace mvx {

namespace {

QString withSeparator(QString folder)
{
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder;
}

} // namespace

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
    return withSeparator(folder);
}

QString programFile(const QString &programFolder, const QString &name)
{
    const QString beside = programFolder + name;
    if (QFileInfo(beside).isFile())
        return beside;
    const QString installed
        = QDir::cleanPath(programFolder + QStringLiteral(MAROVELLIX_DATA_FROM_PROGRAM) + QLatin1Char('/') + name);
    if (QFileInfo(installed).isFile())
        return installed;
    return beside;
}

QString settingsFolder(const QString &programFolder)
{
    // access(2) underneath: false on a read-only mount even for root, and for a user without
    // write permission on the folder.
    if (QFileInfo(programFolder).isWritable())
        return programFolder;
    const QString config = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    if (config.isEmpty() || !QDir().mkpath(config))
        return programFolder;
    return withSeparator(config);
}

} // namespace mvx
