// How the window draws the picture button, which the control font is fitted
// to: a one-pixel outline (while it is the default button), a push button's
// frame inside it, and the caption in one centred line below the picture.
#pragma once

#include <windows.h>

namespace mirvane {

inline constexpr int kPictureButtonOutline = 1;
inline constexpr UINT kPictureCaptionFormat = DT_CENTER | DT_SINGLELINE | DT_NOPREFIX;

}  // namespace mirvane
