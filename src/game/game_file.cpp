#include "game/game_file.h"

#include "combi/catalogue.h"
#include "combi/own_system.h"
#include "combi/selection.h"
#include "game/bet_section.h"
#include "game/game_sections.h"
#include "game/result_section.h"
#include "model/settings_file.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QtEndian>

#include <algorithm>

namespace mvx {

namespace {

constexpr std::array<std::uint8_t, 4> kGameTag { 3, 'M', 'V', '+' };

// The generator's pick-lists: horses to combine "1".."20", horses per ticket "1".."8",
// base count "0".."3".
constexpr int kCombineItems = 20;
constexpr int kTicketItems = 8;
constexpr int kBaseItems = 4;

const QString &gameFilter()
{
    static const QString filter = QStringLiteral("Marovellix+ (*.mvx)|*.mvx");
    return filter;
}

void problem(Platform &platform, const QString &text)
{
    platform.inform(text, QStringLiteral("Problème !!"));
}

// The most a game file is read of: the record and sections far larger than any this program
// writes (a table of the full 20-horse quinté game takes 78 kB).
constexpr qint64 kMostGameBytes = 4 << 20;

// The file's bytes, the record and what follows it; nullopt when it cannot be read or is
// shorter than the record.
std::optional<QByteArray> readGameBytes(const QString &fileName)
{
    // Only a regular file is read: a pipe would block the window, a device would never end.
    if (!QFileInfo(fileName).isFile())
        return std::nullopt;
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return std::nullopt;
    QByteArray bytes = file.read(kMostGameBytes);
    if (bytes.size() < kGameRecordSize || file.error() != QFileDevice::NoError)
        return std::nullopt;
    return bytes;
}

// The value of the list item at index, or the value of a box without an item.
int itemValue(std::int32_t index, int itemCount, int firstValue, int noItem)
{
    return index >= 0 && index < itemCount ? firstValue + index : noItem;
}

// The system the list selects for a number: that system, or the first item of the sorted list
// when no item carries it.
int listedSystem(std::int32_t number)
{
    static const QStringList items = systemListItems();
    return systemNumberOfItem(items[systemItemIndex(items, number)]);
}

// What the sections of a game gave back, and what they could not.
struct SectionsLoaded
{
    GameSectionsReading reading;
    bool ownSystemInvalid = false; // read whole, but its request or table is not usable
    bool conditionsInvalid = false;
    bool resultInvalid = false;
    bool shareInvalid = false; // the own system's share of the arrivals
    bool betInvalid = false; // no bet's name, or a bet of another size than the tickets
};

// The own system a game of mode 3 holds: its section's when that agrees with the record's
// generator fields, else the record's request without a table; nullopt when the record's
// fields make no request, and the game loads as a generator game, as an older copy loads it.
// The record of a request the tab can search promises the section: without it, it was lost.
std::optional<OwnSystem> ownSystemOfGame(const GameFileRecord &record, SectionsLoaded &loaded)
{
    const int horses = itemValue(record.combineIndex, kCombineItems, 1, 0);
    const int perTicket = itemValue(record.ticketIndex, kTicketItems, 1, 0);
    const int bases = itemValue(record.baseIndex, kBaseItems, 0, -1);
    const SystemRequest recorded { horses, perTicket, bases, defaultGuarantee(horses, perTicket, bases) };
    const bool searchable = ownRequestRefusal(recorded).isEmpty();
    if (const QByteArray *payload = findGameSection(loaded.reading.sections, kOwnSystemSection)) {
        bool dropped = false;
        const QByteArray *sharePayload = findGameSection(loaded.reading.sections, kOwnShareSection);
        const std::optional<OwnShare> share = sharePayload ? decodeOwnShare(*sharePayload) : std::nullopt;
        loaded.shareInvalid = sharePayload && !share;
        std::optional<OwnSystem> own = decodeOwnSystem(*payload, &dropped, share ? share->sharePercent : 100);
        if (own && share && own->origin == OwnTableOrigin::Searched)
            own->origin = share->origin;
        const bool agrees = own && own->request.horses == recorded.horses
            && own->request.perTicket == recorded.perTicket && own->request.bases == recorded.bases;
        loaded.ownSystemInvalid = !agrees || dropped;
        if (agrees)
            return own;
    } else if (searchable) {
        std::vector<std::array<char, 4>> &damaged = loaded.reading.damaged;
        if (std::find(damaged.begin(), damaged.end(), kOwnSystemSection) == damaged.end())
            damaged.push_back(kOwnSystemSection);
    }
    if (!searchable)
        return std::nullopt;
    return OwnSystem { recorded, {}, OwnTableOrigin::Searched };
}

// The conditions the game was saved with; none for a game without them, or with a damaged
// section.
TicketConditions conditionsOfGame(SectionsLoaded &loaded)
{
    const QByteArray *payload = findGameSection(loaded.reading.sections, kConditionsSection);
    if (!payload)
        return {};
    if (std::optional<TicketConditions> conditions = decodeConditions(*payload))
        return std::move(*conditions);
    loaded.conditionsInvalid = true;
    return {};
}

// The official result the game was saved with; null for a game without one, or with a damaged
// section.
std::shared_ptr<const OfficialResult> officialResultOfGame(SectionsLoaded &loaded)
{
    const QByteArray *payload = findGameSection(loaded.reading.sections, kOfficialResultSection);
    if (!payload)
        return nullptr;
    if (std::optional<OfficialResult> result = decodeOfficialResult(*payload))
        return std::make_shared<const OfficialResult>(std::move(*result));
    loaded.resultInvalid = true;
    return nullptr;
}

// The bet the game was saved with, when it fits tickets of that many horses; none for a game
// without one (its size decides), or with a damaged section.
std::optional<Bet> betOfGame(SectionsLoaded &loaded, int horsesPerTicket)
{
    const QByteArray *payload = findGameSection(loaded.reading.sections, kBetSection);
    if (!payload)
        return std::nullopt;
    const std::optional<Bet> bet = decodeBetSection(*payload);
    if (bet && mvx::horsesPerTicket(*bet) == horsesPerTicket)
        return bet;
    loaded.betInvalid = true;
    return std::nullopt;
}

// One message for whatever the sections could not give back: a section read whole whose content
// is not usable keeps its own message when it is the only trouble; otherwise one message names
// every part lost, and the rest of the game loads.
void reportSections(const SectionsLoaded &loaded, Platform &platform)
{
    const auto &damaged = loaded.reading.damaged;
    QStringList lost;
    for (const KnownSectionKind &known : kKnownSectionKinds) {
        const bool invalid = (known.kind == kOwnSystemSection && loaded.ownSystemInvalid)
            || (known.kind == kConditionsSection && loaded.conditionsInvalid)
            || (known.kind == kOfficialResultSection && loaded.resultInvalid)
            || (known.kind == kOwnShareSection && loaded.shareInvalid)
            || (known.kind == kBetSection && loaded.betInvalid);
        if (invalid || std::find(damaged.begin(), damaged.end(), known.kind) != damaged.end())
            lost.append(QString::fromUtf8(known.part));
    }
    const bool structural = !damaged.empty() || loaded.reading.damagedUnknown;
    if (!structural && lost.size() <= 1) {
        if (loaded.ownSystemInvalid)
            problem(platform,
                QStringLiteral("Le système enregistré dans ce fichier n'est pas valable : cherchez-le à nouveau."));
        if (loaded.conditionsInvalid)
            problem(platform,
                QStringLiteral("Les conditions enregistrées dans ce fichier ne sont pas valables : le jeu est chargé "
                               "sans conditions."));
        if (loaded.shareInvalid)
            problem(platform,
                QStringLiteral("La part des arrivées garantie enregistrée dans ce fichier n'est pas valable : le "
                               "système est chargé pour toutes les arrivées."));
        if (loaded.resultInvalid)
            problem(platform,
                QStringLiteral("Le résultat officiel enregistré dans ce fichier n'est pas valable : le jeu est chargé "
                               "sans résultat officiel."));
        if (loaded.betInvalid)
            problem(platform,
                QStringLiteral("Le pari enregistré dans ce fichier n'est pas valable : le jeu est chargé avec le pari "
                               "que donne la taille de ses tickets."));
        return;
    }
    // Bytes past a section that could not be read are its own, when one is named.
    if (lost.isEmpty())
        lost.append(QStringLiteral("une partie de ce qu'il contenait"));
    QString parts = lost.takeLast();
    if (!lost.isEmpty())
        parts = lost.join(QStringLiteral(", ")) + QStringLiteral(" et ") + parts;
    problem(platform, QStringLiteral("Ce fichier de jeu est endommagé : le jeu est chargé sans %1.").arg(parts));
}

} // namespace

QByteArray encodeGameRecord(const GameFileRecord &record)
{
    QByteArray bytes(kGameRecordSize, '\0');
    char *out = bytes.data();
    std::copy(record.fileTag.begin(), record.fileTag.end(), out);
    auto put = [&out, offset = 4](std::int32_t value) mutable {
        qToLittleEndian<std::int32_t>(value, out + offset);
        offset += 4;
    };
    put(record.gameMode);
    put(record.systemNumber);
    put(record.combineIndex);
    put(record.ticketIndex);
    put(record.baseIndex);
    put(record.reducedFlag);
    for (std::int32_t horse : record.horseNumbers)
        put(horse);
    return bytes;
}

std::optional<GameFileRecord> decodeGameRecord(QByteArrayView bytes)
{
    if (bytes.size() < kGameRecordSize)
        return std::nullopt;
    const char *in = bytes.data();
    GameFileRecord record;
    std::copy_n(reinterpret_cast<const std::uint8_t *>(in), record.fileTag.size(), record.fileTag.begin());
    auto get = [in, offset = 4]() mutable {
        const std::int32_t value = qFromLittleEndian<std::int32_t>(in + offset);
        offset += 4;
        return value;
    };
    record.gameMode = get();
    record.systemNumber = get();
    record.combineIndex = get();
    record.ticketIndex = get();
    record.baseIndex = get();
    record.reducedFlag = get();
    for (std::int32_t &horse : record.horseNumbers)
        horse = get();
    return record;
}

bool hasGameTag(const GameFileRecord &record)
{
    return record.fileTag == kGameTag;
}

Platform::FileDialog saveGameDialog()
{
    Platform::FileDialog dialog;
    dialog.title = QStringLiteral("Indiquer le nom du fichier à enregistrer");
    dialog.filter = gameFilter();
    dialog.defaultExtension = QStringLiteral("mvx");
    dialog.pathMustExist = true;
    dialog.fileMustExist = false;
    // The program asks its own question before replacing a file.
    dialog.confirmOverwrite = false;
    return dialog;
}

Platform::FileDialog loadGameDialog()
{
    Platform::FileDialog dialog;
    dialog.title = QStringLiteral("Sélectionnez le fichier à charger");
    dialog.filter = gameFilter();
    dialog.defaultExtension = QStringLiteral("mvx");
    dialog.proposedName = QStringLiteral("*.mvx");
    dialog.pathMustExist = true;
    dialog.fileMustExist = true;
    return dialog;
}

void saveGame(GameState &state, const TicketRecipe &recipe, Platform &platform)
{
    const QString fileName = platform.saveFileName(saveGameDialog());
    if (fileName.isEmpty())
        return;
    if (QFileInfo::exists(fileName)
        && platform.message(QStringLiteral("Continuer quand même ?"), QStringLiteral("Fichier existant !!"),
               Platform::Buttons::YesNo, Platform::Icon::Question)
            != Platform::Answer::Yes)
        return;

    // Fields the mode does not use keep what the record held.
    GameFileRecord &record = state.gameFileRecord;
    record.fileTag = kGameTag;
    switch (recipe.source) {
    case TicketSource::CatalogueSystem: {
        record.gameMode = 1;
        record.systemNumber = recipe.systemNumber;
        // The list always has a system selected; should it not, the record says 0 horses, 0 bases.
        const bool listed = recipe.systemNumber >= 1 && recipe.systemNumber <= kSystemCount;
        record.ticketIndex = listed ? reducedSystem(recipe.systemNumber).horseCount : 0;
        record.baseIndex = listed ? reducedSystem(recipe.systemNumber).baseCount : 0;
        break;
    }
    case TicketSource::OwnSystem: {
        // An older copy reads this as the nearest generator game: n, k and B, combinations.
        const SystemRequest &request = recipe.ownSystem.request;
        record.gameMode = 3;
        record.combineIndex = request.horses - 1;
        record.ticketIndex = request.perTicket - 1;
        record.baseIndex = request.bases;
        record.reducedFlag = 1;
        break;
    }
    case TicketSource::Generator:
        record.gameMode = 2;
        record.combineIndex = recipe.generator.horsesToCombine - 1;
        record.ticketIndex = recipe.generator.horsesPerTicket - 1;
        record.baseIndex = recipe.generator.bases.baseCount;
        record.reducedFlag = recipe.generator.reduced ? 1 : 0;
        break;
    }

    // The numbers as read with the record's base count: the bases first, then the others.
    readSelection(recipe.boxes, record.baseIndex, state.selection);
    const int bases = std::clamp<int>(record.baseIndex, 0, 3);
    for (int i = 0; i < kMaxHorses; ++i)
        record.horseNumbers[std::size_t(i)] = i < bases ? state.selection.baseHorses[std::size_t(i + 1)]
                                                        : state.selection.otherHorses[std::size_t(i - bases + 1)];

    QByteArray bytes = encodeGameRecord(record);
    std::vector<GameSection> sections;
    // A request the tab cannot search is not kept: the record's n, k and B stand alone.
    if (recipe.source == TicketSource::OwnSystem && ownRequestRefusal(recipe.ownSystem.request).isEmpty())
        sections.push_back(GameSection { kOwnSystemSection, encodeOwnSystem(recipe.ownSystem) });
    if (recipe.source == TicketSource::OwnSystem && ownRequestRefusal(recipe.ownSystem.request).isEmpty()
        && (recipe.ownSystem.sharePercent < 100 || recipe.ownSystem.origin == OwnTableOrigin::Library))
        sections.push_back(GameSection { kOwnShareSection, encodeOwnShare(recipe.ownSystem) });
    if (!recipe.conditions.isEmpty())
        sections.push_back(GameSection { kConditionsSection, encodeConditions(recipe.conditions) });
    if (state.officialResult)
        sections.push_back(GameSection { kOfficialResultSection, encodeOfficialResult(*state.officialResult) });
    if (recipe.bet && betNeedsSection(*recipe.bet, requestHorsesPerTicket(recipe)))
        sections.push_back(GameSection { kBetSection, encodeBetSection(*recipe.bet) });
    if (!sections.empty())
        bytes += encodeGameSections(sections);
    if (writeFileAtomically(fileName, bytes)) {
        state.gameFileName = fileName;
        platform.fileSaved(fileName);
    } else
        reportFileNotSaved(platform);
}

std::optional<TicketRecipe> loadGame(GameState &state, const TicketRecipe &current, Platform &platform)
{
    const QString fileName = platform.openFileName(loadGameDialog());
    if (fileName.isEmpty())
        return std::nullopt;
    if (!QFileInfo::exists(fileName)) {
        problem(platform, QStringLiteral("Fichier inexistant"));
        return std::nullopt;
    }
    const std::optional<QByteArray> bytes = readGameBytes(fileName);
    const std::optional<GameFileRecord> read = bytes ? decodeGameRecord(*bytes) : std::nullopt;
    if (!read) {
        problem(platform, QStringLiteral("Erreur à la lecture du fichier"));
        return std::nullopt;
    }
    // The record is kept even when the file is then refused.
    state.gameFileRecord = *read;
    const GameFileRecord &record = state.gameFileRecord;
    if (!hasGameTag(record)) {
        problem(platform, QStringLiteral("Ce n'est pas un fichier de sauvegarde de MAROVELLIX"));
        return std::nullopt;
    }
    state.gameFileName = fileName;

    TicketRecipe recipe = current;
    SectionsLoaded loaded { readGameSections(QByteArrayView(*bytes).sliced(kGameRecordSize)) };
    recipe.conditions = conditionsOfGame(loaded);
    state.officialResult = officialResultOfGame(loaded);
    std::optional<OwnSystem> own;
    if (record.gameMode == 3) {
        own = ownSystemOfGame(record, loaded);
    } else {
        // Only a game of the own-system tab uses its section.
        auto &damaged = loaded.reading.damaged;
        for (const std::array<char, 4> &kind : { kOwnSystemSection, kOwnShareSection })
            damaged.erase(std::remove(damaged.begin(), damaged.end(), kind), damaged.end());
    }
    if (record.gameMode == 1) {
        recipe.source = TicketSource::CatalogueSystem;
        recipe.systemNumber = listedSystem(record.systemNumber);
    } else if (own) {
        recipe.source = TicketSource::OwnSystem;
        recipe.ownSystem = std::move(*own);
    } else {
        recipe.source = TicketSource::Generator;
        recipe.generator.horsesToCombine = itemValue(record.combineIndex, kCombineItems, 1, 0);
        recipe.generator.horsesPerTicket = itemValue(record.ticketIndex, kTicketItems, 1, 0);
        recipe.generator.bases.baseCount = itemValue(record.baseIndex, kBaseItems, 0, -1);
        recipe.generator.reduced = record.reducedFlag == 1;
    }
    recipe.bet = betOfGame(loaded, requestHorsesPerTicket(recipe));
    reportSections(loaded, platform);
    // Box i shows item "horse" of "1".."20"; anything else leaves it empty.
    for (int i = 0; i < kMaxHorses; ++i) {
        const std::int32_t horse = record.horseNumbers[std::size_t(i)];
        recipe.boxes[std::size_t(i)] = horse >= 1 && horse <= kMaxHorses ? QString::number(horse) : QString();
    }
    return recipe;
}

} // namespace mvx
