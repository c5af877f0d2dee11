// The text of windows and of the program's one message box: UTF-8 in and
// out, through the wide ("W") Win32 calls, which take any name the system
// does, whatever the ANSI code page.
#pragma once

#include <windows.h>

#include <string>

namespace mirvane {

// The text of a window or control, as UTF-8; "" for text that is not UTF-16
// (a lone surrogate), which may be a path that no UTF-8 text can name.
std::string WindowText(HWND Window);
// The same text as the system holds it, in UTF-16.
std::wstring WideText(HWND Window);
void PutWindowText(HWND Window, const std::string& Text);

// An information box owned by Owner, titled with Owner's caption, with a
// single OK button.
void ShowInformation(HWND Owner, const std::string& Text);

}  // namespace mirvane
