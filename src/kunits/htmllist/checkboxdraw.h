#pragma once

#include "gdi/canvas.h"

namespace kolvarin {

enum TCheckBoxState : int { cbUnchecked = 0, cbChecked = 1, cbGrayed = 2 };

// The check box of a list item, drawn by our own code as the classic frame
// control: a 13 x 13 sunken box, white inside, with a check mark when
// checked; grayed and disabled boxes have a button-face inside and a grey
// mark. Flat draws only the inside with a one-pixel outline in the button
// shadow colour. The box is centred in rect. Main thread only.
inline constexpr int CheckBoxWidth = 13;
inline constexpr int CheckBoxHeight = 13;
void DrawCheckBox(gdi::Canvas& canvas, const gdi::Rect& rect, TCheckBoxState state, bool enabled, bool flat);

} // namespace kolvarin
