// The screen-density functions of Windows 10 1607 and later, found at run
// time so that the program still starts on older Windows, where each falls
// back to the system's one density and the functions without "ForDpi".
#pragma once

#include <windows.h>

namespace mirvane {

class DpiFunctions {
 public:
  DpiFunctions();

  // The density the window is shown at, in dots per inch.
  int WindowDpi(HWND Window) const;
  // The outer size of a window whose client area is ClientWidth x
  // ClientHeight pixels at Dpi.
  SIZE FrameSize(int ClientWidth, int ClientHeight, DWORD Style, DWORD ExStyle, int Dpi) const;
  // The system's message font, sized for Dpi as the system sizes it (and, on
  // Windows 10 1809 and later, enlarged by the user's text size); false if it
  // is not known.
  bool MessageFont(int Dpi, LOGFONTW& Font) const;
  // GetSystemMetrics(Index) at Dpi.
  int Metric(int Index, int Dpi) const;

 private:
  using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
  using AdjustWindowRectExForDpiFn = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
  using SystemParametersInfoForDpiFn = BOOL(WINAPI*)(UINT, UINT, void*, UINT, UINT);
  using GetSystemMetricsForDpiFn = int(WINAPI*)(int, UINT);

  GetDpiForWindowFn GetDpiForWindow_ = nullptr;
  AdjustWindowRectExForDpiFn AdjustWindowRectExForDpi_ = nullptr;
  SystemParametersInfoForDpiFn SystemParametersInfoForDpi_ = nullptr;
  GetSystemMetricsForDpiFn GetSystemMetricsForDpi_ = nullptr;
};

}  // namespace mirvane
