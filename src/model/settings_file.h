#pragma once

#include "model/game_state.h"
#include "model/platform.h"
#include "model/settings_record.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace mvx {

// The settings file is one record of 28 little-endian int32, nothing else.
inline constexpr int kSettingsRecordSize = 112;

QByteArray encodeSettings(const SettingsRecord &record);
// Reads the first 112 bytes; missing bytes read as 0.
SettingsRecord decodeSettings(QByteArrayView bytes);

// programFolder + "MAROVELL.PAR".
QString settingsFilePath(const QString &programFolder);

// Fills settings from the settings file, or applies the defaults to it. Returns true when the
// file was read. Never shows anything. A file too short to hold a record is deleted; a file that
// cannot be opened for reading and writing is left alone.
bool loadSettings(const QString &programFolder, SettingsRecord &settings);

// Copies the points in use into the record and writes it, replacing the file atomically: on any
// failure the old file stays as it was, the platform beeps and "Il y a eu un problème" is shown.
// Returns true when the file was written.
bool saveSettings(GameState &state, const QString &programFolder, Platform &platform);

// Shared with the game file.
// Writes the bytes to a temporary file beside path and renames it over path, so that a failed
// write (read-only folder or file, full disk) leaves the old file as it was. Through a symbolic
// link the file it leads to is written (created, for a link that leads nowhere) and the link
// stays; a name that is a FIFO, a device or a folder is refused (false) and stays as it was.
bool writeFileAtomically(const QString &path, const QByteArray &bytes);
// The default beep, then "Il y a eu un problème" titled "Fichier non sauvegardé !!".
void reportFileNotSaved(Platform &platform);

} // namespace mvx
