#include "combi/integer_text.h"
#include "combi/selection.h"

#include "support/test_data.h"

#include <gtest/gtest.h>

using namespace mvx;

namespace {

SelectionBoxes boxes(std::initializer_list<const char *> texts)
{
    return mvx::testing::selectionBoxes(texts);
}

GeneratorSettings generator(int n, int k, int b = 0, std::array<int, 3> positions = { 1, 2, 3 })
{
    GeneratorSettings g;
    g.horsesToCombine = n;
    g.horsesPerTicket = k;
    g.bases.baseCount = b;
    g.bases.positions = positions;
    return g;
}

} // namespace

TEST(IntegerText, AcceptsWhatAConversionAcceptsAndNothingMore)
{
    EXPECT_EQ(parseInteger(u"12"), 12);
    EXPECT_EQ(parseInteger(u"  7"), 7);
    EXPECT_EQ(parseInteger(u"05"), 5);
    EXPECT_EQ(parseInteger(u"-3"), -3);
    EXPECT_EQ(parseInteger(u"+4"), 4);
    EXPECT_EQ(parseInteger(u"2147483647"), 2147483647);
    EXPECT_EQ(parseInteger(u"-2147483648"), INT32_MIN);
    for (const char16_t *bad : { u"", u"   ", u"7 ", u"1a", u"-", u"+", u"2147483648", u"1.5", u"1,5", u"٣" })
        EXPECT_FALSE(parseInteger(bad).has_value()) << QString::fromUtf16(bad).toStdString();
}

TEST(ReadSelection, PacksValidNumbersInBoxOrderAndSplitsTheBases)
{
    Selection s;
    readSelection(boxes({ "7", "", "3", "05", "abc", "21", "12" }), 1, s);
    EXPECT_EQ(s.baseHorses[1], 7);
    EXPECT_EQ(s.otherHorses[1], 3);
    EXPECT_EQ(s.otherHorses[2], 5);  // a leading zero is horse 5
    EXPECT_EQ(s.otherHorses[3], 12); // empty, non-numeric and 21 are skipped
    EXPECT_EQ(s.otherHorses[4], 0);
}

TEST(ReadSelection, ClearsSlotsLeftOverFromAnEarlierReading)
{
    Selection s;
    readSelection(boxes({ "1", "2", "3", "4", "5", "6" }), 0, s);
    ASSERT_EQ(s.otherHorses[6], 6);
    readSelection(boxes({ "9", "8", "7", "10" }), 0, s);
    EXPECT_EQ(s.otherHorses[4], 10);
    EXPECT_EQ(s.otherHorses[5], 0);
    EXPECT_EQ(s.otherHorses[6], 0);
    readSelection(boxes({ "9", "8", "7", "10" }), 2, s);
    EXPECT_EQ(s.baseHorses[2], 8);
    EXPECT_EQ(s.otherHorses[3], 0) << "the other horses move down when bases are taken";
}

TEST(CheckSelectionNumbers, ReportsEachMessageOnceAndInOrder)
{
    const GeneratorSettings fine = generator(4, 3);
    EXPECT_TRUE(checkSelectionNumbers(boxes({ "20", "", "1" }), false, fine).empty());

    SelectionBoxes hidden = boxes({ "1", "2" });
    hidden[19] = QStringLiteral("21"); // a hidden box still counts
    EXPECT_EQ(checkSelectionNumbers(hidden, false, fine), std::vector<Message> { messages::wrongNumbers() });
    EXPECT_EQ(checkSelectionNumbers(boxes({ "0", "x" }), false, fine).size(), 1u);

    // Both messages, number check first, when the generator's base positions clash too.
    const GeneratorSettings clash = generator(5, 4, 2, { 1, 1, 3 });
    const std::vector<Message> both = checkSelectionNumbers(boxes({ "0" }), true, clash);
    ASSERT_EQ(both.size(), 2u);
    EXPECT_EQ(both[0].text, QStringLiteral("Les numeros saisis ne sont pas corrects"));
    EXPECT_EQ(both[0].title, QStringLiteral("Opération Impossible"));
    EXPECT_EQ(both[1].text, QStringLiteral("Les positions des bases ne sont pas correctes"));
    // The base positions are not looked at on the reduced-system tab.
    EXPECT_TRUE(checkSelectionNumbers(boxes({ "3" }), false, clash).empty());
}

TEST(CheckBasePositions, RefusesRepeatedOrOutOfTicketPositions)
{
    EXPECT_TRUE(checkBasePositions(generator(5, 3, 0, { 5, 5, 5 })));
    EXPECT_FALSE(checkBasePositions(generator(5, 3, 2, { 1, 1, 3 })));
    EXPECT_FALSE(checkBasePositions(generator(5, 4, 3, { 1, 2, 2 })));
    EXPECT_FALSE(checkBasePositions(generator(5, 3, 1, { 4, 2, 3 })));
    EXPECT_TRUE(checkBasePositions(generator(5, 4, 2, { 1, 3, 3 }))) << "the third position is unused with two bases";
    EXPECT_TRUE(checkBasePositions(generator(5, 5, 3, { 5, 1, 3 })));
}

TEST(CheckGeneratorSelection, NeedsNAtLeastKAtLeastBAndTheFirstNBoxesDistinct)
{
    const SelectionBoxes five = boxes({ "7", "3", "12", "5", "9" });
    EXPECT_TRUE(checkGeneratorSelection(five, generator(5, 5, 3)));
    EXPECT_FALSE(checkGeneratorSelection(five, generator(4, 5)));
    EXPECT_FALSE(checkGeneratorSelection(five, generator(5, 2, 3)));
    EXPECT_FALSE(checkGeneratorSelection(boxes({ "7", "", "12" }), generator(3, 2)));
    EXPECT_FALSE(checkGeneratorSelection(boxes({ "7", "3", "7" }), generator(3, 2)));
    EXPECT_TRUE(checkGeneratorSelection(boxes({ "7", "3", "12", "7" }), generator(3, 2)))
        << "boxes after the first n are not looked at";
    EXPECT_FALSE(checkGeneratorSelection(five, generator(0, 1))) << "an empty pick-list";
    EXPECT_FALSE(checkGeneratorSelection(five, generator(3, 2, -1)));
}

TEST(ReadBaseSettings, TurnsItemIndexesIntoCountAndPositions)
{
    const BaseSettings b = readBaseSettings(2, { 0, 3, 4 });
    EXPECT_EQ(b.baseCount, 2);
    EXPECT_EQ(b.positions, (std::array<int, 3> { 1, 4, 5 }));
}
