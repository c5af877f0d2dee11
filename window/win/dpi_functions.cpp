#include "dpi_functions.h"

namespace mirvane {

namespace {

template <typename Function>
Function Find(HMODULE User, const char* Name) {
  // The cast from FARPROC is how GetProcAddress is meant to be used.
  return reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(User, Name)));
}

int SystemDpi() {
  HDC Screen = ::GetDC(nullptr);
  const int Dpi = ::GetDeviceCaps(Screen, LOGPIXELSY);
  ::ReleaseDC(nullptr, Screen);
  return Dpi;
}

}  // namespace

DpiFunctions::DpiFunctions() {
  // user32 is loaded for as long as the program runs.
  HMODULE User = ::GetModuleHandleA("user32.dll");
  if (User == nullptr) return;
  GetDpiForWindow_ = Find<GetDpiForWindowFn>(User, "GetDpiForWindow");
  AdjustWindowRectExForDpi_ = Find<AdjustWindowRectExForDpiFn>(User, "AdjustWindowRectExForDpi");
  SystemParametersInfoForDpi_ =
      Find<SystemParametersInfoForDpiFn>(User, "SystemParametersInfoForDpi");
  GetSystemMetricsForDpi_ = Find<GetSystemMetricsForDpiFn>(User, "GetSystemMetricsForDpi");
}

int DpiFunctions::WindowDpi(HWND Window) const {
  const UINT Dpi = GetDpiForWindow_ != nullptr ? GetDpiForWindow_(Window) : 0;
  return Dpi != 0 ? int(Dpi) : SystemDpi();
}

SIZE DpiFunctions::FrameSize(int ClientWidth, int ClientHeight, DWORD Style, DWORD ExStyle,
                             int Dpi) const {
  RECT Frame{0, 0, ClientWidth, ClientHeight};
  if (AdjustWindowRectExForDpi_ == nullptr ||
      !AdjustWindowRectExForDpi_(&Frame, Style, FALSE, ExStyle, UINT(Dpi))) {
    Frame = {0, 0, ClientWidth, ClientHeight};
    ::AdjustWindowRectEx(&Frame, Style, FALSE, ExStyle);
  }
  return {Frame.right - Frame.left, Frame.bottom - Frame.top};
}

bool DpiFunctions::MessageFont(int Dpi, LOGFONTW& Font) const {
  NONCLIENTMETRICSW Metrics{};
  Metrics.cbSize = sizeof Metrics;
  // Older systems say the font at their one density only, from which a
  // window on another screen scales it.
  const bool AtDpi = SystemParametersInfoForDpi_ != nullptr;
  const bool Known =
      AtDpi ? SystemParametersInfoForDpi_(SPI_GETNONCLIENTMETRICS, Metrics.cbSize, &Metrics, 0,
                                          UINT(Dpi))
            : ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, Metrics.cbSize, &Metrics, 0);
  if (!Known) return false;
  Font = Metrics.lfMessageFont;
  if (!AtDpi) Font.lfHeight = ::MulDiv(Font.lfHeight, Dpi, SystemDpi());
  return true;
}

int DpiFunctions::Metric(int Index, int Dpi) const {
  return GetSystemMetricsForDpi_ != nullptr ? GetSystemMetricsForDpi_(Index, UINT(Dpi))
                                            : ::GetSystemMetrics(Index);
}

}  // namespace mirvane
