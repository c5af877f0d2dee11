// Between the portable layer's UTF-8 text and Windows' wide text.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace mirvane {

// Both return "" for text that does not convert (ill-formed UTF-16 or UTF-8).
inline std::string Utf8FromWide(std::wstring_view Wide) {
  if (Wide.empty()) return {};
  const int Size = ::WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, Wide.data(),
                                         int(Wide.size()), nullptr, 0, nullptr, nullptr);
  std::string Text(std::size_t(Size > 0 ? Size : 0), '\0');
  if (Size > 0) {
    ::WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, Wide.data(), int(Wide.size()), Text.data(),
                          Size, nullptr, nullptr);
  }
  return Text;
}

inline std::wstring WideFromUtf8(std::string_view Text) {
  if (Text.empty()) return {};
  const int Size = ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, Text.data(),
                                         int(Text.size()), nullptr, 0);
  std::wstring Wide(std::size_t(Size > 0 ? Size : 0), L'\0');
  if (Size > 0) {
    ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, Text.data(), int(Text.size()), Wide.data(),
                          Size);
  }
  return Wide;
}

}  // namespace mirvane
