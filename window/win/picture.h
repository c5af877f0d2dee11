// The program's GIF pictures, drawn with their transparency through OLE's
// picture object, at any size.
#pragma once

#include <windows.h>

#include <olectl.h>

namespace mirvane {

// One GIF from the program's resources.
class Picture {
 public:
  Picture() = default;
  ~Picture();
  Picture(const Picture&) = delete;
  Picture& operator=(const Picture&) = delete;

  // Loads the RCDATA resource Id; false if it is missing or not a picture.
  bool Load(HINSTANCE Instance, int Id);
  bool Loaded() const { return Picture_ != nullptr; }
  SIZE PixelSize() const { return Size_; }
  // Draws the picture at its own size with its top-left corner at X, Y.
  void Draw(HDC Dc, int X, int Y) const;

 private:
  IPicture* Picture_ = nullptr;
  SIZE Size_{};
};

// A picture drawn at 96 dots per inch and again at twice that, shown at any
// size: from the smallest drawing at least that large, scaled down smoothly,
// or from the larger one scaled up. The scaled picture, over the background
// it is shown on, is kept until the size or background changes.
class ScaledPicture {
 public:
  ScaledPicture() = default;
  ~ScaledPicture();
  ScaledPicture(const ScaledPicture&) = delete;
  ScaledPicture& operator=(const ScaledPicture&) = delete;

  // Loads the drawing at 96 dots per inch, false if it is missing; the
  // larger one loads when the picture is first drawn larger.
  bool Load(HINSTANCE Instance, int BaseId, int DoubleId);
  // The picture's size at 96 dots per inch, in pixels.
  SIZE BaseSize() const { return Base_.PixelSize(); }
  // Draws the picture at Size with its top-left corner at X, Y, over
  // Background; best effort: nothing is drawn if the bitmap cannot be made.
  void Draw(HDC Dc, int X, int Y, SIZE Size, COLORREF Background);

 private:
  bool Prepare(HDC Dc, SIZE Size, COLORREF Background);

  Picture Base_;
  Picture Double_;
  HINSTANCE Instance_ = nullptr;
  int DoubleId_ = 0;
  bool DoubleTried_ = false;
  HBITMAP Scaled_ = nullptr;
  SIZE ScaledSize_{};
  COLORREF ScaledBackground_ = 0;
};

}  // namespace mirvane
