#include "text_scale.h"

#include <windows.h>

#include <algorithm>

namespace mirvane {

int TextScalePercent() {
  HKEY Key = nullptr;
  if (::RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Accessibility", 0, KEY_QUERY_VALUE,
                      &Key) != ERROR_SUCCESS) {
    return kUsualTextPercent;
  }
  DWORD Type = 0, Percent = 0, Size = sizeof Percent;
  const bool Recorded =
      ::RegQueryValueExW(Key, L"TextScaleFactor", nullptr, &Type, reinterpret_cast<BYTE*>(&Percent),
                         &Size) == ERROR_SUCCESS &&
      Type == REG_DWORD;
  ::RegCloseKey(Key);
  if (!Recorded) return kUsualTextPercent;
  // A value out of the range Windows offers is taken as its nearest end.
  return int(std::clamp<DWORD>(Percent, kUsualTextPercent, kLargestTextPercent));
}

}  // namespace mirvane
