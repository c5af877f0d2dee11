// Mirvane.exe started under Wine from another Windows program, as a user
// starts it, found by its window, and read off the screen: for the tests
// that drive the real program and for the screenshot program. Header only.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace mirvane::testing {

// The longest any step waits for the program.
inline constexpr DWORD kPatienceMs = 30000;

// Polls Done until it holds, for at most TimeoutMs; whether it held.
template <typename Condition>
bool WaitFor(Condition Done, DWORD TimeoutMs = kPatienceMs) {
  const DWORD Start = ::GetTickCount();
  while (!Done()) {
    if (::GetTickCount() - Start > TimeoutMs) return false;
    ::Sleep(50);
  }
  return true;
}

// The build's paths are Linux paths; Wine shows the root as drive Z:.
inline std::string WindowsPath(std::string Path) {
  std::replace(Path.begin(), Path.end(), '/', '\\');
  return Path.insert(0, "Z:");
}

// What the screen shows in Box (screen coordinates): its pixels row by row
// from the top, each 0x00RRGGBB.
inline std::vector<std::uint32_t> ScreenPixels(const RECT& Box) {
  const int Width = Box.right - Box.left, Height = Box.bottom - Box.top;
  std::vector<std::uint32_t> Pixels(std::size_t(Width) * std::size_t(Height));
  HDC Screen = ::GetDC(nullptr);
  HDC Memory = ::CreateCompatibleDC(Screen);
  HBITMAP Shot = ::CreateCompatibleBitmap(Screen, Width, Height);
  HGDIOBJ Old = ::SelectObject(Memory, Shot);
  ::BitBlt(Memory, 0, 0, Width, Height, Screen, Box.left, Box.top, SRCCOPY);
  ::SelectObject(Memory, Old);
  BITMAPINFO Info{};
  Info.bmiHeader = {sizeof(BITMAPINFOHEADER), Width, -Height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  ::GetDIBits(Memory, Shot, 0, UINT(Height), Pixels.data(), &Info, DIB_RGB_COLORS);
  ::DeleteObject(Shot);
  ::DeleteDC(Memory);
  ::ReleaseDC(nullptr, Screen);
  return Pixels;
}

struct MainWindowSearch {
  DWORD Id;
  HWND Found;
};

// A named function, not a lambda: 32-bit callbacks are stdcall.
inline BOOL CALLBACK MatchMainWindow(HWND Window, LPARAM Param) {
  auto* Wanted = reinterpret_cast<MainWindowSearch*>(Param);
  DWORD Process = 0;
  ::GetWindowThreadProcessId(Window, &Process);
  char Class[32] = {};
  ::GetClassNameA(Window, Class, sizeof Class);
  if (Process != Wanted->Id || std::string(Class) != "MirvaneWindow" ||
      !::IsWindowVisible(Window)) {
    return TRUE;
  }
  Wanted->Found = Window;
  return FALSE;
}

// The visible main window of the process Id, or null.
inline HWND MainWindowOf(DWORD Id) {
  MainWindowSearch Wanted{Id, nullptr};
  ::EnumWindows(MatchMainWindow, reinterpret_cast<LPARAM>(&Wanted));
  return Wanted.Found;
}

// Starts the program file Exe (a Linux path) and waits until its window
// shows, noticing at once a program that ends instead. Returns "" when Main
// holds the window, else what went wrong; Process is filled whenever the
// program started.
inline std::string StartMirvane(const std::string& Exe, PROCESS_INFORMATION& Process, HWND& Main) {
  // Built in steps: g++ 12 warns wrongly about overlap (-Wrestrict) when
  // the quotes are added with operator+.
  std::string Command = WindowsPath(Exe);
  Command.insert(0, 1, '"').push_back('"');
  STARTUPINFOA Startup{};
  Startup.cb = sizeof Startup;
  if (!::CreateProcessA(nullptr, Command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &Startup, &Process)) {
    return "could not start " + Command;
  }
  bool Ended = false;
  const bool Shown = WaitFor([&] {
    Main = MainWindowOf(Process.dwProcessId);
    Ended = ::WaitForSingleObject(Process.hProcess, 0) == WAIT_OBJECT_0;
    return Main != nullptr || Ended;
  });
  if (Main != nullptr) return "";
  return Shown && Ended ? "the program ended before it showed its window"
                        : "no window within the time allowed";
}

}  // namespace mirvane::testing
