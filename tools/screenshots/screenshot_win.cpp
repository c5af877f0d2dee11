// Saves a picture of the Windows window, as the screen shows it, into a PNG
// file: starts Mirvane.exe on a screen of the given density (Wine's
// LogPixels, which a program reads as it starts), waits until its window is
// drawn and no longer changes, and reads it off the screen.
//   screenshot_win MIRVANE_EXE OUT.png DPI      (Linux paths; run under Wine)
#include <windows.h>

#include <gdiplus.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr DWORD kPatienceMs = 30000;

// The build's paths are Linux paths; Wine shows the root as drive Z:.
std::wstring WindowsPath(const char* Linux) {
  std::wstring Path = L"Z:";
  for (const char* At = Linux; *At != '\0'; ++At) Path += *At == '/' ? L'\\' : wchar_t(*At);
  return Path;
}

template <typename Condition>
bool WaitFor(Condition Done) {
  const DWORD Start = ::GetTickCount();
  while (!Done()) {
    if (::GetTickCount() - Start > kPatienceMs) return false;
    ::Sleep(100);
  }
  return true;
}

// Wine's screen density for the programs it starts from now on; the old
// value comes back when this object goes.
class ScreenDensity {
 public:
  explicit ScreenDensity(DWORD Dpi) {
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, nullptr, 0,
                          KEY_ALL_ACCESS, nullptr, &Key_, nullptr) != ERROR_SUCCESS) {
      Key_ = nullptr;
      return;
    }
    DWORD Size = sizeof Previous_;
    Had_ = ::RegQueryValueExW(Key_, L"LogPixels", nullptr, nullptr,
                              reinterpret_cast<BYTE*>(&Previous_), &Size) == ERROR_SUCCESS;
    Set_ = ::RegSetValueExW(Key_, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&Dpi),
                            sizeof Dpi) == ERROR_SUCCESS;
  }
  ~ScreenDensity() {
    if (Key_ == nullptr) return;
    if (Had_) {
      ::RegSetValueExW(Key_, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&Previous_),
                       sizeof Previous_);
    } else {
      ::RegDeleteValueW(Key_, L"LogPixels");
    }
    ::RegCloseKey(Key_);
  }
  ScreenDensity(const ScreenDensity&) = delete;
  ScreenDensity& operator=(const ScreenDensity&) = delete;
  bool Set() const { return Set_; }

 private:
  HKEY Key_ = nullptr;
  DWORD Previous_ = 0;
  bool Had_ = false, Set_ = false;
};

struct WindowSearch {
  DWORD Process;
  HWND Found;
};

BOOL CALLBACK MatchMainWindow(HWND Window, LPARAM Param) {
  auto* Wanted = reinterpret_cast<WindowSearch*>(Param);
  DWORD Process = 0;
  ::GetWindowThreadProcessId(Window, &Process);
  wchar_t Class[32] = {};
  ::GetClassNameW(Window, Class, 32);
  if (Process != Wanted->Process || std::wstring(Class) != L"MirvaneWindow" ||
      !::IsWindowVisible(Window)) {
    return TRUE;
  }
  Wanted->Found = Window;
  return FALSE;
}

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

bool SavePng(HBITMAP Bitmap, const std::wstring& File) {
  Gdiplus::GdiplusStartupInput Input;
  ULONG_PTR Token = 0;
  if (Gdiplus::GdiplusStartup(&Token, &Input, nullptr) != Gdiplus::Ok) return false;
  bool Saved = false;
  {
    Gdiplus::Bitmap Image(Bitmap, nullptr);
    const CLSID Png = {
        0x557cf406, 0x1a04, 0x11d3, {0x9a, 0x73, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
    Saved = Image.Save(File.c_str(), &Png, nullptr) == Gdiplus::Ok;
  }
  Gdiplus::GdiplusShutdown(Token);
  return Saved;
}

int Fail(const char* What) {
  std::fprintf(stderr, "screenshot_win: %s\n", What);
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: %s MIRVANE_EXE OUT.png DPI\n", argv[0]);
    return 2;
  }
  PROCESS_INFORMATION Process{};
  {
    const ScreenDensity Density(DWORD(std::atoi(argv[3])));
    if (!Density.Set()) return Fail("could not set the screen density");
    std::wstring Command = L"\"" + WindowsPath(argv[1]) + L"\"";
    STARTUPINFOW Startup{};
    Startup.cb = sizeof Startup;
    if (!::CreateProcessW(nullptr, Command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &Startup, &Process)) {
      return Fail("could not start Mirvane.exe");
    }
    // The density is read as the program starts: it may go back once the
    // program waits for input.
    ::WaitForInputIdle(Process.hProcess, kPatienceMs);
  }
  WindowSearch Wanted{Process.dwProcessId, nullptr};
  WaitFor([&] {
    ::EnumWindows(MatchMainWindow, reinterpret_cast<LPARAM>(&Wanted));
    return Wanted.Found != nullptr;
  });
  int Result = 0;
  if (Wanted.Found == nullptr) {
    Result = Fail("no window appeared");
  } else {
    // Drawn anew now; the screen shows it all once two looks in a row agree.
    ::RedrawWindow(Wanted.Found, nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    RECT Box{};
    ::GetWindowRect(Wanted.Found, &Box);
    Shot Last = Capture(Box), Now;
    const bool Still = WaitFor([&] {
      ::DeleteObject(Now.Bitmap);
      Now = Capture(Box);
      const bool Same = Now.Pixels == Last.Pixels;
      std::swap(Now, Last);
      return Same;
    });
    if (!Still) Result = Fail("the window kept changing");
    if (Still && !SavePng(Last.Bitmap, WindowsPath(argv[2]))) Result = Fail("could not save");
    ::DeleteObject(Last.Bitmap);
    ::DeleteObject(Now.Bitmap);
    ::PostMessageW(Wanted.Found, WM_CLOSE, 0, 0);
  }
  if (::WaitForSingleObject(Process.hProcess, kPatienceMs) != WAIT_OBJECT_0) {
    ::TerminateProcess(Process.hProcess, 1);
  }
  ::CloseHandle(Process.hThread);
  ::CloseHandle(Process.hProcess);
  return Result;
}
