#pragma once

class QWidget;

namespace mvx::ui {

// The windows are laid out, control by control, for a 9-point desktop font. A larger application
// font (the desktop's setting, as the platform theme gives it) makes every window grow by the same
// ratio: its size, the places and sizes of its controls, their fonts and the grids' rows and
// columns. A font of 9 points or less, or within 5 % of it, leaves the windows as they are laid
// out.
double windowFontScale();

// `pixels` of the layout at the current scale.
int scaledToFont(int pixels);

// Makes the window grow with the application font when it is first shown (before it is fitted to
// the screen); nothing changes at a scale of 1. setUpWindow does it for every window.
void followApplicationFont(QWidget *window);

} // namespace mvx::ui
