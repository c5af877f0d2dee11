#include "full_path_win.h"

#include <windows.h>

namespace mirvane {

std::wstring FullPath(const std::wstring& Path) {
  // The size asked for counts the NUL; the length written does not. The
  // working directory may change between the two calls: then ask again.
  DWORD Size = ::GetFullPathNameW(Path.c_str(), 0, nullptr, nullptr);
  std::wstring Full;
  while (Size != 0) {
    Full.assign(Size, L'\0');
    const DWORD Written = ::GetFullPathNameW(Path.c_str(), Size, Full.data(), nullptr);
    if (Written < Size) {
      Full.resize(Written);
      return Full;
    }
    Size = Written;
  }
  return L"";
}

}  // namespace mirvane
