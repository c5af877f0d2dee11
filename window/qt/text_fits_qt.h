// Whether a control's text fits the room the control gives it: the rule by
// which the window picks its font size.
#pragma once

class QFont;
class QWidget;

namespace mirvane {

// Whether Control's text, in Font and laid out as the control lays it out,
// stays inside the control's room for it: a label's contents, a push
// button's contents, a picture button's caption box. A control with no text
// of its own fits.
bool TextFits(QWidget* Control, const QFont& Font);

}  // namespace mirvane
