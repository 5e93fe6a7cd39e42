#include "combi/own_system.h"

#include "combi/catalogue.h"
#include "combi/generation.h"
#include "combi/own_library.h"
#include "model/work_progress.h"

#include <QLocale>
#include <QtEndian>

#include <algorithm>

namespace mvx {

namespace {

constexpr int kFewestHorses = 3;
constexpr int kPayloadVersion = 1;
// A promise about more finishers than a ticket must hold (M > T) adds M after T.
constexpr int kAmongPayloadVersion = 2;
constexpr qsizetype kPayloadHeader = 10; // version, n, k, B, T, origin, row count
constexpr int kSharePayloadVersion = 1;

QString grouped(std::int64_t count)
{
    return QLocale(QLocale::French, QLocale::France).toString(qlonglong(count));
}

QString tickets(std::int64_t count)
{
    return count == 1 ? QStringLiteral("1 ticket") : QStringLiteral("%1 tickets").arg(grouped(count));
}

QString capitalised(QString text)
{
    if (!text.isEmpty())
        text[0] = text[0].toUpper();
    return text;
}

} // namespace

std::vector<int> guaranteeChoices(int horses, int perTicket, int bases)
{
    std::vector<int> choices;
    for (int t = bases + 1; t <= perTicket; ++t)
        if (ownRequestRefusal(SystemRequest { horses, perTicket, bases, t }).isEmpty())
            choices.push_back(t);
    return choices;
}

int defaultGuarantee(int horses, int perTicket, int bases)
{
    const std::vector<int> choices = guaranteeChoices(horses, perTicket, bases);
    if (choices.empty())
        return 0;
    return std::find(choices.begin(), choices.end(), perTicket - 1) != choices.end() ? perTicket - 1 : choices.back();
}

QString ownRequestRefusal(const SystemRequest &request)
{
    if (request.horses < kFewestHorses)
        return QStringLiteral("Il faut au moins %1 chevaux à combiner.").arg(kFewestHorses);
    if (const QString error = systemRequestError(request); !error.isEmpty())
        return capitalised(error) + QLatin1Char('.');
    // With the bases alone promised, one ticket would do: there is nothing to search.
    if (request.guarantee <= request.bases)
        return QStringLiteral("La garantie doit porter sur plus de chevaux que les bases.");
    return {};
}

QString guaranteeText(const SystemRequest &r)
{
    if (promiseSize(r) > r.guarantee) {
        // A promise about the first M: a ticket holds T of them.
        const int m = promiseSize(r);
        const QString held = QStringLiteral("Au moins un ticket contient %1 des %2 premiers").arg(r.guarantee).arg(m);
        if (r.bases == 0)
            return held + QStringLiteral(" s'ils sont dans la sélection");
        const QString bases = r.bases == 1 ? QStringLiteral("votre base") : QStringLiteral("vos %1 bases").arg(r.bases);
        const int others = m - r.bases;
        const QString rest
            = others == 1 ? QStringLiteral("1 autre cheval") : QStringLiteral("%1 autres chevaux").arg(others);
        return held + QStringLiteral(", bases comprises, si ce sont %1 et %2 de la sélection").arg(bases, rest);
    }
    const QString first
        = r.guarantee == 1 ? QStringLiteral("le premier") : QStringLiteral("les %1 premiers").arg(r.guarantee);
    if (r.bases == 0)
        return QStringLiteral("Au moins un ticket contient %1 %2 dans la sélection")
            .arg(first, r.guarantee == 1 ? QStringLiteral("s'il est") : QStringLiteral("s'ils sont"));
    const QString bases = r.bases == 1 ? QStringLiteral("votre base") : QStringLiteral("vos %1 bases").arg(r.bases);
    const int others = r.guarantee - r.bases;
    const QString rest
        = others == 1 ? QStringLiteral("1 autre cheval") : QStringLiteral("%1 autres chevaux").arg(others);
    return QStringLiteral("Au moins un ticket contient les %1 premiers si ce sont %2 et %3 de la sélection")
        .arg(r.guarantee)
        .arg(bases, rest);
}

std::int64_t ownSystemMoveBudget(const SystemRequest &r)
{
    // Some thousands of moves per subset the guarantee names, within bounds: measured here on one
    // core, a search that does not reach its bound ends in 3 to 4 s for the smallest budgets and
    // in about 30 s for the largest (20 horses, 5 per ticket, the first 4).
    constexpr std::int64_t kMovesPerSubset = 8000;
    constexpr std::int64_t kFewestMoves = 4'000'000;
    constexpr std::int64_t kMostMoves = 10'000'000;
    const std::int64_t subsets = binomial(r.horses - r.bases, r.guarantee - r.bases);
    return std::clamp(subsets * kMovesPerSubset, kFewestMoves, kMostMoves);
}

std::vector<std::vector<int>> catalogueTable(const SystemRequest &request)
{
    std::vector<std::vector<int>> best;
    for (int number = 1; number <= kSystemCount; ++number) {
        const ReducedSystem &system = reducedSystem(number);
        if (system.horseCount != request.horses || system.horsesPerTicket != request.perTicket || system.table.empty()
            || (!best.empty() && system.ticketCount >= int(best.size())))
            continue;
        std::vector<std::vector<int>> rows;
        for (int t = 1; t <= system.ticketCount; ++t) {
            const std::span<const std::uint8_t> row = system.row(t);
            rows.emplace_back(row.begin(), row.end());
        }
        if (keepsGuarantee(rows, request))
            best = std::move(rows);
    }
    return best;
}

OwnSystem readyOwnSystem(const SystemRequest &request)
{
    OwnSystem own;
    own.request = request;
    const std::vector<std::vector<int>> catalogue = catalogueTable(request);
    std::optional<LibraryTable> library = libraryTable(request);
    if (library && (catalogue.empty() || library->rows.size() < catalogue.size())) {
        own.rows = std::move(library->rows);
        own.origin = OwnTableOrigin::Library;
    } else if (!catalogue.empty()) {
        own.rows = catalogue;
        own.origin = OwnTableOrigin::Catalogue;
    }
    return own;
}

namespace {

// One search of the tab, from `start` when it keeps the share, reporting its moves after `movesBefore`
// of the progress bar and the best size among its own and `known` (0: none known).
FoundSystem searchOwnTable(const SystemRequest &request, const ReducedSearchOptions &options, std::int64_t moveBudget,
    std::uint64_t movesBefore, std::int64_t known, WorkProgress &progress)
{
    const std::int64_t full = fullTicketCount(request);
    const std::int64_t bound = shareLowerBound(request, options.sharePercent);
    SearchControl control;
    control.moveBudget = moveBudget;
    control.progress = [&](const SearchProgress &p) {
        progress.setDone(movesBefore + std::uint64_t(std::max<std::int64_t>(p.moves, 0)));
        std::int64_t best = p.bestTickets;
        if (known > 0 && (best == 0 || known < best))
            best = known;
        if (best > 0)
            progress.setStatus(
                QStringLiteral("Meilleur système trouvé : %1 (jeu complet : %2, pas moins de %3 possible)")
                    .arg(tickets(best), tickets(full))
                    .arg(bound));
        if (progress.stopRequested())
            control.requestStop();
    };
    // A stop asked for before the search began leaves it its first table.
    if (progress.stopRequested())
        control.requestStop();
    return searchReducedSystem(request, 1, control, options);
}

OwnSystem findFullGuarantee(const SystemRequest &request, std::int64_t moveBudget, WorkProgress &progress)
{
    OwnSystem ready = readyOwnSystem(request);
    const std::int64_t bound = ticketLowerBound(request);
    if (ready.hasTable() && std::int64_t(ready.rows.size()) <= bound)
        return ready;

    ReducedSearchOptions options;
    if (ready.origin == OwnTableOrigin::Library)
        options.start = ready.rows;
    FoundSystem found = searchOwnTable(request, options, moveBudget, 0, std::int64_t(ready.rows.size()), progress);
    if (ready.hasTable() && (!found.verified || ready.rows.size() <= found.rows.size()))
        return ready;
    OwnSystem own;
    own.request = request;
    if (found.verified) {
        own.rows = std::move(found.rows);
        own.origin = found.end == FoundSystem::End::Stopped ? OwnTableOrigin::Stopped : OwnTableOrigin::Searched;
    }
    return own;
}

} // namespace

OwnSystem findOwnSystem(const SystemRequest &request, WorkProgress &progress)
{
    return findFullGuarantee(request, ownSystemMoveBudget(request), progress);
}

OwnSystem findOwnSystem(const SystemRequest &request, int sharePercent, WorkProgress &progress)
{
    if (sharePercent >= 100)
        return findOwnSystem(request, progress);
    // Without a ready table, half of the moves go to the full guarantee, half to the share.
    const std::int64_t budget = ownSystemMoveBudget(request);
    OwnSystem full = readyOwnSystem(request);
    std::int64_t partialBudget = budget;
    if (!full.hasTable()) {
        full = findFullGuarantee(request, budget / 2, progress);
        partialBudget = budget - budget / 2;
    }
    OwnSystem own;
    own.request = request;
    own.sharePercent = sharePercent;
    own.fullShareTickets = std::int64_t(full.rows.size());
    if (!full.hasTable())
        return own;
    // After "Annuler" the search below returns at once with the table it starts from.
    ReducedSearchOptions options;
    options.sharePercent = sharePercent;
    options.start = full.rows;
    FoundSystem found = searchOwnTable(
        request, options, partialBudget, std::uint64_t(budget - partialBudget), own.fullShareTickets, progress);
    if (!found.verified || found.rows.size() >= full.rows.size()) {
        own.rows = std::move(full.rows);
        own.origin = full.origin;
    } else {
        own.rows = std::move(found.rows);
        own.origin = found.end == FoundSystem::End::Stopped ? OwnTableOrigin::Stopped : OwnTableOrigin::Searched;
    }
    return own;
}

QString arrivalShareText(std::int64_t won, std::int64_t all)
{
    if (all <= 0)
        return {};
    const std::int64_t tenths = won * 1000 / all;
    return QStringLiteral("%1,%2 %").arg(tenths / 10).arg(tenths % 10);
}

QString ownSystemResultText(const OwnSystem &system)
{
    if (!system.hasTable())
        return {};
    const std::int64_t size = std::int64_t(system.rows.size());
    const std::int64_t full = fullTicketCount(system.request);
    const std::int64_t bound = ticketLowerBound(system.request);
    if (system.sharePercent < 100) {
        std::int64_t reference = system.fullShareTickets;
        if (reference <= 0)
            reference = std::int64_t(readyOwnSystem(system.request).rows.size());
        const QString against = reference > 0 ? QStringLiteral("%1 pour 100 %").arg(grouped(reference))
                                              : QStringLiteral("%1 (jeu complet)").arg(grouped(full));
        const QString share
            = arrivalShareText(wonArrivalCount(system.rows, system.request), promisedArrivalCount(system.request));
        QString text = QStringLiteral("%1 au lieu de %2 — la garantie vaut pour %3 des arrivées (vérifié)")
                           .arg(tickets(size), against, share);
        if (system.origin == OwnTableOrigin::Stopped)
            text += QStringLiteral(" — recherche interrompue");
        return text;
    }
    QString text;
    if (bound >= full)
        text = QStringLiteral("%1 : le jeu complet, aucun système ne peut faire moins").arg(tickets(size));
    else if (size <= bound)
        text = QStringLiteral("%1 au lieu de %2 (aucun système ne peut faire moins de %3)")
                   .arg(tickets(size), grouped(full), grouped(bound));
    else
        text = QStringLiteral("%1 au lieu de %2 (pas moins de %3 possible)")
                   .arg(tickets(size), grouped(full), grouped(bound));
    switch (system.origin) {
    case OwnTableOrigin::Stopped:
        return text + QStringLiteral(" — recherche interrompue, garantie vérifiée");
    case OwnTableOrigin::Catalogue:
        return text + QStringLiteral(" — table du catalogue, garantie vérifiée");
    case OwnTableOrigin::Library:
        return text + QStringLiteral(" — table de la bibliothèque, garantie vérifiée");
    case OwnTableOrigin::Searched:
        break;
    }
    return text + QStringLiteral(" — garantie vérifiée");
}

std::vector<Message> checkOwnSystemRequest(const OwnSystem &system, const SelectionBoxes &boxes)
{
    if (!system.hasTable())
        return { messages::searchFirst() };
    std::vector<Message> shown = checkSelectionNumbers(boxes, false, GeneratorSettings {});
    if (shown.empty() && !firstBoxesHoldDifferentHorses(boxes, system.request.horses))
        shown.push_back(messages::wrongGeneratorSelection());
    return shown;
}

QByteArray encodeOwnSystem(const OwnSystem &system)
{
    const SystemRequest &r = system.request;
    QByteArray bytes;
    const OwnTableOrigin origin = system.origin == OwnTableOrigin::Library ? OwnTableOrigin::Searched : system.origin;
    // A promise about the first T alone is written as it always was, so that older copies read it.
    const int among = promiseSize(r);
    const bool withAmong = among != r.guarantee;
    bytes.append(char(withAmong ? kAmongPayloadVersion : kPayloadVersion));
    for (int field : { r.horses, r.perTicket, r.bases, r.guarantee })
        bytes.append(char(field));
    if (withAmong)
        bytes.append(char(among));
    bytes.append(char(origin));
    char count[4];
    qToLittleEndian<std::uint32_t>(std::uint32_t(system.rows.size()), count);
    bytes.append(count, 4);
    for (const std::vector<int> &row : system.rows)
        for (int position : row)
            bytes.append(char(position));
    return bytes;
}

std::optional<OwnSystem> decodeOwnSystem(QByteArrayView payload, bool *tableDropped, int sharePercent)
{
    if (tableDropped)
        *tableDropped = false;
    if (payload.isEmpty() || (payload[0] != char(kPayloadVersion) && payload[0] != char(kAmongPayloadVersion)))
        return std::nullopt;
    // Version 2 carries M after T: one byte more before the origin.
    const bool withAmong = payload[0] == char(kAmongPayloadVersion);
    const qsizetype header = kPayloadHeader + (withAmong ? 1 : 0);
    if (payload.size() < header)
        return std::nullopt;
    auto byte = [&](qsizetype at) { return int(static_cast<unsigned char>(payload[at])); };
    OwnSystem system;
    system.request = SystemRequest { byte(1), byte(2), byte(3), byte(4) };
    const qsizetype originAt = withAmong ? 6 : 5;
    if (withAmong) {
        // Written only for M above T: any other value is damage.
        system.request.among = byte(5);
        if (system.request.among <= system.request.guarantee)
            return std::nullopt;
    }
    if (!ownRequestRefusal(system.request).isEmpty() || byte(originAt) > int(OwnTableOrigin::Catalogue))
        return std::nullopt;
    system.origin = OwnTableOrigin(byte(originAt));
    const std::uint64_t rows = qFromLittleEndian<std::uint32_t>(payload.data() + originAt + 1);
    const int k = system.request.perTicket;
    if (rows > std::uint64_t(fullTicketCount(system.request))
        || std::uint64_t(payload.size() - header) != rows * std::uint64_t(k))
        return std::nullopt;
    for (std::uint64_t row = 0; row < rows; ++row) {
        std::vector<int> positions;
        for (int i = 0; i < k; ++i)
            positions.push_back(byte(header + qsizetype(row) * k + i));
        system.rows.push_back(std::move(positions));
    }
    // Positions out of range, repeated, without the bases or missing an arrival all fail here.
    system.sharePercent = std::clamp(sharePercent, 1, 100);
    if (system.hasTable() && !keepsShare(system.rows, system.request, system.sharePercent)) {
        system.rows.clear();
        if (tableDropped)
            *tableDropped = true;
    }
    return system;
}

QByteArray encodeOwnShare(const OwnSystem &system)
{
    QByteArray bytes;
    for (int field : { kSharePayloadVersion, system.sharePercent, int(system.origin) })
        bytes.append(char(field));
    return bytes;
}

std::optional<OwnShare> decodeOwnShare(QByteArrayView payload)
{
    if (payload.size() != 3 || payload[0] != char(kSharePayloadVersion))
        return std::nullopt;
    const int share = static_cast<unsigned char>(payload[1]);
    const int origin = static_cast<unsigned char>(payload[2]);
    if (share < 1 || share > 100 || origin > int(OwnTableOrigin::Library))
        return std::nullopt;
    return OwnShare { share, OwnTableOrigin(origin) };
}

namespace messages {
Message searchFirst()
{
    return { QStringLiteral("Cherchez d'abord un système"), QStringLiteral("Opération impossible") };
}
} // namespace messages

} // namespace mvx
