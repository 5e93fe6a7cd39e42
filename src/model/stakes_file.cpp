#include "model/stakes_file.h"

#include "model/settings_file.h"

#include <QFile>
#include <QFileInfo>
#include <QList>

namespace mvx {

namespace {

constexpr const char *kFirstFormKeys[] = { "couple", "tierce", "quarte", "quinte" };
// A whole file is a few hundred bytes: anything much longer is not one.
constexpr qint64 kLargestFile = 4096;

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

// The key of the stake of the kind numbered `kind`.
QByteArray stakeKey(std::size_t kind)
{
    return QByteArray(betKindInfo(Bet::Kind(kind)).cliName);
}

QByteArray encodeStakes(const Stakes &stakes)
{
    QByteArray bytes("mises 2\n");
    for (std::size_t i = 0; i < stakes.unitStakeCents.size(); ++i)
        bytes += stakeKey(i) + ' ' + QByteArray::number(qlonglong(stakes.unitStakeCents[i])) + '\n';
    bytes += "multiplicateur " + QByteArray::number(qlonglong(stakes.multiplier)) + '\n';
    return bytes;
}

std::optional<Stakes> decodeStakes(QByteArrayView bytes, const Stakes &unlisted)
{
    QByteArray text = bytes.toByteArray();
    text.replace("\r\n", "\n");
    if (!text.endsWith('\n'))
        return std::nullopt;
    text.chop(1);
    const QList<QByteArray> lines = text.split('\n');
    const bool firstForm = !lines.isEmpty() && lines[0] == "mises 1";
    const std::size_t listed = firstForm ? std::size(kFirstFormKeys) : std::size_t(Stakes::kBetKinds);
    if (lines.size() != qsizetype(listed) + 2 || (!firstForm && lines[0] != "mises 2"))
        return std::nullopt;
    Stakes stakes = unlisted;
    for (std::size_t i = 0; i < listed; ++i) {
        const QByteArray key = firstForm ? QByteArray(kFirstFormKeys[i]) : stakeKey(i);
        const std::optional<std::int64_t> cents
            = valueOf(lines[qsizetype(i) + 1], key.constData(), 0, Stakes::kLargestStakeCents);
        if (!cents)
            return std::nullopt;
        stakes.unitStakeCents[i] = *cents;
    }
    const std::optional<std::int64_t> multiplier
        = valueOf(lines.last(), "multiplicateur", 1, Stakes::kLargestMultiplier);
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
    return decodeStakes(bytes, defaults).value_or(defaults);
}

bool saveStakes(const QString &settingsFolder, const Stakes &stakes)
{
    return writeFileAtomically(stakesFilePath(settingsFolder), encodeStakes(stakes));
}

} // namespace mvx
