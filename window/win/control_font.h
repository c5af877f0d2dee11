// The font of the window's plain controls, every control but the credit
// link: the message font's face at the largest height, no larger than the
// message font's, at which every text shows whole in its control.
#pragma once

#include <windows.h>

#include "owned_handles.h"

namespace mirvane {

// What the controls' room for text depends on besides the font.
struct ControlMetrics {
  int Dpi;
  int TextPercent;    // the layout grows by Windows' text size
  SIZE StartPicture;  // the picture button's picture at 96 dpi, in pixels
  int Edge;           // a button's 3-D edge at Dpi (SM_CXEDGE)
};

// Fitted by drawing each text as its control draws it and looking where the
// ink falls: the cells of a label's last line may reach below its box where no
// letter does. Below half the message font's height no text is made smaller:
// it would be too small to read, so it is shown cut. Null if no font could be
// made.
OwnedFont FitControlFont(const LOGFONTW& Message, const ControlMetrics& At);

}  // namespace mirvane
