#include "text_win.h"

#include <climits>

namespace mirvane {

std::wstring Wide(std::string_view Text) {
  if (Text.empty() || Text.size() > INT_MAX) return L"";
  const int Length = static_cast<int>(Text.size());
  const int Size = ::MultiByteToWideChar(CP_UTF8, 0, Text.data(), Length, nullptr, 0);
  std::wstring Result(static_cast<std::size_t>(Size > 0 ? Size : 0), L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, Text.data(), Length, Result.data(), Size);
  return Result;
}

std::string Utf8(std::wstring_view Text) {
  if (Text.empty() || Text.size() > INT_MAX) return "";
  const int Length = static_cast<int>(Text.size());
  const int Size = ::WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, Text.data(), Length,
                                         nullptr, 0, nullptr, nullptr);
  if (Size <= 0) return "";
  std::string Result(static_cast<std::size_t>(Size), '\0');
  ::WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, Text.data(), Length, Result.data(), Size,
                        nullptr, nullptr);
  return Result;
}

std::string WindowText(HWND Window) {
  std::wstring Text(static_cast<std::size_t>(::GetWindowTextLengthW(Window)) + 1, L'\0');
  Text.resize(static_cast<std::size_t>(
      ::GetWindowTextW(Window, Text.data(), static_cast<int>(Text.size()))));
  return Utf8(Text);
}

void PutWindowText(HWND Window, const std::string& Text) {
  ::SetWindowTextW(Window, Wide(Text).c_str());
}

void ShowInformation(HWND Owner, const std::string& Text) {
  ::MessageBoxW(Owner, Wide(Text).c_str(), Wide(WindowText(Owner)).c_str(),
                MB_OK | MB_ICONINFORMATION);
}

}  // namespace mirvane
