#pragma once

#include <QString>
#include <QStringList>

namespace mvx::testing {

// Real file-system faults for tests that run as root, where permission bits stop nothing:
// read-only and tiny tmpfs mounts, read-only bind mounts. The first use moves this test
// process into a private mount namespace of its own (through a user namespace when it lacks
// the privilege), so no mount is ever seen outside it and all vanish with the process.
class MountSandbox
{
public:
    // Empty when this process can mount, else the reason it cannot.
    static QString unavailableReason();

    MountSandbox() = default;
    ~MountSandbox(); // unmounts what it mounted, last first
    MountSandbox(const MountSandbox &) = delete;
    MountSandbox &operator=(const MountSandbox &) = delete;

    bool mountTmpfs(const QString &folder, const QString &options);
    bool remountReadOnly(const QString &folder);
    // Mounts a file (or folder) over itself, read-only.
    bool bindReadOnly(const QString &path);

    QString lastError() const { return error_; }

private:
    bool fail(const QString &what);

    QStringList mounted_;
    QString error_;
};

} // namespace mvx::testing
