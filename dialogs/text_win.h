// The program's UTF-8 text in and out of the wide ("W") Win32 calls, which
// take any name the system does, whatever the ANSI code page: window text,
// and the one message box of the program.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace mirvane {

// UTF-16 of UTF-8 Text, NULs included; a byte that is not UTF-8 becomes
// U+FFFD.
std::wstring Wide(std::string_view Text);

// UTF-8 of UTF-16 Text, NULs included; "" for text that is not UTF-16 (a
// lone surrogate), which no UTF-8 text can name.
std::string Utf8(std::wstring_view Text);

// The text of a window or control, as UTF-8.
std::string WindowText(HWND Window);
void PutWindowText(HWND Window, const std::string& Text);

// An information box owned by Owner, titled with Owner's caption, with a
// single OK button.
void ShowInformation(HWND Owner, const std::string& Text);

}  // namespace mirvane
