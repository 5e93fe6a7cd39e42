#include "cli/condition_options.h"

#include "cli/command.h"

namespace mvx::cli {

namespace {

// "MIN-MAX", or "N" for exactly N, each within [0, high].
std::optional<std::pair<int, int>> readRange(const QString &text, int high)
{
    const QStringList parts = text.split(QLatin1Char('-'));
    if (parts.size() > 2)
        return std::nullopt;
    const std::optional<int> low = parseNumber(parts.front(), 0, high);
    const std::optional<int> top = parseNumber(parts.back(), 0, high);
    if (!low || !top)
        return std::nullopt;
    return std::pair { *low, *top };
}

} // namespace

ConditionOptions::ConditionOptions()
    : group_(QStringLiteral("group"),
        QStringLiteral("Garde les tickets qui ont de MIN à MAX chevaux parmi H1,H2,... (jusqu'à quatre "
                       "groupes, un cheval dans un seul)."),
        QStringLiteral("H1,H2,...:MIN-MAX"))
    , sum_(QStringLiteral("sum"), QStringLiteral("Garde les tickets dont la somme des numéros va de MIN à MAX."),
          QStringLiteral("MIN-MAX"))
{ }

void ConditionOptions::addTo(QCommandLineParser &parser) const
{
    parser.addOptions({ group_, sum_ });
}

std::optional<int> ConditionOptions::read(const QCommandLineParser &parser, const char *command)
{
    conditions_ = {};
    const QStringList groups = parser.values(group_);
    for (qsizetype g = 0; g < groups.size(); ++g) {
        const qsizetype colon = groups[g].lastIndexOf(QLatin1Char(':'));
        const std::optional<std::uint32_t> horses
            = colon > 0 ? parseHorseNumbers(QStringView(groups[g]).first(colon)) : std::nullopt;
        const std::optional<std::pair<int, int>> range
            = colon > 0 ? readRange(groups[g].mid(colon + 1), kMaxPerTicket) : std::nullopt;
        if (!horses || *horses == 0 || !range)
            return usageError(command,
                QStringLiteral("groupe %1 incorrect %2 (des numéros de 1 à 20 séparés par des virgules, "
                               "deux-points, puis MIN-MAX de 0 à 8 : « 1,2,3:1-2 »)")
                    .arg(g + 1)
                    .arg(quoted(groups[g])));
        conditions_.groups.push_back({ QString(), *horses, range->first, range->second });
    }
    if (parser.isSet(sum_)) {
        const std::optional<std::pair<int, int>> range = readRange(parser.value(sum_), 999);
        if (!range)
            return usageError(
                command, QStringLiteral("somme incorrecte %1 (MIN-MAX : « 30-60 »)").arg(quoted(parser.value(sum_))));
        conditions_.sum = SumRange { range->first, range->second };
    }
    return std::nullopt;
}

} // namespace mvx::cli
