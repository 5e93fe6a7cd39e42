#include "combi/selection.h"

#include "combi/integer_text.h"

#include <algorithm>

namespace mvx {

namespace messages {
Message wrongNumbers()
{
    return { QStringLiteral("Les numeros saisis ne sont pas corrects"), QStringLiteral("Opération Impossible") };
}
Message wrongBasePositions()
{
    return { QStringLiteral("Les positions des bases ne sont pas correctes"), QStringLiteral("Opération Impossible") };
}
Message wrongGeneratorSelection()
{
    return { QStringLiteral("Il y a une erreur dans votre sélection"), QStringLiteral("Opération impossible") };
}
} // namespace messages

void readSelection(const SelectionBoxes &boxes, int baseCount, Selection &selection)
{
    selection = Selection {};
    baseCount = std::clamp(baseCount, 0, 3);
    int read = 0;
    for (const QString &text : boxes) {
        if (text.trimmed().isEmpty())
            continue;
        const std::optional<std::int32_t> horse = parseInteger(text);
        if (!horse || *horse > kMaxHorses)
            continue;
        ++read;
        if (read <= baseCount)
            selection.baseHorses[std::size_t(read)] = *horse;
        else
            selection.otherHorses[std::size_t(read - baseCount)] = *horse;
    }
}

std::vector<Message> checkSelectionNumbers(const SelectionBoxes &boxes, bool generatorTab,
                                           const GeneratorSettings &generator)
{
    std::vector<Message> shown;
    for (const QString &text : boxes) {
        if (text.trimmed().isEmpty())
            continue;
        const std::optional<std::int32_t> horse = parseInteger(text);
        if (!horse || *horse < 1 || *horse > kMaxHorses) {
            shown.push_back(messages::wrongNumbers());
            break;
        }
    }
    if (generatorTab && !checkBasePositions(generator))
        shown.push_back(messages::wrongBasePositions());
    return shown;
}

bool checkBasePositions(const GeneratorSettings &generator)
{
    const int b = generator.bases.baseCount;
    const int k = generator.horsesPerTicket;
    const auto &p = generator.bases.positions;
    if (b == 2 && p[0] == p[1])
        return false;
    if (b == 3 && (p[0] == p[1] || p[0] == p[2] || p[1] == p[2]))
        return false;
    for (int i = 0; i < std::min(b, 3); ++i)
        if (p[std::size_t(i)] > k)
            return false;
    return true;
}

bool checkGeneratorSelection(const SelectionBoxes &boxes, const GeneratorSettings &generator)
{
    const int n = generator.horsesToCombine;
    const int k = generator.horsesPerTicket;
    const int b = generator.bases.baseCount;
    if (n < 1 || n > kMaxHorses || k < 1 || b < 0 || b > 3 || n < k || k < b)
        return false;
    return firstBoxesHoldDifferentHorses(boxes, n);
}

bool firstBoxesHoldDifferentHorses(const SelectionBoxes &boxes, int count)
{
    if (count < 0 || count > kMaxHorses)
        return false;
    std::array<int, kMaxHorses + 1> tally {};
    for (int i = 0; i < count; ++i) {
        const std::optional<std::int32_t> horse = parseInteger(boxes[std::size_t(i)]);
        if (!horse)
            return false;
        // Numbers out of range were already refused by the number check; they are not tallied.
        if (*horse >= 0 && *horse <= kMaxHorses && ++tally[std::size_t(*horse)] > 1)
            return false;
    }
    return true;
}

BaseSettings readBaseSettings(int baseCountIndex, const std::array<int, 3> &positionIndexes)
{
    BaseSettings settings;
    settings.baseCount = baseCountIndex;
    for (std::size_t i = 0; i < 3; ++i)
        settings.positions[i] = positionIndexes[i] + 1;
    return settings;
}

} // namespace mvx
