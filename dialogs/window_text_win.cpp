#include "window_text_win.h"

#include "utf16_win.h"

namespace mirvane {

std::wstring WideText(HWND Window) {
  std::wstring Text(static_cast<std::size_t>(::GetWindowTextLengthW(Window)) + 1, L'\0');
  Text.resize(static_cast<std::size_t>(
      ::GetWindowTextW(Window, Text.data(), static_cast<int>(Text.size()))));
  return Text;
}

std::string WindowText(HWND Window) {
  return Utf8(WideText(Window), BadText::Refuse);
}

void PutWindowText(HWND Window, const std::string& Text) {
  ::SetWindowTextW(Window, Utf16(Text, BadText::Replace).c_str());
}

void ShowInformation(HWND Owner, const std::string& Text) {
  ::MessageBoxW(Owner, Utf16(Text, BadText::Replace).c_str(), WideText(Owner).c_str(),
                MB_OK | MB_ICONINFORMATION);
}

}  // namespace mirvane
