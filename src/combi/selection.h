#pragma once

#include "model/game_state.h"

#include <QString>

#include <array>
#include <vector>

namespace mvx {

// The texts of the twenty selection boxes c1..c20, in box order.
using SelectionBoxes = std::array<QString, kMaxHorses>;

// Where the generator puts its bases: base count 0..3 and the ticket position (1..5) of each base.
struct BaseSettings
{
    int baseCount = 0;
    std::array<int, 3> positions { 1, 2, 3 };
};

// The generator's settings as its pick-lists show them. A box left without an item reads as
// 0 horses (or a base count of -1), which every check refuses.
struct GeneratorSettings
{
    int horsesToCombine = 1; // n, bases included
    int horsesPerTicket = 1; // k
    BaseSettings bases;
    bool reduced = true; // combinations (true) or arrangements (false)
};

struct Message
{
    QString text;
    QString title;
    friend bool operator==(const Message &, const Message &) = default;
};

// Reads the valid numbers of the boxes, in box order and empty boxes skipped, into the bases
// (the first baseCount numbers) and the other horses. Every slot is cleared first, so a short
// selection never carries horses over from an earlier reading.
void readSelection(const SelectionBoxes &boxes, int baseCount, Selection &selection);

// The number check run before any generation or comparison: the messages to show, in order.
// An empty list means the request may go on.
std::vector<Message> checkSelectionNumbers(const SelectionBoxes &boxes, bool generatorTab,
                                           const GeneratorSettings &generator);

// Base positions distinct and within the ticket.
bool checkBasePositions(const GeneratorSettings &generator);

// The first `count` boxes all filled with numbers, no number repeated among them: what the
// generator and a reduced system need, as both place the horses by box.
bool firstBoxesHoldDifferentHorses(const SelectionBoxes &boxes, int count);

// n >= k >= B and the first n boxes different horses.
bool checkGeneratorSelection(const SelectionBoxes &boxes, const GeneratorSettings &generator);

// The base count and positions from the item indexes of the base boxes.
BaseSettings readBaseSettings(int baseCountIndex, const std::array<int, 3> &positionIndexes);

namespace messages {
Message wrongNumbers();
Message wrongBasePositions();
Message wrongGeneratorSelection();
} // namespace messages

} // namespace mvx
