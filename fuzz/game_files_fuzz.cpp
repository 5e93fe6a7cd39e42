// Feeds arbitrary bytes to the settings file and game file loaders, through real files, and
// checks what must hold whatever the bytes: no crash, no read or write out of bounds, every
// value of a loaded page within its list, and a loaded game saving to a stable file.
#include "combi/catalogue.h"
#include "game/game_file.h"
#include "game/ticket_request.h"
#include "model/settings_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>

using namespace mvx;

namespace {

// Answers every dialog with the file of the moment and every question with Yes.
class FuzzPlatform : public Platform
{
public:
    QString fileName;
    int messages = 0;
    int beeps = 0;

    Answer message(const QString &, const QString &, Buttons buttons, Icon) override
    {
        ++messages;
        return buttons == Buttons::YesNo ? Answer::Yes : Answer::Ok;
    }
    void beep() override { ++beeps; }
    QString saveFileName(const FileDialog &) override { return fileName; }
    QString openFileName(const FileDialog &) override { return fileName; }
    void setWaitCursor(bool) override { }
    QString programFolder() override { return {}; }
    bool openDocument(const QString &) override { return false; }
    bool openInBrowser(const QString &) override { return false; }
    bool startProgram(const QString &) override { return false; }
    std::unique_ptr<PrintSurface> openPrinter(const QString &) override { return nullptr; }
};

void require(bool condition, const char *what)
{
    if (!condition) {
        std::fprintf(stderr, "broken: %s\n", what);
        std::abort();
    }
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    require(file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size(),
        "the input file can be written");
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Files in memory when the machine has a tmpfs there: each input is written several times.
QTemporaryDir &workDir()
{
    static QTemporaryDir dir(QFileInfo(QStringLiteral("/dev/shm")).isWritable()
            ? QStringLiteral("/dev/shm/marovellix-fuzz-XXXXXX")
            : QDir::tempPath() + QStringLiteral("/marovellix-fuzz-XXXXXX"));
    return dir;
}

void checkSettings(const QByteArray &bytes, const QString &folder)
{
    const SettingsRecord decoded = decodeSettings(bytes);
    if (bytes.size() >= kSettingsRecordSize)
        require(encodeSettings(decoded) == bytes.left(kSettingsRecordSize), "settings decode and encode agree");

    const QString path = settingsFilePath(folder);
    writeFile(path, bytes);
    SettingsRecord settings;
    const bool read = loadSettings(folder, settings);
    require(read == (bytes.size() >= kSettingsRecordSize), "a whole record is read, anything shorter is not");
    if (read) {
        require(encodeSettings(settings) == bytes.left(kSettingsRecordSize), "the record is the file's first bytes");
        require(readFile(path) == bytes, "a file that was read is kept");
    } else {
        require(!QFileInfo::exists(path), "a short settings file is deleted");
        require(settings.interfaceLanguage == 1 && settings.defaultsMarker == 1, "the defaults are applied");
    }
}

void checkPage(const TicketRecipe &page)
{
    for (const QString &box : page.boxes) {
        if (box.isEmpty())
            continue;
        const int horse = box.toInt();
        require(horse >= 1 && horse <= 20 && box == QString::number(horse), "a box shows an item of its list");
    }
    if (page.source == TicketSource::CatalogueSystem)
        require(page.systemNumber >= 1 && page.systemNumber <= kSystemCount, "the system is one of the list");
    const GeneratorSettings &g = page.generator;
    require(g.horsesToCombine >= 0 && g.horsesToCombine <= 20, "horses to combine within its list");
    require(g.horsesPerTicket >= 0 && g.horsesPerTicket <= 8, "horses per ticket within its list");
    require(g.bases.baseCount >= -1 && g.bases.baseCount <= 3, "base count within its list");
}

void checkGame(const QByteArray &bytes, const QString &folder)
{
    const std::optional<GameFileRecord> decoded = decodeGameRecord(bytes);
    require(decoded.has_value() == (bytes.size() >= kGameRecordSize), "a record needs 108 bytes");
    if (decoded)
        require(encodeGameRecord(*decoded) == bytes.left(kGameRecordSize), "game decode and encode agree");

    static const auto state = std::make_unique<GameState>();
    *state = GameState {};
    FuzzPlatform platform;
    platform.fileName = folder + QStringLiteral("jeu.mvx");
    writeFile(platform.fileName, bytes);
    TicketRecipe current;
    current.generator.bases.positions = { 2, 3, 1 };
    const std::optional<TicketRecipe> page = loadGame(*state, current, platform);
    require(page.has_value() == (decoded && hasGameTag(*decoded)), "only a whole tagged record loads");
    // A refused load says why; a game that loads says at most once what of its sections was
    // not restored.
    require(page ? platform.messages <= 1 : platform.messages == 1, "a load says what went wrong, once");
    if (!page)
        return;
    checkPage(*page);
    require(page->generator.bases.positions == current.generator.bases.positions, "base positions are kept");
    require(checkTicketRequest(*page).size() <= 2, "the request checks run on a loaded page");

    // Saving the loaded page and loading that save again comes back to the same file, and a
    // file the program wrote loads without a word.
    platform.fileName = folder + QStringLiteral("copie.mvx");
    saveGame(*state, *page, platform);
    require(platform.beeps == 0, "the copy is saved");
    const QByteArray first = readFile(platform.fileName);
    require(first.size() >= kGameRecordSize, "a save writes the record");
    const int messagesBefore = platform.messages;
    const std::optional<TicketRecipe> again = loadGame(*state, current, platform);
    require(again.has_value(), "a saved game loads");
    require(platform.messages == messagesBefore, "a saved game loads whole");
    require(again->conditions == page->conditions, "the conditions come back");
    checkPage(*again);
    saveGame(*state, *again, platform);
    require(readFile(platform.fileName) == first, "save and load agree");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    QTemporaryDir &dir = workDir();
    require(dir.isValid(), "a work folder");
    const QString folder = dir.path() + QLatin1Char('/');
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    checkSettings(bytes, folder);
    checkGame(bytes, folder);
    return 0;
}
