#include "combi/ticket_conditions.h"

#include "combi/catalogue.h"
#include "combi/generation.h"

#include <QStringDecoder>
#include <QStringList>

#include <algorithm>
#include <bit>

namespace mvx {

namespace {

const QString kTitle = QStringLiteral("Opération impossible");

Message refusal(const QString &text)
{
    return { text, kTitle };
}

// The smallest and largest sums of k different horse numbers out of 1..20.
int smallestSum(int k)
{
    return k * (k + 1) / 2;
}
int largestSum(int k)
{
    return k * (2 * kMaxHorses + 1 - k) / 2;
}

constexpr std::uint32_t kAllHorses = ((std::uint32_t(1) << kMaxHorses) - 1) << 1;
constexpr std::uint8_t kPayloadVersion = 1;
constexpr int kLongestName = 64; // bytes of UTF-8

} // namespace

int ConditionGroup::size() const
{
    return std::popcount(horses & kAllHorses);
}

bool TicketConditions::passes(std::span<const int> horses) const
{
    std::array<int, kMaxConditionGroups> inGroup {};
    int total = 0;
    for (const int h : horses) {
        total += h;
        for (std::size_t g = 0; g < groups.size() && g < inGroup.size(); ++g)
            if (groups[g].holds(h))
                ++inGroup[g];
    }
    for (std::size_t g = 0; g < groups.size() && g < inGroup.size(); ++g)
        if (inGroup[g] < groups[g].min || inGroup[g] > groups[g].max)
            return false;
    return !sum || (total >= sum->min && total <= sum->max);
}

QString groupLabel(const TicketConditions &conditions, int index)
{
    const QString name = index >= 0 && index < int(conditions.groups.size())
        ? conditions.groups[std::size_t(index)].name.trimmed()
        : QString();
    return name.isEmpty() ? QStringLiteral("groupe %1").arg(index + 1) : name;
}

std::optional<Message> checkConditions(const TicketConditions &conditions, int horsesPerTicket)
{
    if (conditions.groups.size() > std::size_t(kMaxConditionGroups))
        return refusal(
            QStringLiteral("Il ne peut y avoir que %1 groupes de chevaux au plus.").arg(kMaxConditionGroups));
    std::uint32_t seen = 0;
    int minimums = 0;
    for (std::size_t g = 0; g < conditions.groups.size(); ++g) {
        const ConditionGroup &group = conditions.groups[g];
        const QString label = QStringLiteral("Groupe « %1 » : ").arg(groupLabel(conditions, int(g)));
        if ((group.horses & ~kAllHorses) != 0)
            return refusal(label + QStringLiteral("les numéros des chevaux vont de 1 à %1.").arg(kMaxHorses));
        if (const std::uint32_t twice = group.horses & seen) {
            const int horse = std::countr_zero(twice);
            std::size_t other = 0;
            while (!conditions.groups[other].holds(horse))
                ++other;
            return refusal(QStringLiteral("Le cheval %1 est à la fois dans le groupe « %2 » et dans le groupe « %3 ».")
                               .arg(horse)
                               .arg(groupLabel(conditions, int(other)), groupLabel(conditions, int(g))));
        }
        seen |= group.horses;
        if (group.min < 0 || group.max < 0 || group.min > kMaxPerTicket || group.max > kMaxPerTicket)
            return refusal(label + QStringLiteral("le minimum et le maximum vont de 0 à %1.").arg(kMaxPerTicket));
        if (group.min > group.max)
            return refusal(
                label + QStringLiteral("le minimum (%1) dépasse le maximum (%2).").arg(group.min).arg(group.max));
        if (group.min > group.size())
            return refusal(label
                + QStringLiteral("le minimum (%1) dépasse le nombre de chevaux du groupe (%2).")
                      .arg(group.min)
                      .arg(group.size()));
        if (horsesPerTicket > 0 && group.min > horsesPerTicket)
            return refusal(label
                + QStringLiteral("le minimum (%1) dépasse le nombre de chevaux d'un ticket (%2).")
                      .arg(group.min)
                      .arg(horsesPerTicket));
        minimums += group.min;
    }
    if (horsesPerTicket > 0 && minimums > horsesPerTicket)
        return refusal(
            QStringLiteral("Les minimums des groupes demandent ensemble %1 chevaux, plus que les %2 d'un ticket.")
                .arg(minimums)
                .arg(horsesPerTicket));
    if (const std::optional<SumRange> &sum = conditions.sum) {
        const QString label = QStringLiteral("Somme des numéros : ");
        if (sum->min > sum->max)
            return refusal(
                label + QStringLiteral("le minimum (%1) dépasse le maximum (%2).").arg(sum->min).arg(sum->max));
        // The widest a sum can be: one horse to the eight highest numbers.
        const int low = horsesPerTicket > 0 ? smallestSum(horsesPerTicket) : 1;
        const int high = largestSum(horsesPerTicket > 0 ? horsesPerTicket : kMaxPerTicket);
        if (sum->max < low || sum->min > high) {
            const QString which
                = horsesPerTicket > 0 ? QStringLiteral("de %1 chevaux ").arg(horsesPerTicket) : QString();
            return refusal(label
                + QStringLiteral("aucun ticket %1n'a une somme entre %2 et %3 (elle va de %4 à %5).")
                      .arg(which)
                      .arg(sum->min)
                      .arg(sum->max)
                      .arg(low)
                      .arg(high));
        }
    }
    return std::nullopt;
}

std::optional<std::uint32_t> parseHorseNumbers(QStringView text)
{
    std::uint32_t horses = 0;
    qsizetype i = 0;
    while (i < text.size()) {
        const QChar c = text[i];
        if (c == QLatin1Char(',') || c.isSpace()) {
            ++i;
            continue;
        }
        int number = 0;
        qsizetype digits = 0;
        while (i < text.size() && text[i] >= QLatin1Char('0') && text[i] <= QLatin1Char('9') && digits < 3) {
            number = number * 10 + (text[i].unicode() - '0');
            ++i;
            ++digits;
        }
        if (digits == 0 || number < 1 || number > kMaxHorses || (horses >> number & 1u) != 0)
            return std::nullopt;
        if (i < text.size() && text[i] != QLatin1Char(',') && !text[i].isSpace())
            return std::nullopt;
        horses |= std::uint32_t(1) << number;
    }
    return horses;
}

QString horseNumbersText(std::uint32_t horses)
{
    QStringList numbers;
    for (int h = 1; h <= kMaxHorses; ++h)
        if (horses >> h & 1u)
            numbers.append(QString::number(h));
    return numbers.join(QStringLiteral(", "));
}

// ---------------------------------------------------------------------------------------------
// The check inside the generation walk

ConditionCheck::ConditionCheck(
    const TicketConditions &conditions, const Selection &selection, const TicketLayout &layout)
{
    groupCount_ = int(std::min<std::size_t>(conditions.groups.size(), kMaxConditionGroups));
    for (int g = 0; g < groupCount_; ++g) {
        min_[std::size_t(g)] = conditions.groups[std::size_t(g)].min;
        max_[std::size_t(g)] = conditions.groups[std::size_t(g)].max;
    }
    hasSum_ = conditions.sum.has_value();
    if (hasSum_) {
        sumMin_ = conditions.sum->min;
        sumMax_ = conditions.sum->max;
    }
    auto groupOfHorse = [&](int horse) {
        for (int g = 0; g < groupCount_; ++g)
            if (conditions.groups[std::size_t(g)].holds(horse))
                return g;
        return kMaxConditionGroups;
    };
    groupOf_.fill(std::uint8_t(kMaxConditionGroups));
    for (int letter = 0; letter < 32; ++letter) {
        const int horse = letter < kMaxHorses ? selection.otherHorses[std::size_t(letter + 1)] : 0;
        const int group = groupOfHorse(horse);
        const int number = std::clamp(horse, 0, kMaxHorses);
        groupOf_[std::size_t(letter)] = std::uint8_t(group);
        horseOf_[std::size_t(letter)] = std::uint8_t(number);
        lettersIn_[std::size_t(group)] |= std::uint32_t(1) << letter;
        for (int x = number; x <= kMaxHorses; ++x)
            lettersUpTo_[std::size_t(x)] |= std::uint32_t(1) << letter;
    }
    // Letters past the twentieth read as horse 0: in no group, nothing to the sum.
    for (int b = 1; b <= std::clamp(layout.baseCount, 0, 3); ++b) {
        const int horse = selection.baseHorses[std::size_t(b)];
        const int group = groupOfHorse(horse);
        if (group < kMaxConditionGroups)
            ++bases_.inGroup[std::size_t(group)];
        bases_.sum += horse;
    }
}

std::uint32_t ConditionCheck::acceptedLast(std::span<const char> prefix) const
{
    Tally tally = bases_;
    for (const char letter : prefix)
        addLetter(tally, letter);
    return acceptedLast(tally);
}

std::uint32_t ConditionCheck::acceptedLast(const Tally &tally) const
{ // The groups the last letter may come from: every group still below its maximum when no
    // group lacks a horse, or only the one group one horse short of its minimum.
    int short_ = -1;
    std::uint32_t fromGroups = lettersIn_[kMaxConditionGroups];
    for (int g = 0; g < groupCount_; ++g) {
        const int n = tally.inGroup[std::size_t(g)];
        if (n > max_[std::size_t(g)] || n < min_[std::size_t(g)] - 1)
            return 0;
        if (n == min_[std::size_t(g)] - 1) {
            if (short_ >= 0)
                return 0;
            short_ = g;
        }
        if (n < max_[std::size_t(g)])
            fromGroups |= lettersIn_[std::size_t(g)];
    }
    if (short_ >= 0)
        fromGroups = lettersIn_[std::size_t(short_)];
    if (!hasSum_)
        return fromGroups;
    const int low = sumMin_ - tally.sum;
    const int high = std::min(sumMax_ - tally.sum, kMaxHorses);
    if (high < 0 || low > high)
        return 0;
    const std::uint32_t inRange
        = lettersUpTo_[std::size_t(high)] & (low > 0 ? ~lettersUpTo_[std::size_t(low - 1)] : ~0u);
    return fromGroups & inRange;
}

bool ConditionCheck::passes(std::span<const char> letters) const
{
    Tally tally = bases_;
    for (const char letter : letters)
        addLetter(tally, letter);
    for (int g = 0; g < groupCount_; ++g)
        if (tally.inGroup[std::size_t(g)] < min_[std::size_t(g)]
            || tally.inGroup[std::size_t(g)] > max_[std::size_t(g)])
            return false;
    return !hasSum_ || (tally.sum >= sumMin_ && tally.sum <= sumMax_);
}

// ---------------------------------------------------------------------------------------------
// Counting

namespace {

// The sets of `depth` letters out of the first `pool` that pass: every prefix of depth - 1
// letters in increasing order, and the letters after its last that may end it.
std::uint64_t countLetterSets(const ConditionCheck &check, int pool, int depth)
{
    if (depth == 0) {
        return check.passes({}) ? 1 : 0;
    }
    const std::uint32_t inPool = pool >= 32 ? ~0u : (std::uint32_t(1) << pool) - 1;
    std::array<char, kMaxLetters> prefix {};
    std::uint64_t total = 0;
    // Depth-first over increasing prefixes.
    auto walk = [&](auto &self, int at, int from) -> void {
        if (at == depth - 1) {
            const std::uint32_t after = inPool & ~((std::uint32_t(1) << from) - 1);
            total += std::uint64_t(
                std::popcount(check.acceptedLast(std::span<const char>(prefix.data(), std::size_t(at))) & after));
            return;
        }
        for (int letter = from; letter <= pool - (depth - at); ++letter) {
            prefix[std::size_t(at)] = char('A' + letter);
            self(self, at + 1, letter + 1);
        }
    };
    walk(walk, 0, 0);
    return total;
}

} // namespace

std::uint64_t countConditionedTickets(
    const GeneratorSettings &generator, const Selection &selection, const TicketConditions &conditions)
{
    if (conditions.isEmpty())
        return countTickets(generator);
    const int pool = generator.horsesToCombine - generator.bases.baseCount;
    const int depth = generator.horsesPerTicket - generator.bases.baseCount;
    if (pool < 0 || depth < 0 || depth > pool || pool > kMaxHorses || depth > kMaxLetters)
        return 0;
    const ConditionCheck check(conditions, selection, generatorLayout(generator));
    std::uint64_t count = countLetterSets(check, pool, depth);
    if (!generator.reduced)
        for (int i = 2; i <= depth; ++i)
            count *= std::uint64_t(i);
    return count;
}

namespace {

// The rows of a table that pass, each read as a ticket of letters.
template <typename RowAt>
std::uint64_t countPassingRows(const ConditionCheck &check, std::int64_t rows, int perTicket, RowAt rowAt)
{
    std::uint64_t count = 0;
    TicketLetters letters {};
    for (std::int64_t t = 1; t <= rows; ++t) {
        const auto &row = rowAt(t);
        for (int i = 0; i < perTicket; ++i)
            letters[std::size_t(i)] = char(64 + row[std::size_t(i)]);
        if (check.passes(std::span<const char>(letters.data(), std::size_t(perTicket))))
            ++count;
    }
    return count;
}

} // namespace

std::uint64_t countConditionedTickets(int systemNumber, const Selection &selection, const TicketConditions &conditions)
{
    const ReducedSystem &system = reducedSystem(systemNumber);
    const int perTicket = std::clamp(system.horsesPerTicket, 0, kMaxLetters);
    const std::int64_t rows = perTicket > 0 ? std::int64_t(system.table.size()) / perTicket : 0;
    const ConditionCheck check(conditions, selection, systemLayout(systemNumber));
    return countPassingRows(check, rows, perTicket, [&](std::int64_t t) { return system.row(int(t)); });
}

std::uint64_t countConditionedTickets(const std::vector<std::vector<int>> &rows, int perTicket,
    const Selection &selection, const TicketConditions &conditions)
{
    perTicket = std::clamp(perTicket, 0, kMaxLetters);
    const ConditionCheck check(conditions, selection, tableLayout(perTicket));
    return countPassingRows(check, tableRowsToRead(rows, perTicket), perTicket,
        [&](std::int64_t t) -> const std::vector<int> & { return rows[std::size_t(t - 1)]; });
}

// ---------------------------------------------------------------------------------------------
// The game file's payload: version byte, group count, per group the name (length byte and
// UTF-8), the horses (32 bits, little-endian, bit h for horse h), minimum and maximum (a byte
// each); then 0 or 1 for the sum range and, with 1, its minimum and maximum (16 bits each).

QByteArray encodeConditions(const TicketConditions &conditions)
{
    QByteArray out;
    auto put16 = [&](int v) {
        out.append(char(v & 0xff));
        out.append(char((v >> 8) & 0xff));
    };
    out.append(char(kPayloadVersion));
    out.append(char(conditions.groups.size()));
    for (const ConditionGroup &group : conditions.groups) {
        // A long name is cut between characters.
        QString kept = group.name;
        while (kept.toUtf8().size() > kLongestName) {
            kept.chop(1);
            if (!kept.isEmpty() && kept.back().isHighSurrogate())
                kept.chop(1);
        }
        const QByteArray name = kept.toUtf8();
        out.append(char(name.size()));
        out.append(name);
        for (int shift = 0; shift < 32; shift += 8)
            out.append(char((group.horses >> shift) & 0xff));
        out.append(char(group.min));
        out.append(char(group.max));
    }
    out.append(char(conditions.sum ? 1 : 0));
    if (conditions.sum) {
        put16(conditions.sum->min);
        put16(conditions.sum->max);
    }
    return out;
}

std::optional<TicketConditions> decodeConditions(QByteArrayView payload)
{
    qsizetype at = 0;
    auto byte = [&]() -> std::optional<int> {
        if (at >= payload.size())
            return std::nullopt;
        return int(static_cast<unsigned char>(payload[at++]));
    };
    const std::optional<int> version = byte();
    const std::optional<int> groups = byte();
    if (version != kPayloadVersion || !groups || *groups > kMaxConditionGroups)
        return std::nullopt;
    TicketConditions conditions;
    for (int g = 0; g < *groups; ++g) {
        const std::optional<int> length = byte();
        if (!length || *length > kLongestName || payload.size() - at < *length + 6)
            return std::nullopt;
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        ConditionGroup group;
        group.name = utf8(payload.sliced(at, *length));
        if (utf8.hasError())
            return std::nullopt;
        at += *length;
        group.horses = 0;
        for (int shift = 0; shift < 32; shift += 8)
            group.horses |= std::uint32_t(*byte()) << shift;
        group.min = *byte();
        group.max = *byte();
        conditions.groups.push_back(group);
    }
    const std::optional<int> hasSum = byte();
    if (!hasSum || *hasSum > 1)
        return std::nullopt;
    if (*hasSum == 1) {
        if (payload.size() - at < 4)
            return std::nullopt;
        SumRange sum;
        sum.min = *byte();
        sum.min |= *byte() << 8;
        sum.max = *byte();
        sum.max |= *byte() << 8;
        conditions.sum = sum;
    }
    if (at != payload.size() || checkConditions(conditions, 0))
        return std::nullopt;
    return conditions;
}

namespace messages {
Message noTicketMeetsConditions()
{
    return { QStringLiteral("Aucun ticket ne remplit les conditions"), kTitle };
}
} // namespace messages

} // namespace mvx
