// Owners of the GDI and USER handles the window makes for itself.
#pragma once

#include <windows.h>

#include <memory>
#include <type_traits>

namespace mirvane {

struct GdiObjectDeleter {
  void operator()(HGDIOBJ Object) const { ::DeleteObject(Object); }
};
struct IconDeleter {
  void operator()(HICON Icon) const { ::DestroyIcon(Icon); }
};

using OwnedFont = std::unique_ptr<std::remove_pointer_t<HFONT>, GdiObjectDeleter>;
using OwnedBitmap = std::unique_ptr<std::remove_pointer_t<HBITMAP>, GdiObjectDeleter>;
using OwnedIcon = std::unique_ptr<std::remove_pointer_t<HICON>, IconDeleter>;

}  // namespace mirvane
