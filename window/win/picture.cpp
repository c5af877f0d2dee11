#include "picture.h"

#include <cstring>

namespace mirvane {

Picture::~Picture() {
  if (Picture_ != nullptr) Picture_->Release();
}

bool Picture::Load(HINSTANCE Instance, int Id) {
  HRSRC Found = ::FindResourceA(Instance, MAKEINTRESOURCEA(Id), MAKEINTRESOURCEA(10));  // RT_RCDATA
  HGLOBAL Loaded = Found != nullptr ? ::LoadResource(Instance, Found) : nullptr;
  const DWORD Size = Found != nullptr ? ::SizeofResource(Instance, Found) : 0;
  if (Loaded == nullptr || Size == 0) return false;

  // OLE reads pictures from a stream over memory of its own.
  HGLOBAL Copy = ::GlobalAlloc(GMEM_MOVEABLE, Size);
  if (Copy == nullptr) return false;
  std::memcpy(::GlobalLock(Copy), ::LockResource(Loaded), Size);
  ::GlobalUnlock(Copy);
  IStream* Stream = nullptr;
  if (FAILED(::CreateStreamOnHGlobal(Copy, TRUE, &Stream))) {
    ::GlobalFree(Copy);
    return false;
  }
  const HRESULT Result = ::OleLoadPicture(Stream, LONG(Size), FALSE, IID_IPicture,
                                          reinterpret_cast<void**>(&Picture_));
  Stream->Release();
  if (FAILED(Result) || Picture_ == nullptr) return false;

  // The bitmap's own pixels, whatever density the picture's HIMETRIC size
  // was worked out at.
  OLE_HANDLE Handle = 0;
  BITMAP Bits{};
  if (FAILED(Picture_->get_Handle(&Handle)) ||
      ::GetObjectA(reinterpret_cast<HGDIOBJ>(static_cast<UINT_PTR>(Handle)), sizeof Bits, &Bits) ==
          0) {
    Picture_->Release();
    Picture_ = nullptr;
    return false;
  }
  Size_ = {Bits.bmWidth, Bits.bmHeight};
  return true;
}

void Picture::Draw(HDC Dc, int X, int Y) const {
  if (Picture_ == nullptr) return;
  OLE_XSIZE_HIMETRIC Width = 0;
  OLE_YSIZE_HIMETRIC Height = 0;
  Picture_->get_Width(&Width);
  Picture_->get_Height(&Height);
  // Source coordinates run bottom-up in HIMETRIC.
  Picture_->Render(Dc, X, Y, Size_.cx, Size_.cy, 0, Height, Width, -Height, nullptr);
}

ScaledPicture::~ScaledPicture() {
  if (Scaled_ != nullptr) ::DeleteObject(Scaled_);
}

bool ScaledPicture::Load(HINSTANCE Instance, int BaseId, int DoubleId) {
  Instance_ = Instance;
  DoubleId_ = DoubleId;
  return Base_.Load(Instance, BaseId);
}

void ScaledPicture::Draw(HDC Dc, int X, int Y, SIZE Size, COLORREF Background) {
  if (!Prepare(Dc, Size, Background)) return;
  HDC Memory = ::CreateCompatibleDC(Dc);
  if (Memory == nullptr) return;
  HGDIOBJ Old = ::SelectObject(Memory, Scaled_);
  ::BitBlt(Dc, X, Y, Size.cx, Size.cy, Memory, 0, 0, SRCCOPY);
  ::SelectObject(Memory, Old);
  ::DeleteDC(Memory);
}

bool ScaledPicture::Prepare(HDC Dc, SIZE Size, COLORREF Background) {
  if (Scaled_ != nullptr && Size.cx == ScaledSize_.cx && Size.cy == ScaledSize_.cy &&
      Background == ScaledBackground_) {
    return true;
  }
  if (Scaled_ != nullptr) ::DeleteObject(Scaled_);
  Scaled_ = nullptr;
  const SIZE BaseSize = Base_.PixelSize();
  const bool Larger = Size.cx > BaseSize.cx || Size.cy > BaseSize.cy;
  // Most screens never need it; a drawing that fails to load stays failed.
  if (Larger && !DoubleTried_) {
    DoubleTried_ = true;
    Double_.Load(Instance_, DoubleId_);
  }
  const Picture& Source = Larger ? Double_ : Base_;
  if (!Source.Loaded() || Size.cx <= 0 || Size.cy <= 0) return false;
  const SIZE SourceSize = Source.PixelSize();

  // The drawing goes over the background at its own size first, so that the
  // smoothing blends its edges into that background rather than into the
  // transparent colour.
  HDC Drawn = ::CreateCompatibleDC(Dc);
  HDC Target = ::CreateCompatibleDC(Dc);
  HBITMAP DrawnBits = ::CreateCompatibleBitmap(Dc, SourceSize.cx, SourceSize.cy);
  Scaled_ = ::CreateCompatibleBitmap(Dc, Size.cx, Size.cy);
  const bool Made =
      Drawn != nullptr && Target != nullptr && DrawnBits != nullptr && Scaled_ != nullptr;
  if (Made) {
    HGDIOBJ OldDrawn = ::SelectObject(Drawn, DrawnBits);
    HGDIOBJ OldTarget = ::SelectObject(Target, Scaled_);
    HBRUSH Fill = ::CreateSolidBrush(Background);
    RECT All{0, 0, SourceSize.cx, SourceSize.cy};
    ::FillRect(Drawn, &All, Fill);
    ::DeleteObject(Fill);
    Source.Draw(Drawn, 0, 0);
    if (Size.cx == SourceSize.cx && Size.cy == SourceSize.cy) {
      ::BitBlt(Target, 0, 0, Size.cx, Size.cy, Drawn, 0, 0, SRCCOPY);
    } else {
      ::SetStretchBltMode(Target, HALFTONE);
      ::SetBrushOrgEx(Target, 0, 0, nullptr);
      ::StretchBlt(Target, 0, 0, Size.cx, Size.cy, Drawn, 0, 0, SourceSize.cx, SourceSize.cy,
                   SRCCOPY);
    }
    ::SelectObject(Drawn, OldDrawn);
    ::SelectObject(Target, OldTarget);
  }
  if (DrawnBits != nullptr) ::DeleteObject(DrawnBits);
  if (Target != nullptr) ::DeleteDC(Target);
  if (Drawn != nullptr) ::DeleteDC(Drawn);
  if (!Made && Scaled_ != nullptr) {
    ::DeleteObject(Scaled_);
    Scaled_ = nullptr;
  }
  ScaledSize_ = Size;
  ScaledBackground_ = Background;
  return Made;
}

}  // namespace mirvane
