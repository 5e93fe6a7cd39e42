#include "combi/catalogue.h"
#include "combi/generation.h"

#include <QCollator>
#include <QLocale>

#include <gtest/gtest.h>

#include <set>

using namespace mvx;

TEST(Catalogue, RecordsKeepTheirDescriptionsToTheByte)
{
    EXPECT_EQ(reducedSystem(1).description(),
              QStringLiteral("quarte: 10 chevaux en  34 tickets : minimum 1 bonus3 si les 3 premiers sont parmis la "
                             "selection"));
    // Leading and trailing blanks are part of the text.
    EXPECT_TRUE(reducedSystem(29).description().startsWith(QStringLiteral(" tiercé:  1 base  +  4  chevaux")));
    EXPECT_TRUE(reducedSystem(9).description().endsWith(QStringLiteral("4 premiers ")));
    EXPECT_EQ(reducedSystem(13).baseCount, 0);
    EXPECT_EQ(reducedSystem(13).horseCount, 8);
    const ReducedSystem &last = reducedSystem(53);
    EXPECT_EQ(last.ticketCount, 26);
    EXPECT_EQ(last.horseCount, 13);
    EXPECT_EQ(last.horsesPerTicket, 4);
    EXPECT_EQ(last.baseCount, 1);
    for (int s = 1; s <= kSystemCount; ++s)
        EXPECT_LE(reducedSystem(s).description().size(), 200) << s;
}

TEST(Catalogue, ListIsInFrenchAlphabeticalOrderAndItemsCarryTheirNumber)
{
    const QStringList items = systemListItems();
    ASSERT_EQ(items.size(), kSystemCount);
    QCollator french(QLocale(QLocale::French, QLocale::France));
    french.setCaseSensitivity(Qt::CaseInsensitive);
    std::set<int> numbers;
    for (int i = 0; i < items.size(); ++i) {
        const int s = systemNumberOfItem(items[i]);
        numbers.insert(s);
        EXPECT_EQ(items[i], reducedSystem(s).description() + QString(200, QLatin1Char(' ')) + QString::number(s));
        if (i > 0) {
            EXPECT_LE(french.compare(items[i - 1], items[i]), 0) << i;
        }
    }
    EXPECT_EQ(numbers.size(), std::size_t(kSystemCount));
    // The leading blank of the tiercé systems puts them first.
    EXPECT_EQ(systemNumberOfItem(items.front()), 29);
    // "quarte: 10 chevaux" (no accent) sorts between "quarté:  9 chevaux" and "quarté: 11
    // chevaux", not after the tiercé items and before every quarté as code points put it.
    EXPECT_EQ(systemItemIndex(items, 1), 26);
    EXPECT_TRUE(items[25].startsWith(QStringLiteral("quarté:  9 chevaux")));
    EXPECT_TRUE(items[27].startsWith(QStringLiteral("quarté: 11  chevaux")));
}

TEST(Catalogue, ItemsAreFoundByNumberAndUnknownNumbersFallBackToTheFirst)
{
    const QStringList items = systemListItems();
    EXPECT_EQ(systemNumberOfItem(items[systemItemIndex(items, 7)]), 7);
    EXPECT_EQ(systemNumberOfItem(items[systemItemIndex(items, 53)]), 53);
    EXPECT_EQ(systemItemIndex(items, 0), 0);
    EXPECT_EQ(systemItemIndex(items, 54), 0);
    EXPECT_EQ(systemItemIndex(items, -7), 0);
    EXPECT_EQ(systemNumberOfItem(QStringLiteral("no number here")), -1);
    EXPECT_EQ(systemNumberOfItem(QStringLiteral("x")), -1);
}

TEST(Catalogue, GivenTablesAreKeptInTheirOwnOrder)
{
    const ReducedSystem &five = reducedSystem(5);
    ASSERT_EQ(five.table.size(), 40u);
    const auto fifth = five.row(5);
    EXPECT_EQ(std::vector<int>(fifth.begin(), fifth.end()), (std::vector<int> { 5, 6, 7, 8, 1 }));
    const auto firstOfOne = reducedSystem(1).row(1);
    EXPECT_EQ(std::vector<int>(firstOfOne.begin(), firstOfOne.end()), (std::vector<int> { 3, 4, 5, 6 }));
    const auto lastOfFour = reducedSystem(4).row(25);
    EXPECT_EQ(std::vector<int>(lastOfFour.begin(), lastOfFour.end()), (std::vector<int> { 3, 5, 6, 9 }));
}
