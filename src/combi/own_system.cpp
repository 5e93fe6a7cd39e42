#include "combi/own_system.h"

#include "combi/catalogue.h"
#include "combi/generation.h"
#include "model/work_progress.h"

#include <QtEndian>

#include <algorithm>

namespace mvx {

namespace {

constexpr int kFewestHorses = 3;
constexpr int kPayloadVersion = 1;
constexpr qsizetype kPayloadHeader = 10; // version, n, k, B, T, origin, row count

QString tickets(std::int64_t count)
{
    return count == 1 ? QStringLiteral("1 ticket") : QStringLiteral("%1 tickets").arg(count);
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

OwnSystem findOwnSystem(const SystemRequest &request, WorkProgress &progress)
{
    OwnSystem own;
    own.request = request;
    const std::vector<std::vector<int>> catalogue = catalogueTable(request);
    const std::int64_t full = fullTicketCount(request);
    const std::int64_t bound = ticketLowerBound(request);
    if (!catalogue.empty() && std::int64_t(catalogue.size()) <= bound) {
        own.rows = catalogue;
        own.origin = OwnTableOrigin::Catalogue;
        return own;
    }

    SearchControl control;
    control.moveBudget = ownSystemMoveBudget(request);
    control.progress = [&](const SearchProgress &p) {
        progress.setDone(std::uint64_t(std::max<std::int64_t>(p.moves, 0)));
        int best = p.bestTickets;
        if (!catalogue.empty() && (best == 0 || int(catalogue.size()) < best))
            best = int(catalogue.size());
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
    FoundSystem found = searchReducedSystem(request, 1, control);

    if (!catalogue.empty() && (!found.verified || catalogue.size() <= found.rows.size())) {
        own.rows = catalogue;
        own.origin = OwnTableOrigin::Catalogue;
    } else if (found.verified) {
        own.rows = std::move(found.rows);
        own.origin = found.end == FoundSystem::End::Stopped ? OwnTableOrigin::Stopped : OwnTableOrigin::Searched;
    }
    return own;
}

QString ownSystemResultText(const OwnSystem &system)
{
    if (!system.hasTable())
        return {};
    const std::int64_t size = std::int64_t(system.rows.size());
    const std::int64_t full = fullTicketCount(system.request);
    const std::int64_t bound = ticketLowerBound(system.request);
    QString text;
    if (bound >= full)
        text = QStringLiteral("%1 : le jeu complet, aucun système ne peut faire moins").arg(tickets(size));
    else if (size <= bound)
        text = QStringLiteral("%1 au lieu de %2 (aucun système ne peut faire moins de %3)")
                   .arg(tickets(size), QString::number(full))
                   .arg(bound);
    else
        text = QStringLiteral("%1 au lieu de %2 (pas moins de %3 possible)")
                   .arg(tickets(size), QString::number(full))
                   .arg(bound);
    switch (system.origin) {
    case OwnTableOrigin::Stopped:
        return text + QStringLiteral(" — recherche interrompue, garantie vérifiée");
    case OwnTableOrigin::Catalogue:
        return text + QStringLiteral(" — table du catalogue, garantie vérifiée");
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
    for (int field : { kPayloadVersion, r.horses, r.perTicket, r.bases, r.guarantee, int(system.origin) })
        bytes.append(char(field));
    char count[4];
    qToLittleEndian<std::uint32_t>(std::uint32_t(system.rows.size()), count);
    bytes.append(count, 4);
    for (const std::vector<int> &row : system.rows)
        for (int position : row)
            bytes.append(char(position));
    return bytes;
}

std::optional<OwnSystem> decodeOwnSystem(QByteArrayView payload, bool *tableDropped)
{
    if (tableDropped)
        *tableDropped = false;
    if (payload.size() < kPayloadHeader || payload[0] != char(kPayloadVersion))
        return std::nullopt;
    auto byte = [&](qsizetype at) { return int(static_cast<unsigned char>(payload[at])); };
    OwnSystem system;
    system.request = SystemRequest { byte(1), byte(2), byte(3), byte(4) };
    if (!ownRequestRefusal(system.request).isEmpty() || byte(5) > int(OwnTableOrigin::Catalogue))
        return std::nullopt;
    system.origin = OwnTableOrigin(byte(5));
    const std::uint64_t rows = qFromLittleEndian<std::uint32_t>(payload.data() + 6);
    const int k = system.request.perTicket;
    if (rows > std::uint64_t(fullTicketCount(system.request))
        || std::uint64_t(payload.size() - kPayloadHeader) != rows * std::uint64_t(k))
        return std::nullopt;
    for (std::uint64_t row = 0; row < rows; ++row) {
        std::vector<int> positions;
        for (int i = 0; i < k; ++i)
            positions.push_back(byte(kPayloadHeader + qsizetype(row) * k + i));
        system.rows.push_back(std::move(positions));
    }
    // Positions out of range, repeated, without the bases or missing an arrival all fail here.
    if (system.hasTable() && !keepsGuarantee(system.rows, system.request)) {
        system.rows.clear();
        if (tableDropped)
            *tableDropped = true;
    }
    return system;
}

namespace messages {
Message searchFirst()
{
    return { QStringLiteral("Cherchez d'abord un système"), QStringLiteral("Opération impossible") };
}
} // namespace messages

} // namespace mvx
