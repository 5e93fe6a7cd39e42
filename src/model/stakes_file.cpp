#include "model/stakes_file.h"

#include "model/settings_file.h"

#include <QFile>
#include <QFileInfo>
#include <QList>

namespace mvx {

namespace {

constexpr const char *kStakeKeys[] = { "couple", "tierce", "quarte", "quinte" };
// A whole file is a few dozen bytes: anything much longer is not one.
constexpr qint64 kLargestFile = 1024;

std::optional<std::int64_t> valueOf(
    const QByteArray &line, const char *key, std::int64_t smallest, std::int64_t largest)
{
    const QList<QByteArray> fields = line.split(' ');
    if (fields.size() != 2 || fields[0] != key || fields[1].isEmpty())
        return std::nullopt;
    for (char c : fields[1])
        if (c < '0' || c > '9')
            return std::nullopt;
    bool ok = false;
    const qlonglong value = fields[1].toLongLong(&ok);
    if (!ok || value < smallest || value > largest)
        return std::nullopt;
    return value;
}

} // namespace

QString stakesFilePath(const QString &settingsFolder)
{
    return settingsFolder + QStringLiteral("MAROVELL.MIS");
}

QByteArray encodeStakes(const Stakes &stakes)
{
    QByteArray bytes("mises 1\n");
    for (std::size_t i = 0; i < stakes.unitStakeCents.size(); ++i)
        bytes += QByteArray(kStakeKeys[i]) + ' ' + QByteArray::number(qlonglong(stakes.unitStakeCents[i])) + '\n';
    bytes += "multiplicateur " + QByteArray::number(qlonglong(stakes.multiplier)) + '\n';
    return bytes;
}

std::optional<Stakes> decodeStakes(QByteArrayView bytes)
{
    QByteArray text = bytes.toByteArray();
    text.replace("\r\n", "\n");
    if (!text.endsWith('\n'))
        return std::nullopt;
    text.chop(1);
    const QList<QByteArray> lines = text.split('\n');
    if (lines.size() != 6 || lines[0] != "mises 1")
        return std::nullopt;
    Stakes stakes;
    for (std::size_t i = 0; i < stakes.unitStakeCents.size(); ++i) {
        const std::optional<std::int64_t> cents
            = valueOf(lines[qsizetype(i) + 1], kStakeKeys[i], 0, Stakes::kLargestStakeCents);
        if (!cents)
            return std::nullopt;
        stakes.unitStakeCents[i] = *cents;
    }
    const std::optional<std::int64_t> multiplier = valueOf(lines[5], "multiplicateur", 1, Stakes::kLargestMultiplier);
    if (!multiplier)
        return std::nullopt;
    stakes.multiplier = *multiplier;
    return stakes;
}

Stakes loadStakes(const QString &settingsFolder, const Stakes &defaults)
{
    const QString path = stakesFilePath(settingsFolder);
    // A folder, a pipe or a device under that name is not a stakes file.
    if (!QFileInfo(path).isFile())
        return defaults;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return defaults;
    const QByteArray bytes = file.read(kLargestFile + 1);
    if (bytes.size() > kLargestFile || file.error() != QFileDevice::NoError)
        return defaults;
    return decodeStakes(bytes).value_or(defaults);
}

bool saveStakes(const QString &settingsFolder, const Stakes &stakes)
{
    return writeFileAtomically(stakesFilePath(settingsFolder), encodeStakes(stakes));
}

} // namespace mvx
