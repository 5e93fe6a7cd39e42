#include "mount_sandbox.h"

#include <QFile>

#include <cerrno>
#include <cstring>

#include <sched.h>
#include <sys/mount.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace mvx::testing {

namespace {

bool writeProcFile(const char *path, const QByteArray &text)
{
    QFile file(QString::fromLatin1(path));
    return file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) && file.write(text) == text.size();
}

QString enterPrivateNamespace()
{
    if (unshare(CLONE_NEWNS) != 0) {
        const int denied = errno;
        // Not privileged: a user namespace of our own, where we are root, may still allow it.
        const uid_t uid = getuid();
        const gid_t gid = getgid();
        if (unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0)
            return QStringLiteral("no private mount namespace (unshare: %1; with a user namespace: %2)")
                .arg(QString::fromLocal8Bit(std::strerror(denied)), QString::fromLocal8Bit(std::strerror(errno)));
        if (!writeProcFile("/proc/self/setgroups", "deny")
            || !writeProcFile("/proc/self/uid_map", QByteArray::number(uid).prepend("0 ") + " 1")
            || !writeProcFile("/proc/self/gid_map", QByteArray::number(gid).prepend("0 ") + " 1"))
            return QStringLiteral("the user namespace's identity maps cannot be written");
    }
    // Without this, mounts under a shared mount would propagate back to the host.
    if (mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
        return QStringLiteral("the mounts cannot be made private: %1")
            .arg(QString::fromLocal8Bit(std::strerror(errno)));
    return {};
}

// The flags a remount must keep: inside a user namespace the kernel refuses to drop them.
unsigned long keptFlags(const QByteArray &path)
{
    struct statvfs fs
    {
    };
    if (statvfs(path.constData(), &fs) != 0)
        return 0;
    unsigned long flags = 0;
    if (fs.f_flag & ST_NOSUID)
        flags |= MS_NOSUID;
    if (fs.f_flag & ST_NODEV)
        flags |= MS_NODEV;
    if (fs.f_flag & ST_NOEXEC)
        flags |= MS_NOEXEC;
    if (fs.f_flag & ST_NOATIME)
        flags |= MS_NOATIME;
    if (fs.f_flag & ST_NODIRATIME)
        flags |= MS_NODIRATIME;
    if (fs.f_flag & ST_RELATIME)
        flags |= MS_RELATIME;
    return flags;
}

} // namespace

QString MountSandbox::unavailableReason()
{
    static const QString reason = enterPrivateNamespace();
    return reason;
}

MountSandbox::~MountSandbox()
{
    for (auto it = mounted_.crbegin(); it != mounted_.crend(); ++it)
        umount2(QFile::encodeName(*it).constData(), MNT_DETACH);
}

bool MountSandbox::fail(const QString &what)
{
    error_ = QStringLiteral("%1: %2").arg(what, QString::fromLocal8Bit(std::strerror(errno)));
    return false;
}

bool MountSandbox::mountTmpfs(const QString &folder, const QString &options)
{
    if (!unavailableReason().isEmpty())
        return fail(unavailableReason());
    const QByteArray path = QFile::encodeName(folder);
    if (mount("tmpfs", path.constData(), "tmpfs", MS_NOSUID | MS_NODEV, options.toLatin1().constData()) != 0)
        return fail(QStringLiteral("cannot mount a tmpfs on %1").arg(folder));
    mounted_.append(folder);
    return true;
}

bool MountSandbox::remountReadOnly(const QString &folder)
{
    const QByteArray path = QFile::encodeName(folder);
    if (mount(nullptr, path.constData(), nullptr, MS_REMOUNT | MS_RDONLY | keptFlags(path), nullptr) != 0)
        return fail(QStringLiteral("cannot remount %1 read-only").arg(folder));
    return true;
}

bool MountSandbox::bindReadOnly(const QString &target)
{
    if (!unavailableReason().isEmpty())
        return fail(unavailableReason());
    const QByteArray path = QFile::encodeName(target);
    if (mount(path.constData(), path.constData(), nullptr, MS_BIND, nullptr) != 0)
        return fail(QStringLiteral("cannot bind %1 over itself").arg(target));
    mounted_.append(target);
    if (mount(nullptr, path.constData(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY | keptFlags(path), nullptr) != 0)
        return fail(QStringLiteral("cannot make the bind mount of %1 read-only").arg(target));
    return true;
}

} // namespace mvx::testing
