// Saves a picture of the Windows window, as the screen shows it, into a PNG
// file: starts Mirvane.exe on a screen of the given density (Wine's
// LogPixels, which a program reads as it starts), optionally with Windows 10
// and 11's message font (the test font UI Metrics Sans at 9 points), waits
// until its window is drawn and no longer changes, and reads it off the
// screen.
//   screenshot_win MIRVANE_EXE OUT.png DPI [windows-font]  (Linux paths; under Wine)
#include <windows.h>

#include <gdiplus.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "desktop_settings_win.h"
#include "mirvane_process_win.h"

namespace {

using mirvane::testing::WindowsPath;

using Pixels = std::vector<std::uint32_t>;

// The window as the screen shows it, once two looks in a row agree; Box is
// where it is on the screen.
bool CaptureWhenStill(HWND Window, RECT& Box, Pixels& Last) {
  ::RedrawWindow(Window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  ::GetWindowRect(Window, &Box);
  Last = mirvane::testing::ScreenPixels(Box);
  return mirvane::testing::WaitFor([&] {
    Pixels Now = mirvane::testing::ScreenPixels(Box);
    std::swap(Now, Last);
    return Now == Last;
  });
}

bool SavePng(const RECT& Box, Pixels& Picture, const std::string& File) {
  Gdiplus::GdiplusStartupInput Input;
  ULONG_PTR Token = 0;
  if (Gdiplus::GdiplusStartup(&Token, &Input, nullptr) != Gdiplus::Ok) return false;
  bool Saved = false;
  {
    const int Width = Box.right - Box.left;
    Gdiplus::Bitmap Image(Width, Box.bottom - Box.top, Width * 4, PixelFormat32bppRGB,
                          reinterpret_cast<BYTE*>(Picture.data()));
    const CLSID Png = {
        0x557cf406, 0x1a04, 0x11d3, {0x9a, 0x73, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
    const std::wstring Wide(File.begin(), File.end());
    Saved = Image.Save(Wide.c_str(), &Png, nullptr) == Gdiplus::Ok;
  }
  Gdiplus::GdiplusShutdown(Token);
  return Saved;
}

}  // namespace

int main(int argc, char** argv) {
  const bool WindowsFont = argc == 5 && std::string(argv[4]) == "windows-font";
  if (argc != 4 && !WindowsFont) {
    std::fprintf(stderr, "usage: %s MIRVANE_EXE OUT.png DPI [windows-font]\n", argv[0]);
    return 2;
  }
  mirvane::testing::ResetDesktopSettings();
  PROCESS_INFORMATION Process{};
  HWND Main = nullptr;
  std::string Failed;
  {
    // Read as the program starts; put back once its window shows.
    const auto Density = mirvane::testing::ScreenDensity(std::atoi(argv[3]));
    const auto Font = mirvane::testing::WindowsMessageFont(-12, WindowsFont);
    if (!Density.Set()) {
      Failed = "could not set the screen's density";
    } else if (Font.Set() != WindowsFont) {
      Failed = "could not set the message font";
    } else {
      Failed = mirvane::testing::StartMirvane(argv[1], Process, Main);
    }
  }
  RECT Box{};
  Pixels Picture;
  if (Failed.empty() && !CaptureWhenStill(Main, Box, Picture)) Failed = "the window kept changing";
  if (Failed.empty() && !SavePng(Box, Picture, WindowsPath(argv[2]))) Failed = "could not save";
  if (Main != nullptr) ::PostMessageW(Main, WM_CLOSE, 0, 0);
  if (Process.hProcess != nullptr) {
    if (::WaitForSingleObject(Process.hProcess, mirvane::testing::kPatienceMs) != WAIT_OBJECT_0) {
      ::TerminateProcess(Process.hProcess, 1);
    }
    ::CloseHandle(Process.hThread);
    ::CloseHandle(Process.hProcess);
  }
  if (!Failed.empty()) std::fprintf(stderr, "screenshot_win: %s\n", Failed.c_str());
  return Failed.empty() ? 0 : 1;
}
