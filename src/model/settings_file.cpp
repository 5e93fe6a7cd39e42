#include "model/settings_file.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QtEndian>

#include <algorithm>
#include <optional>

#if defined(Q_OS_UNIX)
#include <cerrno>

#include <unistd.h>
#endif

namespace mvx {

namespace {

// The record's fields in file order, as 28 int32.
template <typename Record, typename Int> void forEachField(Record &record, auto &&visit)
{
    int i = 0;
    const auto one = [&](Int &field) { visit(i++, field); };
    one(record.reserved0);
    one(record.interfaceLanguage);
    for (Int &field : record.reserved8)
        one(field);
    one(record.horizontalAdjustment);
    one(record.verticalAdjustment);
    one(record.defaultsMarker);
    for (Int &field : record.savedPointsByPosition)
        one(field);
}

// Reads the first record of an existing settings file. A file that cannot be opened for reading
// and writing is kept; one that opens but does not give a whole record is deleted.
bool readSettingsFile(const QString &path, SettingsRecord &settings)
{
    const QFileInfo info(path);
    if (!info.exists())
        return false;
    // A folder, a pipe or a device under that name is not a settings file: reading a pipe
    // would block the start-up, and none of them is ours to delete.
    if (!info.isFile())
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite | QIODevice::ExistingOnly | QIODevice::Unbuffered))
        return false;
    const QByteArray bytes = file.read(kSettingsRecordSize);
    const bool read = bytes.size() == kSettingsRecordSize && file.error() == QFileDevice::NoError;
    file.close();
    const bool closed = file.error() == QFileDevice::NoError;
    if (read && closed) {
        settings = decodeSettings(bytes);
        return true;
    }
    if (closed)
        QFile::remove(path);
    return false;
}

} // namespace

// The record is encoded field by field, never copied from memory; this only makes sure that
// a field added to the record is not forgotten here.
static_assert(sizeof(SettingsRecord) == kSettingsRecordSize);

QByteArray encodeSettings(const SettingsRecord &record)
{
    QByteArray bytes(kSettingsRecordSize, '\0');
    forEachField<const SettingsRecord, const std::int32_t>(
        record, [&](int i, const std::int32_t &field) { qToLittleEndian<std::int32_t>(field, bytes.data() + 4 * i); });
    return bytes;
}

SettingsRecord decodeSettings(QByteArrayView bytes)
{
    QByteArray whole(kSettingsRecordSize, '\0');
    std::copy_n(bytes.data(), std::min<qsizetype>(bytes.size(), kSettingsRecordSize), whole.data());
    SettingsRecord record;
    forEachField<SettingsRecord, std::int32_t>(record,
        [&](int i, std::int32_t &field) { field = qFromLittleEndian<std::int32_t>(whole.constData() + 4 * i); });
    return record;
}

QString settingsFilePath(const QString &programFolder)
{
    return programFolder + QStringLiteral("MAROVELL.PAR");
}

bool loadSettings(const QString &programFolder, SettingsRecord &settings)
{
    if (readSettingsFile(settingsFilePath(programFolder), settings))
        return true;
    // The reserved fields keep what they hold.
    settings.interfaceLanguage = 1;
    settings.horizontalAdjustment = 0;
    settings.verticalAdjustment = 0;
    settings.defaultsMarker = 1;
    settings.savedPointsByPosition.fill(0);
    return false;
}

bool saveSettings(GameState &state, const QString &programFolder, Platform &platform)
{
    static_assert(
        std::tuple_size_v<
            decltype(state.pointsByPosition)> == std::tuple_size_v<decltype(state.settings.savedPointsByPosition)>);
    std::copy(
        state.pointsByPosition.begin(), state.pointsByPosition.end(), state.settings.savedPointsByPosition.begin());
    if (writeFileAtomically(settingsFilePath(programFolder), encodeSettings(state.settings)))
        return true;
    reportFileNotSaved(platform);
    return false;
}

namespace {

// Where a save of `path` writes: through symbolic links to the file they lead to, which a link
// that leads nowhere names too, so that a link stays a link. Nothing when the links go round in
// a loop, or further than the system itself would follow them.
std::optional<QString> savedFile(const QString &path)
{
    QString target = path;
    for (int hops = 0; hops <= 40; ++hops) {
        const QFileInfo info(target);
        if (!info.isSymLink())
            return target;
        target = info.symLinkTarget();
    }
    return std::nullopt;
}

} // namespace

bool writeFileAtomically(const QString &path, const QByteArray &bytes)
{
    // A loop of links is refused like a FIFO or a device, which are never replaced by a regular
    // file; nor written to, which could wait for a reader for ever.
    const std::optional<QString> target = savedFile(path);
    if (!target)
        return false;
    if (const QFileInfo info(*target); info.exists() && !info.isFile())
        return false;
    QSaveFile file(*target);
    // Unbuffered, so that a failed write shows here: QSaveFile does not notice a failure of the
    // flush it makes in commit() and would rename the cut-short file over the old one.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    // Returning without commit() removes the temporary file.
    if (file.write(bytes) != bytes.size() || !file.flush() || file.error() != QFileDevice::NoError)
        return false;
#if defined(Q_OS_UNIX)
    // Some file systems report a full disk only when the data reach it; commit() ignores that.
    if (::fsync(file.handle()) != 0 && errno != EINVAL)
        return false;
#endif
    return file.commit();
}

void reportFileNotSaved(Platform &platform)
{
    platform.beep();
    platform.inform(QStringLiteral("Il y a eu un problème"), QStringLiteral("Fichier non sauvegardé !!"));
}

} // namespace mvx
