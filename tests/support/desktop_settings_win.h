// Settings of the Wine desktop that a Windows program reads as it starts: the
// screen's density, the message font and Windows' text size. Each holder sets
// one value for the programs started while it lives, then puts back what was
// there before.
#pragma once

#include <windows.h>

#include <string>

namespace mirvane::testing {

class DesktopSetting {
 public:
  // The value Name under HKEY_CURRENT_USER\Key, of registry type Type; left
  // alone unless Wanted.
  DesktopSetting(const char* Key, const char* Name, DWORD Type, const void* Value, DWORD Size,
                 bool Wanted = true);
  ~DesktopSetting();
  DesktopSetting(const DesktopSetting&) = delete;
  DesktopSetting& operator=(const DesktopSetting&) = delete;

  bool Set() const { return Set_; }

 private:
  HKEY Key_ = nullptr;
  std::string Name_;
  DWORD PreviousType_ = 0;
  DWORD PreviousSize_ = 0;
  BYTE Previous_[256] = {};  // the largest of these values is a LOGFONTW
  bool HadPrevious_ = false;
  bool Set_ = false;
};

// LogPixels: the screen's density, in dots per inch.
DesktopSetting ScreenDensity(int Dpi);
// TextScaleFactor: Windows' text size, 100 to 225 percent.
DesktopSetting TextSize(int Percent);
// UI Metrics Sans, a test font with Segoe UI's metrics, as the message font
// in the way Windows 10 and 11 have Segoe UI: Height -12 (9 points at 96 dpi)
// at 100 % text size, -18 at 150 %. The font goes into the prefix's font
// folder first, where it stays. Nothing is done unless Wanted.
DesktopSetting WindowsMessageFont(int Height, bool Wanted = true);

// Where Wine runs, takes away the three values above, so that the desktop is
// Wine's own again: a test program ended before its holders put back what
// they found leaves its values in the prefix for every later run.
void ResetDesktopSettings();

inline constexpr wchar_t kTestFontFace[] = L"UI Metrics Sans";
// The test font's file, as a Windows path.
std::wstring TestFontPath();

}  // namespace mirvane::testing
