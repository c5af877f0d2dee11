#include "desktop_settings_win.h"

#include <algorithm>

#include "mirvane_process_win.h"
#include "utf16_win.h"

namespace mirvane::testing {

namespace {

constexpr wchar_t kTestFontFile[] = L"ui-metrics-sans.ttf";
constexpr char kDesktop[] = "Control Panel\\Desktop";
constexpr char kWindowMetrics[] = "Control Panel\\Desktop\\WindowMetrics";
constexpr char kAccessibility[] = "Software\\Microsoft\\Accessibility";

// Copies the test font into Windows' font folder, unless a program may have
// it open there already, and lists it there, as an installer would; false if
// either step failed.
bool InstallTestFont() {
  wchar_t Windows[MAX_PATH] = {};
  if (::GetWindowsDirectoryW(Windows, MAX_PATH) == 0) return false;
  const std::wstring Target = std::wstring(Windows) + L"\\Fonts\\" + kTestFontFile;
  const std::wstring Name = std::wstring(kTestFontFace) + L" (TrueType)";
  return (::CopyFileW(TestFontPath().c_str(), Target.c_str(), TRUE) ||
          ::GetLastError() == ERROR_FILE_EXISTS) &&
         ::RegSetKeyValueW(HKEY_LOCAL_MACHINE,
                           L"Software\\Microsoft\\Windows NT\\CurrentVersion\\Fonts", Name.c_str(),
                           REG_SZ, kTestFontFile, sizeof kTestFontFile) == ERROR_SUCCESS;
}

}  // namespace

void ResetDesktopSettings() {
  const HMODULE Ntdll = ::GetModuleHandleW(L"ntdll.dll");
  if (Ntdll == nullptr || ::GetProcAddress(Ntdll, "wine_get_version") == nullptr) return;
  ::RegDeleteKeyValueA(HKEY_CURRENT_USER, kDesktop, "LogPixels");
  ::RegDeleteKeyValueA(HKEY_CURRENT_USER, kWindowMetrics, "MessageFont");
  ::RegDeleteKeyValueA(HKEY_CURRENT_USER, kAccessibility, "TextScaleFactor");
}

std::wstring TestFontPath() {
  return Utf16(WindowsPath(MIRVANE_TEST_FONT), BadText::Refuse);
}

DesktopSetting::DesktopSetting(const char* Key, const char* Name, DWORD Type, const void* Value,
                               DWORD Size, bool Wanted)
    : Name_(Name) {
  if (!Wanted || ::RegCreateKeyExA(HKEY_CURRENT_USER, Key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                   &Key_, nullptr) != ERROR_SUCCESS) {
    Key_ = nullptr;
    return;
  }
  PreviousSize_ = sizeof Previous_;
  const LONG Read =
      ::RegQueryValueExA(Key_, Name, nullptr, &PreviousType_, Previous_, &PreviousSize_);
  HadPrevious_ = Read == ERROR_SUCCESS;
  // A previous value that cannot be kept is not replaced.
  Set_ =
      (HadPrevious_ || Read == ERROR_FILE_NOT_FOUND) &&
      ::RegSetValueExA(Key_, Name, 0, Type, static_cast<const BYTE*>(Value), Size) == ERROR_SUCCESS;
}

DesktopSetting::~DesktopSetting() {
  if (Key_ == nullptr) return;
  if (HadPrevious_) {
    ::RegSetValueExA(Key_, Name_.c_str(), 0, PreviousType_, Previous_, PreviousSize_);
  } else if (Set_) {
    ::RegDeleteValueA(Key_, Name_.c_str());
  }
  ::RegCloseKey(Key_);
}

DesktopSetting ScreenDensity(int Dpi) {
  const DWORD Value = DWORD(Dpi);
  return {kDesktop, "LogPixels", REG_DWORD, &Value, sizeof Value};
}

DesktopSetting TextSize(int Percent) {
  const DWORD Value = DWORD(Percent);
  return {kAccessibility, "TextScaleFactor", REG_DWORD, &Value, sizeof Value};
}

DesktopSetting WindowsMessageFont(int Height, bool Wanted) {
  LOGFONTW Font{};
  Font.lfHeight = Height;
  Font.lfWeight = FW_NORMAL;
  std::copy_n(kTestFontFace, std::size(kTestFontFace), Font.lfFaceName);
  return {kWindowMetrics, "MessageFont", REG_BINARY,
          &Font,          sizeof Font,   Wanted && InstallTestFont()};
}

}  // namespace mirvane::testing
