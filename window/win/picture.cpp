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

  OLE_XSIZE_HIMETRIC Width = 0;
  OLE_YSIZE_HIMETRIC Height = 0;
  Picture_->get_Width(&Width);
  Picture_->get_Height(&Height);
  // HIMETRIC is hundredths of a millimetre; pixels at the screen's density.
  HDC Screen = ::GetDC(nullptr);
  Size_.cx = ::MulDiv(Width, ::GetDeviceCaps(Screen, LOGPIXELSX), 2540);
  Size_.cy = ::MulDiv(Height, ::GetDeviceCaps(Screen, LOGPIXELSY), 2540);
  ::ReleaseDC(nullptr, Screen);
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

}  // namespace mirvane
