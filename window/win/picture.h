// A GIF picture from the program's resources, drawn with its transparency
// through OLE's picture object.
#pragma once

#include <windows.h>

#include <olectl.h>

namespace mirvane {

class Picture {
 public:
  Picture() = default;
  ~Picture();
  Picture(const Picture&) = delete;
  Picture& operator=(const Picture&) = delete;

  // Loads the RCDATA resource Id; false if it is missing or not a picture.
  bool Load(HINSTANCE Instance, int Id);
  // Draws the picture at its own size with its top-left corner at X, Y.
  void Draw(HDC Dc, int X, int Y) const;
  SIZE PixelSize() const { return Size_; }

 private:
  IPicture* Picture_ = nullptr;
  SIZE Size_{};
};

}  // namespace mirvane
