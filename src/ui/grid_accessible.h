#pragma once

#include <cstdint>

namespace mvx::ui {

class TicketGrid;

// A ticket grid as a screen reader meets it: a table of all its rows (not only those on screen),
// whose cells are read from the grid's content, and whose current cell is announced by its true
// row and column as the arrows move it. Installed once, before the first grid is made.
void installTicketGridAccessible();

// Tells the screen reader that the current cell of `grid` moved (when the grid has the focus).
void announceCurrentCell(TicketGrid *grid);

} // namespace mvx::ui
