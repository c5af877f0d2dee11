#include "desktop_settings_win.h"

#include <algorithm>

namespace mirvane::testing {

namespace {

constexpr wchar_t kTestFontFace[] = L"UI Metrics Sans";
constexpr wchar_t kTestFontFile[] = L"ui-metrics-sans.ttf";

// Copies the test font into Windows' font folder and lists it there, as an
// installer would; false if either step failed.
bool InstallTestFont() {
  wchar_t Windows[MAX_PATH] = {};
  if (::GetWindowsDirectoryW(Windows, MAX_PATH) == 0) return false;
  // The build's paths are Linux paths; Wine shows the root as drive Z:.
  std::string Source = "Z:" MIRVANE_TEST_FONT;
  std::replace(Source.begin(), Source.end(), '/', '\\');
  const std::wstring Target = std::wstring(Windows) + L"\\Fonts\\" + kTestFontFile;
  if (!::CopyFileW(std::wstring(Source.begin(), Source.end()).c_str(), Target.c_str(), FALSE)) {
    return false;
  }
  const std::wstring Name = std::wstring(kTestFontFace) + L" (TrueType)";
  return ::RegSetKeyValueW(HKEY_LOCAL_MACHINE,
                           L"Software\\Microsoft\\Windows NT\\CurrentVersion\\Fonts", Name.c_str(),
                           REG_SZ, kTestFontFile, sizeof kTestFontFile) == ERROR_SUCCESS;
}

}  // namespace

DesktopSetting::DesktopSetting(const char* Key, const char* Name, DWORD Type,
                               std::vector<BYTE> Value, bool Wanted)
    : Name_(Name) {
  if (!Wanted || ::RegCreateKeyExA(HKEY_CURRENT_USER, Key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                   &Key_, nullptr) != ERROR_SUCCESS) {
    Key_ = nullptr;
    return;
  }
  DWORD Size = 0;
  HadPrevious_ = ::RegQueryValueExA(Key_, Name, nullptr, nullptr, nullptr, &Size) == ERROR_SUCCESS;
  Previous_.resize(Size);
  HadPrevious_ = HadPrevious_ && ::RegQueryValueExA(Key_, Name, nullptr, &PreviousType_,
                                                    Previous_.data(), &Size) == ERROR_SUCCESS;
  Set_ = ::RegSetValueExA(Key_, Name, 0, Type, Value.data(), DWORD(Value.size())) == ERROR_SUCCESS;
}

DesktopSetting::~DesktopSetting() {
  if (Key_ == nullptr) return;
  if (HadPrevious_) {
    ::RegSetValueExA(Key_, Name_.c_str(), 0, PreviousType_, Previous_.data(),
                     DWORD(Previous_.size()));
  } else {
    ::RegDeleteValueA(Key_, Name_.c_str());
  }
  ::RegCloseKey(Key_);
}

DesktopSetting ScreenDensity(int Dpi) {
  const DWORD Value = DWORD(Dpi);
  const auto* Bytes = reinterpret_cast<const BYTE*>(&Value);
  return DesktopSetting("Control Panel\\Desktop", "LogPixels", REG_DWORD, {Bytes, Bytes + 4});
}

DesktopSetting TextSize(int Percent) {
  const DWORD Value = DWORD(Percent);
  const auto* Bytes = reinterpret_cast<const BYTE*>(&Value);
  return DesktopSetting("Software\\Microsoft\\Accessibility", "TextScaleFactor", REG_DWORD,
                        {Bytes, Bytes + 4});
}

DesktopSetting WindowsMessageFont(int Height) {
  LOGFONTW Font{};
  Font.lfHeight = Height;
  Font.lfWeight = FW_NORMAL;
  std::copy_n(kTestFontFace, std::size(kTestFontFace), Font.lfFaceName);
  const auto* Bytes = reinterpret_cast<const BYTE*>(&Font);
  return DesktopSetting("Control Panel\\Desktop\\WindowMetrics", "MessageFont", REG_BINARY,
                        {Bytes, Bytes + sizeof Font}, InstallTestFont());
}

}  // namespace mirvane::testing
