// Saves a picture of the Windows window, as the screen shows it, into a PNG
// file: starts Mirvane.exe on a screen of the given density (Wine's
// LogPixels, which a program reads as it starts), optionally with Windows 10
// and 11's message font (the test font UI Metrics Sans at 9 points), waits
// until its window is drawn and no longer changes, and reads it off the
// screen.
//   screenshot_win MIRVANE_EXE OUT.png DPI [windows-font]  (Linux paths; under Wine)
#include <windows.h>

#include <gdiplus.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "desktop_settings_win.h"
#include "mirvane_process_win.h"

namespace {

using mirvane::testing::WindowsPath;

// What the screen shows of Box, as a bitmap and as its pixels.
struct Shot {
  HBITMAP Bitmap = nullptr;
  std::vector<DWORD> Pixels;
};

Shot Capture(const RECT& Box) {
  const int Width = Box.right - Box.left, Height = Box.bottom - Box.top;
  Shot Result;
  HDC Screen = ::GetDC(nullptr);
  HDC Memory = ::CreateCompatibleDC(Screen);
  Result.Bitmap = ::CreateCompatibleBitmap(Screen, Width, Height);
  HGDIOBJ Old = ::SelectObject(Memory, Result.Bitmap);
  ::BitBlt(Memory, 0, 0, Width, Height, Screen, Box.left, Box.top, SRCCOPY);
  ::SelectObject(Memory, Old);
  BITMAPINFO Info{};
  Info.bmiHeader = {sizeof(BITMAPINFOHEADER), Width, -Height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  Result.Pixels.resize(std::size_t(Width) * std::size_t(Height));
  ::GetDIBits(Memory, Result.Bitmap, 0, UINT(Height), Result.Pixels.data(), &Info, DIB_RGB_COLORS);
  ::DeleteDC(Memory);
  ::ReleaseDC(nullptr, Screen);
  return Result;
}

// The window as the screen shows it, once two looks in a row agree.
bool CaptureWhenStill(HWND Window, Shot& Last) {
  ::RedrawWindow(Window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  RECT Box{};
  ::GetWindowRect(Window, &Box);
  Last = Capture(Box);
  Shot Now;
  const bool Still = mirvane::testing::WaitFor([&] {
    ::DeleteObject(Now.Bitmap);
    Now = Capture(Box);
    std::swap(Now, Last);
    return Now.Pixels == Last.Pixels;
  });
  ::DeleteObject(Now.Bitmap);
  return Still;
}

bool SavePng(HBITMAP Bitmap, const std::string& File) {
  Gdiplus::GdiplusStartupInput Input;
  ULONG_PTR Token = 0;
  if (Gdiplus::GdiplusStartup(&Token, &Input, nullptr) != Gdiplus::Ok) return false;
  bool Saved = false;
  {
    Gdiplus::Bitmap Image(Bitmap, nullptr);
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
  PROCESS_INFORMATION Process{};
  HWND Main = nullptr;
  std::string Failed;
  {
    // Read as the program starts; put back once its window shows.
    const auto Density = mirvane::testing::ScreenDensity(std::atoi(argv[3]));
    const auto Start = [&] {
      return mirvane::testing::StartMirvane(argv[1], Process, Main);
    };
    if (!Density.Set()) {
      Failed = "could not set the screen's density";
    } else if (WindowsFont) {
      const auto Font = mirvane::testing::WindowsMessageFont(-12);
      Failed = Font.Set() ? Start() : "could not set the message font";
    } else {
      Failed = Start();
    }
  }
  Shot Picture;
  if (Failed.empty() && !CaptureWhenStill(Main, Picture)) Failed = "the window kept changing";
  if (Failed.empty() && !SavePng(Picture.Bitmap, WindowsPath(argv[2]))) Failed = "could not save";
  ::DeleteObject(Picture.Bitmap);
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
