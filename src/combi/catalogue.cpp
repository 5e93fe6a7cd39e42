#include "combi/catalogue.h"

#include "combi/integer_text.h"

#include <algorithm>
#include "combi/system_tables_data.h"

#include <QCollator>
#include <QLocale>

#include <array>
#include <cassert>

namespace mvx {

namespace {

struct SystemRecord
{
    int number;
    int ticketCount;
    int horseCount;
    int horsesPerTicket;
    int baseCount;
    const char *description;
};

// Number, tickets, horses (bases included), horses per ticket, bases, description as listed.
constexpr SystemRecord kRecords[kSystemCount] = {
    { 1, 34, 10, 4, 0, "quarte: 10 chevaux en  34 tickets : minimum 1 bonus3 si les 3 premiers sont parmis la selection" },
    { 2, 4, 6, 5, 0, "quinté:  6 chevaux en 4 tickets : minimum 1 bonus3 si les 3 premiers sont parmis la selection" },
    { 3, 9, 7, 5, 0, "quinté:  7 chevaux en 9 tickets : minimum 1 bonus4 si les 4 premiers sont parmis la selection" },
    { 4, 25, 9, 4, 0, "quarté:  9 chevaux en 25 tickets : minimum 1 bonus3 si les 3 premiers sont parmis la selection" },
    { 5, 8, 8, 5, 0, "quinté:  8 chevaux en  8 tickets : minimum 1 bonus3 si les 3 premiers sont parmis la selection" },
    { 6, 12, 9, 5, 0, "quinté:  9 chevaux en 12 tickets : minimum 1 bonus3 si les 3 premiers sont parmis la selection" },
    { 7, 11, 12, 5, 1, "quinté:  1 base + 11 chevaux en 11 tickets : minimum 1 bonus3 la base + 2 chevaux de la sélection dans les 3 premiers" },
    { 8, 51, 10, 5, 0, "quinté: 10 chevaux en 51 tickets : minimum 1 bonus4 si les 4 premiers sont parmis la selection" },
    { 9, 14, 9, 5, 1, "quinté:  1 base +  8 chevaux en 14 tickets : minimum 1 bonus4 si la base + 3 chevaux de la sélection dans les 4 premiers " },
    { 10, 12, 8, 5, 1, "quinté:  1 base +  7 chevaux en 12 tickets : minimum 1 bonus4 si la base + 3 chevaux de la sélection dans les 4 premiers " },
    { 11, 20, 8, 5, 0, "quinté:  8 chevaux en 20 tickets : minimum 1 bonus4 si 4 premiers sont parmis la selection" },
    { 12, 30, 9, 5, 0, "quinté:  9 chevaux en 30 tickets : minimum 1 bonus4 si 4 premiers sont parmis la selection" },
    { 13, 7, 8, 4, 0, "quarté:  1 base  +  7  chevaux en  7 tickets : minimum 1 bonus si la base + 2 chevaux de la sélection dans les 3 premiers" },
    { 14, 66, 11, 5, 0, "quinté: 11 chevaux en 66 tickets : minimum 1 bonus4 si 4 premiers sont parmis la selection" },
    { 15, 113, 12, 5, 0, "quinté: 12 chevaux en 113 tickets : minimum 1 bonus4 si 4 premiers sont parmis la selection" },
    { 16, 157, 13, 5, 0, "quinté: 13 chevaux en 157 tickets : minimum 1 bonus4 si 4 premiers sont parmis la selection" },
    { 17, 230, 14, 5, 0, "quinté: 14 chevaux en 230 tickets : minimum 1 bonus4 si 4 premiers sont parmis la selection" },
    { 18, 50, 11, 4, 0, "quarté: 11  chevaux en  50 tickets : minimum 1 bonus si 4 premiers sont parmis la selection" },
    { 19, 14, 8, 4, 0, "quarté:  8  chevaux en  14 tickets : minimum 1 bonus si 4 premiers sont parmis la selection" },
    { 20, 25, 10, 5, 1, "quinté:  1 base +  9 chevaux en 25 tickets : minimum 1 bonus4 si la base + 3 chevaux de la sélection dans les 4 premiers" },
    { 21, 34, 11, 5, 1, "quinté:  1 base + 10 chevaux en 34 tickets : minimum 1 bonus4 si la base + 3 chevaux de la sélection dans les 4 premiers" },
    { 22, 50, 12, 5, 1, "quinté:  1 base + 11 chevaux en 50 tickets : minimum 1 bonus4 si la base + 3 chevaux de la sélection dans les 4 premiers" },
    { 23, 12, 7, 4, 0, "quarté:  7  chevaux en  12 tickets : minimum 1 bonus si 4 premiers sont parmis la selection" },
    { 24, 6, 7, 4, 1, "quarté:  1 base  +  6  chevaux en  6 tickets : minimum 1 bonus si la base + 2 chevaux de la sélection dans les 3 premiers" },
    { 25, 6, 8, 5, 2, "quinté:  2 bases  +  6  chevaux en  6 tickets : minimum 1 bonus 4 si les bases + 2 chevaux de la sélection dans les 4 premiers " },
    { 26, 7, 9, 5, 2, "quinté:  2 bases  +  7  chevaux en  7 tickets : minimum 1 bonus 4 si les bases + 2 chevaux de la sélection dans les 4 premiers" },
    { 27, 12, 10, 4, 1, "quarté:  1 base  +  9  chevaux en 12 tickets : minimum 1 bonus si la base + 2 chevaux de la sélection dans les 3 premiers " },
    { 28, 12, 11, 5, 2, "quinté:  2 bases  +  9  chevaux en 12 tickets : minimum 1 bonus 4 si les bases + 2 chevaux de la selection dans les 4 premiers" },
    { 29, 6, 5, 3, 1, " tiercé:  1 base  +  4  chevaux en  6 tickets : minimum desordre si la base + 2 chevaux de la selection dans les 3 premiers" },
    { 30, 10, 6, 3, 1, " tiercé:  1 base  +  5  chevaux en 10 tickets : minimum desordre si la base + 2 chevaux de la selection dans les 3 premiers" },
    { 31, 35, 8, 5, 1, "quinte:  1 base  +  7  chevaux en 35 tickets : minimum desordre si la base + 4 chevaux de la selection dans les 5 premiers" },
    { 32, 70, 9, 5, 1, "quinte:  1 base  +  8  chevaux en 70 tickets : minimum desordre si la base + 4 chevaux de la selection dans les 5 premiers" },
    { 33, 45, 11, 3, 1, " tiercé:  1 base  + 10  chevaux en 45 tickets : minimum desordre si la base + 2 chevaux de la selection dans les 3 premiers" },
    { 34, 15, 7, 3, 1, " tiercé:  1 base  +  6  chevaux en 15 tickets : minimum desordre si la base + 2 chevaux de la selection dans les 3 premiers" },
    { 35, 21, 8, 3, 1, " tiercé:  1 base  +  7  chevaux en 21 tickets : minimum desordre si la base + 2 chevaux de la selection dans les 3 premiers" },
    { 36, 28, 9, 3, 1, " tiercé:  1 base  +  8  chevaux en 28 tickets : minimum desordre si la base + 2 chevaux de la selection dans les 3 premiers" },
    { 37, 36, 10, 3, 1, " tiercé:  1 base  +  9  chevaux en 36 tickets : minimum desordre si la base + 2 chevaux de la selection dans les 3 premiers" },
    { 38, 15, 8, 4, 2, "quarté:  2 bases  +  6  chevaux en 15 tickets : minimum desordre si les bases + 2 chevaux de la selection dans les 4 premiers" },
    { 39, 21, 9, 4, 2, "quarté:  2 bases  +  7  chevaux en 21 tickets : minimum desordre si les bases + 2 chevaux de la selection dans les 4 premiers" },
    { 40, 28, 10, 4, 2, "quarté:  2 bases  +  8  chevaux en 28 tickets : minimum desordre si les bases + 2 chevaux de la selection dans les 4 premiers" },
    { 41, 36, 11, 4, 2, "quarté:  2 bases  +  9  chevaux en 36 tickets : minimum desordre si les bases + 2 chevaux de la selection dans les 4 premiers" },
    { 42, 20, 7, 4, 1, "quarté:  1 base  +  6  chevaux en 20 tickets : minimum desordre si la base + 3 chevaux de la selection dans les 4 premiers" },
    { 43, 20, 8, 5, 2, "quinté:  2 bases  +  6  chevaux en 20 tickets : minimum desordre si les bases + 3 chevaux de la selection dans les 5 premiers" },
    { 44, 56, 9, 4, 1, "quarté:  1 base  +  8  chevaux en 56 tickets : minimum desordre si la base + 3 chevaux de la selection dans les 4 premiers" },
    { 45, 56, 10, 5, 2, "quinté:  2 bases  +  8  chevaux en 56 tickets : minimum desordre si les bases + 3 chevaux de la selection dans les 5 premiers" },
    { 46, 35, 8, 4, 1, "quarté:  1 base  +  7  chevaux en 35 tickets : minimum desordre si la base + 3 chevaux de la selection dans les 4 premiers" },
    { 47, 35, 9, 5, 2, "quinté:  2 bases  +  7  chevaux en 35 tickets : minimum desordre si les bases + 3 chevaux de la selection dans les 5 premiers" },
    { 48, 45, 12, 4, 2, "quarté:  2 bases  + 10  chevaux en 45 tickets : minimum desordre si les bases + 2 chevaux de la selection dans les 4 premiers" },
    { 49, 120, 11, 4, 1, "quarté:  1 base  + 10  chevaux en 120 tickets : minimum desordre si la base + 3 chevaux de la selection dans les 4 premiers" },
    { 50, 165, 12, 4, 1, "quarté:  1 base  + 11  chevaux en 165 tickets : minimum desordre si la base + 3 chevaux de la selection dans les 4 premiers" },
    { 51, 18, 11, 4, 1, "quarté:  1 base  + 10  chevaux en  18 tickets : minimum 1 bonus si la base + 2 chevaux de la selection dans les 3 premiers" },
    { 52, 23, 12, 4, 1, "quarté:  1 base  + 11  chevaux en  23 tickets : minimum 1 bonus si la base + 2 chevaux de la selection dans les 3 premiers" },
    { 53, 26, 13, 4, 1, "quarté:  1 base  + 12  chevaux en  26 tickets : minimum 1 bonus si la base + 2 chevaux de la selection dans les 3 premiers" },
};

std::array<ReducedSystem, kSystemCount + 1> buildSystems()
{
    std::array<ReducedSystem, kSystemCount + 1> systems {};
    for (const SystemRecord &r : kRecords) {
        const detail::SystemTableIndex &t = detail::kSystemTables[r.number];
        ReducedSystem &s = systems[r.number];
        s.number = r.number;
        s.descriptionUtf8 = r.description;
        s.ticketCount = r.ticketCount;
        s.horseCount = r.horseCount;
        s.horsesPerTicket = r.horsesPerTicket;
        s.baseCount = r.baseCount;
        // A table whose shape does not match its record is never handed out; the table
        // tests report such a mismatch.
        if (t.rows == r.ticketCount && t.width == r.horsesPerTicket)
            s.table = std::span(detail::kSystemTableData + t.offset, std::size_t(t.rows) * std::size_t(t.width));
    }
    return systems;
}

} // namespace

const ReducedSystem &reducedSystem(int number)
{
    static const std::array<ReducedSystem, kSystemCount + 1> systems = buildSystems();
    assert(number >= 1 && number <= kSystemCount);
    return systems[std::size_t(number)];
}

QStringList systemListItems()
{
    QStringList items;
    items.reserve(kSystemCount);
    const QString gap(200, QLatin1Char(' '));
    for (int s = 1; s <= kSystemCount; ++s)
        items.append(reducedSystem(s).description() + gap + QString::number(s));
    // The list box keeps its items in alphabetical order, case-insensitively: French
    // collation, where "quarte" sorts among the "quarté" items rather than before them all.
    QCollator collator(QLocale(QLocale::French, QLocale::France));
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(items.begin(), items.end(),
                     [&collator](const QString &a, const QString &b) { return collator.compare(a, b) < 0; });
    return items;
}

int systemNumberOfItem(const QString &itemText)
{
    const std::optional<std::int32_t> n = parseInteger(QStringView(itemText).right(3));
    return n ? *n : -1;
}

int systemItemIndex(const QStringList &items, int s)
{
    int found = -1;
    for (int i = 0; i < items.size(); ++i)
        if (systemNumberOfItem(items[i]) == s)
            found = i;
    return found < 0 ? 0 : found;
}

} // namespace mvx
