#pragma once

class QStyle;

namespace mvx::ui {

// From the first call on, the control that has the keyboard focus shows it plainly in every
// window: a push button draws a dotted frame inside its edge (so that a focused default button
// no longer looks like an unfocused one), a grid or list draws its frame in the highlight colour.
// Nothing changes on the controls without the focus. Every window calls it when it is set up.
void showFocusClearly();

// The style that draws those marks over the application's style.
QStyle *focusLookStyle();

} // namespace mvx::ui
