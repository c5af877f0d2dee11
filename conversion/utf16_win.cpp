#include "utf16_win.h"

#include <windows.h>

#include <climits>

namespace mirvane {

std::wstring Utf16(std::string_view Text, BadText Bad) {
  if (Text.empty() || Text.size() > INT_MAX) return L"";
  const DWORD Flags = Bad == BadText::Refuse ? MB_ERR_INVALID_CHARS : 0;
  const int Length = static_cast<int>(Text.size());
  const int Size = ::MultiByteToWideChar(CP_UTF8, Flags, Text.data(), Length, nullptr, 0);
  if (Size <= 0) return L"";
  std::wstring Result(static_cast<std::size_t>(Size), L'\0');
  ::MultiByteToWideChar(CP_UTF8, Flags, Text.data(), Length, Result.data(), Size);
  return Result;
}

std::string Utf8(std::wstring_view Text, BadText Bad) {
  if (Text.empty() || Text.size() > INT_MAX) return "";
  const DWORD Flags = Bad == BadText::Refuse ? WC_ERR_INVALID_CHARS : 0;
  const int Length = static_cast<int>(Text.size());
  const int Size =
      ::WideCharToMultiByte(CP_UTF8, Flags, Text.data(), Length, nullptr, 0, nullptr, nullptr);
  if (Size <= 0) return "";
  std::string Result(static_cast<std::size_t>(Size), '\0');
  ::WideCharToMultiByte(CP_UTF8, Flags, Text.data(), Length, Result.data(), Size, nullptr, nullptr);
  return Result;
}

}  // namespace mirvane
