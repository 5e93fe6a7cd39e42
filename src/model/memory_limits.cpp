#include "model/memory_limits.h"

#include <QByteArray>
#include <QFile>
#include <QList>

#include <algorithm>
#include <limits>

#if defined(Q_OS_UNIX)
#include <sys/resource.h>
#include <unistd.h>
#endif

namespace mvx {

namespace {

// Room left for the windows, the event loop and everything else the program holds besides.
constexpr std::uint64_t kMargin = std::uint64_t(64) << 20;

QByteArray readSmallFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.read(64 * 1024);
}

std::optional<std::uint64_t> number(const QByteArray &text)
{
    bool ok = false;
    const qulonglong n = text.trimmed().toULongLong(&ok);
    return ok ? std::optional<std::uint64_t>(n) : std::nullopt;
}

// "MemAvailable:   1234 kB" in /proc/meminfo.
std::optional<std::uint64_t> availableMemory()
{
    for (const QByteArray &line : readSmallFile(QStringLiteral("/proc/meminfo")).split('\n')) {
        if (!line.startsWith("MemAvailable:"))
            continue;
        const QByteArray kb = line.mid(13).trimmed().split(' ').value(0);
        if (const std::optional<std::uint64_t> n = number(kb))
            return *n * 1024;
    }
    return std::nullopt;
}

std::optional<std::uint64_t> addressSpaceLeft()
{
#if defined(Q_OS_UNIX)
    rlimit limit {};
    if (getrlimit(RLIMIT_AS, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY)
        return std::nullopt;
    // The first field of /proc/self/statm: the pages the process maps.
    const std::optional<std::uint64_t> pages = number(readSmallFile(QStringLiteral("/proc/self/statm")).split(' ').value(0));
    const std::uint64_t mapped = pages.value_or(0) * std::uint64_t(sysconf(_SC_PAGESIZE));
    return std::uint64_t(limit.rlim_cur) > mapped ? std::uint64_t(limit.rlim_cur) - mapped : 0;
#else
    return std::nullopt;
#endif
}

// The tightest room among the process's control group and its parents: cgroup v2 (memory.max,
// memory.current) or v1 (memory.limit_in_bytes, memory.usage_in_bytes).
std::optional<std::uint64_t> groupLeft()
{
    std::optional<std::uint64_t> tightest;
    for (const QByteArray &line : readSmallFile(QStringLiteral("/proc/self/cgroup")).split('\n')) {
        const QList<QByteArray> fields = line.split(':');
        if (fields.size() < 3)
            continue;
        QString root;
        QString limitFile;
        QString usageFile;
        if (fields[0] == "0" && fields[1].isEmpty()) {
            root = QStringLiteral("/sys/fs/cgroup");
            limitFile = QStringLiteral("memory.max");
            usageFile = QStringLiteral("memory.current");
        } else if (fields[1].split(',').contains("memory")) {
            root = QStringLiteral("/sys/fs/cgroup/memory");
            limitFile = QStringLiteral("memory.limit_in_bytes");
            usageFile = QStringLiteral("memory.usage_in_bytes");
        } else {
            continue;
        }
        QString group = QString::fromUtf8(fields.mid(2).join(':')).trimmed();
        while (true) {
            const QString folder = root + (group == QLatin1String("/") ? QString() : group);
            // "max" or an absurd v1 value mean no limit at this level.
            const std::optional<std::uint64_t> limit = number(readSmallFile(folder + QLatin1Char('/') + limitFile));
            const std::optional<std::uint64_t> usage = number(readSmallFile(folder + QLatin1Char('/') + usageFile));
            if (limit && usage && *limit < (std::uint64_t(1) << 60)) {
                const std::uint64_t left = *limit > *usage ? *limit - *usage : 0;
                tightest = std::min(tightest.value_or(left), left);
            }
            if (group.isEmpty() || group == QLatin1String("/"))
                break;
            group = group.left(std::max<qsizetype>(group.lastIndexOf(QLatin1Char('/')), 0));
            if (group.isEmpty())
                group = QStringLiteral("/");
        }
    }
    return tightest;
}

} // namespace

MemoryLimits currentMemoryLimits()
{
    MemoryLimits limits;
#if defined(Q_OS_UNIX) && defined(_SC_PHYS_PAGES)
    const long pages = sysconf(_SC_PHYS_PAGES);
    const long pageSize = sysconf(_SC_PAGESIZE);
    if (pages > 0 && pageSize > 0)
        limits.physical = std::uint64_t(pages) * std::uint64_t(pageSize);
#endif
    limits.available = availableMemory();
    limits.addressSpaceLeft = addressSpaceLeft();
    limits.groupLeft = groupLeft();
    return limits;
}

std::uint64_t memoryRoom(const MemoryLimits &limits, std::uint64_t held)
{
    const auto less = [](std::uint64_t total, std::uint64_t taken) { return total > taken ? total - taken : 0; };
    // Without any figure, the two gigabytes of a small machine.
    std::uint64_t room = limits.physical ? less(*limits.physical / 2, held) : less(std::uint64_t(2) << 30, held);
    for (const std::optional<std::uint64_t> &left : { limits.available, limits.addressSpaceLeft, limits.groupLeft })
        if (left)
            room = std::min(room, less(*left, kMargin));
    return room;
}

} // namespace mvx
