// The real Mirvane.exe, started as a user would start it and driven from
// this test program through window messages: its window and controls, the
// keyboard, and the commands with the real dialogs and message box.
#include <windows.h>

#include <oleacc.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>

#include "control_ids.h"
#include "convert_card.h"
#include "desktop_settings_win.h"
#include "mirvane_process_win.h"
#include "scratch_folder.h"
#include "utf16_win.h"
#include "version.h"
#include "win_dialog_driver.h"
#include "window_commands.h"
#include "window_geometry.h"
#include "window_layout.h"
#include "windows_shown_win.h"

namespace mirvane {
namespace {

using testing::Bytes;
using testing::ComboItems;
using testing::DesktopSetting;
using ::testing::ElementsAre;
using testing::FileNameField;
using testing::FindOwnedDialog;
using ::testing::HasSubstr;
using testing::kPatienceMs;
using testing::MakeCard;
using testing::MessageText;
using testing::Pattern;
using testing::PressButton;
using testing::ReadBytes;
using testing::ScratchFolder;
using testing::ScreenDensity;
using testing::ScreenPixels;
using testing::SetText;
using testing::StartMirvane;
using testing::TextOf;
using testing::WaitFor;
using testing::WindowsPath;
using testing::WriteBytes;

// A path in any script as the 8-bit text that Mirvane.exe takes (UTF-8).
std::string Utf8Of(const std::filesystem::path& Path) {
  return Utf8(Path.wstring(), BadText::Refuse);
}

// The ANSI code page the process runs under, asked of the process itself:
// GetACP, run as a thread of its own (kernel32 lies at one address in every
// process); 0 if it could not be asked.
UINT CodePageOf(HANDLE Process) {
  const auto GetAcp = reinterpret_cast<LPTHREAD_START_ROUTINE>(
      reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "GetACP")));
  const HANDLE Thread = ::CreateRemoteThread(Process, nullptr, 0, GetAcp, nullptr, 0, nullptr);
  DWORD Page = 0;
  if (Thread != nullptr && ::WaitForSingleObject(Thread, kPatienceMs) == WAIT_OBJECT_0) {
    ::GetExitCodeThread(Thread, &Page);
  }
  if (Thread != nullptr) ::CloseHandle(Thread);
  return Page;
}

// True when the file at Path exists and holds exactly Content.
bool Holds(const std::filesystem::path& Path, const Bytes& Content) {
  if (!std::filesystem::exists(Path)) return false;
  std::ifstream In(Path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(In), {}) == Content;
}

class MirvaneExeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    MIRVANE_SKIP_WHERE_WINDOWS_CANNOT_SHOW();
    // Rectangles and sizes as the program sees them, in the screen's pixels.
    ::SetThreadDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
    ASSERT_EQ(StartMirvane(Program, Process, Main), "");
  }

  void TearDown() override {
    if (Process.hProcess == nullptr) return;
    // A failed test may leave a dialog or prompt open: close them first.
    for (int Round = 0; Main != nullptr && Round < 20; ++Round) {
      HWND Open = FindOwnedDialog(Main);
      if (Open == nullptr) break;
      while (HWND Prompt = FindOwnedDialog(Open)) Open = Prompt;
      PressButton(Open, IDCANCEL);
      WaitFor([Open] { return !::IsWindowVisible(Open); });
    }
    if (Main != nullptr) ::PostMessageA(Main, WM_CLOSE, 0, 0);
    if (::WaitForSingleObject(Process.hProcess, kPatienceMs) == WAIT_OBJECT_0) {
      DWORD Code = 1;
      ::GetExitCodeProcess(Process.hProcess, &Code);
      EXPECT_EQ(Code, 0u) << "closing the window ends the program cleanly";
    } else {
      ADD_FAILURE() << "the program did not end when its window was closed";
      ::TerminateProcess(Process.hProcess, 1);
    }
    ::CloseHandle(Process.hThread);
    ::CloseHandle(Process.hProcess);
  }

  HWND Control(std::size_t Index) { return ::GetDlgItem(Main, ControlId(Index)); }
  std::string PathBox() { return TextOf(Control(ControlIndex("txtSource"))); }
  // As a click does: through the control, so that its wiring is tested too.
  // Posted: the command may open a modal dialog, which the test then drives.
  void Press(std::size_t Index) { ::PostMessageA(Control(Index), BM_CLICK, 0, 0); }
  HWND WaitForDialog(HWND Owner) {
    HWND Dialog = nullptr;
    EXPECT_TRUE(WaitFor([&] { return (Dialog = FindOwnedDialog(Owner)) != nullptr; }));
    return Dialog;
  }

  const char* Program = MIRVANE_EXE;  // the program file, as a Linux path
  PROCESS_INFORMATION Process{};
  HWND Main = nullptr;
  ScratchFolder Folder;
};

TEST_F(MirvaneExeTest, FocusStartsInThePathBoxAndTabGoesRound) {
  GUITHREADINFO Info{};
  Info.cbSize = sizeof Info;
  ASSERT_TRUE(WaitFor(
      [&] { return ::GetGUIThreadInfo(Process.dwThreadId, &Info) && Info.hwndFocus != nullptr; }));
  EXPECT_EQ(Info.hwndFocus, Control(ControlIndex("txtSource")));
  HWND At = Control(ControlIndex("txtSource"));
  for (const std::size_t Next :
       {ControlIndex("btnSource"), ControlIndex("btnStart"), ControlIndex("txtSource")}) {
    At = ::GetNextDlgTabItem(Main, At, FALSE);
    EXPECT_EQ(At, Control(Next)) << kControls[Next].Name;
  }
}

TEST_F(MirvaneExeTest, BrowseThenCancelEmptiesThePathBox) {
  SetText(Control(ControlIndex("txtSource")), "C:\\old.mem");
  Press(ControlIndex("btnSource"));
  HWND Dialog = WaitForDialog(Main);
  ASSERT_NE(Dialog, nullptr);
  EXPECT_EQ(TextOf(Dialog), "Select a memory card");
  EXPECT_THAT(ComboItems(::GetDlgItem(Dialog, 0x470)),
              ElementsAre("VGS Memory Card (*.mem)", "All files (*.*)"));
  PressButton(Dialog, IDCANCEL);
  EXPECT_TRUE(WaitFor([&] { return PathBox().empty(); }));
}

TEST_F(MirvaneExeTest, ConvertWithAnEmptyBoxBrowsesAndConvertsNothing) {
  const std::string Card = Folder.PathOf("game.mem");
  WriteBytes(Card, MakeCard(Pattern(100)));
  Press(ControlIndex("btnStart"));
  HWND Dialog = WaitForDialog(Main);
  ASSERT_NE(Dialog, nullptr);
  EXPECT_EQ(TextOf(Dialog), "Select a memory card");
  SetText(FileNameField(Dialog), Card);
  PressButton(Dialog, IDOK);
  EXPECT_TRUE(WaitFor([&] { return PathBox() == Card; }));
  EXPECT_THAT(Folder.Names(), ElementsAre("game.mem"));
}

TEST_F(MirvaneExeTest, EnterConvertsAndAWrongFileIsReportedInAnOkBox) {
  WriteBytes(Folder.PathOf("notes.txt"), Pattern(300));
  SetText(Control(ControlIndex("txtSource")), Folder.PathOf("notes.txt"));
  ::PostMessageA(Control(ControlIndex("txtSource")), WM_KEYDOWN, VK_RETURN, 1);
  HWND Box = WaitForDialog(Main);
  ASSERT_NE(Box, nullptr);
  EXPECT_EQ(TextOf(Box), "Mirvane");
  EXPECT_EQ(MessageText(Box), "File is in a wrong format.");
  EXPECT_NE(::GetDlgItem(Box, IDOK), nullptr);
  for (int Other : {IDCANCEL, IDYES, IDNO, IDABORT, IDRETRY, IDIGNORE}) {
    EXPECT_EQ(::GetDlgItem(Box, Other), nullptr) << Other;
  }
  PressButton(Box, IDOK);
  EXPECT_TRUE(WaitFor([&] { return FindOwnedDialog(Main) == nullptr; }));
}

TEST_F(MirvaneExeTest, ConvertWritesExactlyTheBodyWhereTheUserSaves) {
  const Bytes Body = Pattern(128 * 1024 + 5);
  WriteBytes(Folder.PathOf("game.mem"), MakeCard(Body));
  SetText(Control(ControlIndex("txtSource")), Folder.PathOf("game.mem"));
  Press(ControlIndex("btnStart"));
  HWND Dialog = WaitForDialog(Main);
  ASSERT_NE(Dialog, nullptr);
  EXPECT_EQ(TextOf(Dialog), "Save Bleem Memory Card");
  EXPECT_THAT(TextOf(FileNameField(Dialog)), HasSubstr("game.mcd"));
  SetText(FileNameField(Dialog), Folder.PathOf("saved.mcd"));
  PressButton(Dialog, IDOK);
  // The file is there once the command has ended: the path box is free again.
  EXPECT_TRUE(WaitFor([&] {
    return FindOwnedDialog(Main) == nullptr && ReadBytes(Folder.PathOf("saved.mcd")) == Body;
  }));
  EXPECT_THAT(Folder.Names(), ElementsAre("game.mem", "saved.mcd"));
  EXPECT_EQ(PathBox(), Folder.PathOf("game.mem"));
}

// The shell opens https addresses with the command registered for them; for
// this test that is this test program, which writes down what it was given.
// The registry is left as it was found: the first of the keys that was not
// there goes again, with what is below it.
TEST_F(MirvaneExeTest, TheCreditLinkHandsTheHomePageToTheShell) {
  std::string Key = "Software\\Classes", Missing;
  for (const char* Part : {"https", "shell", "open", "command"}) {
    Key += std::string("\\") + Part;
    HKEY Found = nullptr;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, Key.c_str(), 0, KEY_READ, &Found) != ERROR_SUCCESS) {
      if (Missing.empty()) Missing = Key;
    } else {
      ::RegCloseKey(Found);
    }
  }
  HKEY Command = nullptr;
  ASSERT_EQ(::RegCreateKeyExA(HKEY_LOCAL_MACHINE, Key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &Command, nullptr),
            ERROR_SUCCESS);
  char Previous[1024] = {};
  DWORD PreviousSize = sizeof Previous;
  const bool HadPrevious =
      ::RegQueryValueExA(Command, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(Previous),
                         &PreviousSize) == ERROR_SUCCESS;
  char Self[MAX_PATH] = {};
  ::GetModuleFileNameA(nullptr, Self, MAX_PATH);
  const std::string Record = Folder.PathOf("address.txt");
  const std::string Recorder =
      "\"" + std::string(Self) + "\" --record-address \"" + Record + "\" \"%1\"";
  ASSERT_EQ(
      ::RegSetValueExA(Command, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(Recorder.c_str()),
                       DWORD(Recorder.size() + 1)),
      ERROR_SUCCESS);

  // A click on the link, which lets the mouse through to the window.
  RECT Link{};
  ::GetWindowRect(Control(ControlIndex("Label2")), &Link);
  ::MapWindowPoints(nullptr, Main, reinterpret_cast<POINT*>(&Link), 2);
  ::PostMessageA(Main, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(Link.left + 2, Link.top + 2));
  ::PostMessageA(Main, WM_LBUTTONUP, 0, MAKELPARAM(Link.left + 2, Link.top + 2));
  std::string Seen;
  EXPECT_TRUE(WaitFor([&] {
    const Bytes Text = ReadBytes(Record);
    Seen.assign(Text.begin(), Text.end());
    return Seen.find('\n') != Seen.rfind('\n');
  }));

  if (HadPrevious) {
    ::RegSetValueExA(Command, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(Previous),
                     PreviousSize);
  } else {
    ::RegDeleteValueA(Command, nullptr);
  }
  ::RegCloseKey(Command);
  if (!Missing.empty()) ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, Missing.c_str());
  EXPECT_EQ(Seen, std::string(kHomePageAddress) + "\nC:\\\n");
}

// The manifest makes UTF-8 the program's 8-bit code page, so a name in any
// script travels whole through the path box, the dialogs and the file calls.
TEST_F(MirvaneExeTest, ConvertsACardWhoseNameIsInAnyScript) {
  namespace fs = std::filesystem;
  EXPECT_EQ(CodePageOf(Process.hProcess), UINT(CP_UTF8));
  const fs::path Source = Folder.Root() / L"\u30AB\u30FC\u30C9 \u00E9t\u00E9.mem";
  const fs::path Saved = Folder.Root() / L"\u30AB\u30FC\u30C9 \u00E9t\u00E9.mcd";
  const Bytes Body = Pattern(3000);
  {
    const Bytes Card = MakeCard(Body);
    std::ofstream(Source, std::ios::binary)
        .write(reinterpret_cast<const char*>(Card.data()), std::streamsize(Card.size()));
  }
  SetText(Control(ControlIndex("txtSource")), Utf8Of(Source));
  Press(ControlIndex("btnStart"));
  HWND Dialog = WaitForDialog(Main);
  ASSERT_NE(Dialog, nullptr);
  EXPECT_EQ(TextOf(Dialog), "Save Bleem Memory Card");
  SetText(FileNameField(Dialog), Utf8Of(Saved));
  PressButton(Dialog, IDOK);
  EXPECT_TRUE(WaitFor([&] { return FindOwnedDialog(Main) == nullptr && Holds(Saved, Body); }));
}

// About 110 Japanese characters of folder and name, over 300 bytes of UTF-8:
// beyond the 255 bytes of the dialog's record and a folder beyond MAX_PATH
// bytes, where the temporary file must be made too.
TEST_F(MirvaneExeTest, SavesToALongJapanesePathAndNowhereElse) {
  namespace fs = std::filesystem;
  std::wstring FolderName, CardName;
  for (int I = 0; I < 75; ++I) FolderName += wchar_t(0x30A2 + I % 40);  // katakana
  for (int I = 0; I < 35; ++I) CardName += wchar_t(0x3042 + I % 40);    // hiragana
  CardName += L"\u30AB\u30FC\u30C9.mcd";
  const fs::path Into = Folder.Root() / FolderName;
  ASSERT_TRUE(fs::create_directory(Into));
  const fs::path Saved = Into / CardName;
  const Bytes Body = Pattern(3000);
  WriteBytes(Folder.PathOf("game.mem"), MakeCard(Body));
  const auto NamesIn = [](const fs::path& Where) {
    std::vector<std::wstring> Names;
    for (const auto& Entry : fs::directory_iterator(Where)) {
      Names.push_back(Entry.path().filename().wstring());
    }
    std::sort(Names.begin(), Names.end());
    return Names;
  };
  ASSERT_GT(Utf8Of(Into).size(), std::size_t(MAX_PATH));

  SetText(Control(ControlIndex("txtSource")), Folder.PathOf("game.mem"));
  Press(ControlIndex("btnStart"));
  HWND Dialog = WaitForDialog(Main);
  ASSERT_NE(Dialog, nullptr);
  SetText(FileNameField(Dialog), Utf8Of(Saved));
  PressButton(Dialog, IDOK);
  EXPECT_TRUE(WaitFor([&] { return FindOwnedDialog(Main) == nullptr && Holds(Saved, Body); }));
  EXPECT_THAT(NamesIn(Into), ElementsAre(CardName));
  EXPECT_THAT(NamesIn(Folder.Root()), ElementsAre(L"game.mem", FolderName));
}

// The program started on a screen of the density given as the parameter.
class MirvaneExeAtDpiTest : public MirvaneExeTest, public ::testing::WithParamInterface<int> {
 protected:
  void SetUp() override {
    const DesktopSetting Density = ScreenDensity(GetParam());
    ASSERT_TRUE(Density.Set());
    MirvaneExeTest::SetUp();
  }
};

// The window's client area and every control where the table puts them at
// Dpi; the frame around the client area as the window has it.
void ExpectLaidOutAt(HWND Main, int Dpi) {
  const PixelSize Size = ClientSize(Dpi);
  RECT Client{};
  ::GetClientRect(Main, &Client);
  EXPECT_EQ(Client.right, Size.Width);
  EXPECT_EQ(Client.bottom, Size.Height);

  for (std::size_t I = 0; I < kControls.size(); ++I) {
    const ControlEntry& Entry = kControls[I];
    SCOPED_TRACE(std::string(Entry.Name));
    HWND Widget = ::GetDlgItem(Main, ControlId(I));
    ASSERT_NE(Widget, nullptr);
    RECT Box{};
    ::GetWindowRect(Widget, &Box);
    ::MapWindowPoints(nullptr, Main, reinterpret_cast<POINT*>(&Box), 2);
    const PixelRect Rect = ToPixels(Entry.Rect, Dpi);
    EXPECT_EQ(Box.left, Rect.Left);
    EXPECT_EQ(Box.top, Rect.Top);
    EXPECT_EQ(Box.right - Box.left, Rect.Width);
    EXPECT_EQ(Box.bottom - Box.top, Rect.Height);
  }
}

TEST_P(MirvaneExeAtDpiTest, IsAFixedToolWindowLaidOutByTheTable) {
  const int Dpi = GetParam();
  EXPECT_EQ(TextOf(Main), "Mirvane");
  const auto Style = DWORD(::GetWindowLongA(Main, GWL_STYLE));
  const auto ExStyle = DWORD(::GetWindowLongA(Main, GWL_EXSTYLE));
  EXPECT_TRUE(ExStyle & WS_EX_TOOLWINDOW);
  EXPECT_TRUE(Style & WS_SYSMENU) << "a close button";
  EXPECT_FALSE(Style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME));
  const PixelSize Size = ClientSize(Dpi);
  RECT Frame{0, 0, Size.Width, Size.Height}, Outer{};
  ::AdjustWindowRectExForDpi(&Frame, Style, FALSE, ExStyle, UINT(Dpi));
  ::GetWindowRect(Main, &Outer);
  EXPECT_EQ(Outer.right - Outer.left, Frame.right - Frame.left);
  EXPECT_EQ(Outer.bottom - Outer.top, Frame.bottom - Frame.top);
  ExpectLaidOutAt(Main, Dpi);
  for (std::size_t I = 0; I < kControls.size(); ++I) {
    EXPECT_EQ(TextOf(Control(I)), kControls[I].Text) << kControls[I].Name;
  }
}

INSTANTIATE_TEST_SUITE_P(Densities, MirvaneExeAtDpiTest, ::testing::Values(96, 120, 144, 192),
                         [](const auto& Info) { return std::to_string(Info.param) + "dpi"; });

// A desktop the window is looked at on: the screen's density, the message
// font (Wine's Tahoma 8 pt, or Windows 10 and 11's Segoe UI 9 pt, for which
// UI Metrics Sans stands in) and Windows' text size.
struct Desktop {
  int Dpi;
  bool WindowsFont;
  int TextPercent;
};

class MirvaneExeLookTest : public MirvaneExeTest, public ::testing::WithParamInterface<Desktop> {
 protected:
  void SetUp() override {
    const Desktop& At = GetParam();
    const DesktopSetting Density = ScreenDensity(At.Dpi);
    const DesktopSetting Text = testing::TextSize(At.TextPercent);
    const DesktopSetting Font =
        testing::WindowsMessageFont(-12 * At.TextPercent / 100, At.WindowsFont);
    ASSERT_TRUE(Density.Set() && Text.Set() && Font.Set() == At.WindowsFont);
    MirvaneExeTest::SetUp();
  }
};

// The box around what differs from the window's background by more than
// Least in a colour channel, in Area of Main's client area, as the screen
// shows it; empty if nothing does.
RECT InkOnScreen(HWND Main, const RECT& Area, int Least) {
  RECT OnScreen = Area;
  ::MapWindowPoints(Main, nullptr, reinterpret_cast<POINT*>(&OnScreen), 2);
  const std::vector<std::uint32_t> Pixels = ScreenPixels(OnScreen);
  const int Width = Area.right - Area.left, Height = Area.bottom - Area.top;
  const COLORREF Back = ::GetSysColor(COLOR_BTNFACE);
  RECT Ink{};
  for (int Y = 0; Y < Height; ++Y) {
    for (int X = 0; X < Width; ++X) {
      const std::uint32_t Pixel = Pixels[std::size_t(Y * Width + X)];
      const int Apart = std::max({std::abs(int(Pixel >> 16 & 0xFF) - GetRValue(Back)),
                                  std::abs(int(Pixel >> 8 & 0xFF) - GetGValue(Back)),
                                  std::abs(int(Pixel & 0xFF) - GetBValue(Back))});
      const RECT Dot{Area.left + X, Area.top + Y, Area.left + X + 1, Area.top + Y + 1};
      if (Apart > Least) ::UnionRect(&Ink, &Ink, &Dot);
    }
  }
  return Ink;
}

std::string Show(const RECT& Rect) {
  return "(" + std::to_string(Rect.left) + ", " + std::to_string(Rect.top) + ")-(" +
         std::to_string(Rect.right) + ", " + std::to_string(Rect.bottom) + ")";
}

// What the user sees, read from the screen: each control alone, enlarged so
// that a text too large for it spills where it shows (around its centre if it
// centres its text; a wrapping label keeps its width), and repainted by the
// program. Every bit of ink must lie in the part of the control that shows.
TEST_P(MirvaneExeLookTest, ShowsEveryTextWholeInAWindowGrownByTheTextSize) {
  const Desktop& At = GetParam();
  RECT Client{}, Outer{};
  ::GetClientRect(Main, &Client);
  EXPECT_NEAR(Client.right, ClientSize(At.Dpi).Width * At.TextPercent / 100.0, 1);
  EXPECT_NEAR(Client.bottom, ClientSize(At.Dpi).Height * At.TextPercent / 100.0, 1);
  ::GetWindowRect(Main, &Outer);
  ::SetWindowPos(Main, nullptr, 0, 0, Outer.right - Outer.left,
                 Outer.bottom - Outer.top + Client.bottom / 2, SWP_NOZORDER | SWP_NOACTIVATE);
  ::GetClientRect(Main, &Client);
  for (std::size_t I = 0; I < kControls.size(); ++I) ::ShowWindow(Control(I), SW_HIDE);

  const int Edge = ::GetSystemMetricsForDpi(SM_CXEDGE, UINT(At.Dpi));
  for (std::size_t I = 0; I < kControls.size(); ++I) {
    const ControlEntry& Entry = kControls[I];
    if (Entry.Text.empty()) continue;
    SCOPED_TRACE(std::string(Entry.Name));
    RECT Box{};
    ::GetWindowRect(Control(I), &Box);
    ::MapWindowPoints(nullptr, Main, reinterpret_cast<POINT*>(&Box), 2);
    const bool Centred =
        Entry.Kind == ControlKind::PushButton || Entry.Kind == ControlKind::PictureButton;
    // A button's frame, and the picture button's outline as the default one.
    const int Frame = Centred ? Edge + (Entry.Kind == ControlKind::PictureButton) : 0;
    RECT Room = Box, Grown = Box;
    ::InflateRect(&Room, -Frame, -Frame);
    const int Grow = (Box.bottom - Box.top) / 2;
    if (Centred) {
      ::InflateRect(&Grown, Grow, Grow);
    } else {
      Grown.right += Entry.WordWrap ? 0 : Grow;
      Grown.bottom += Grow;
    }
    RECT Seen = Grown;  // less the enlarged frame
    ::InflateRect(&Seen, -2 * Frame, -2 * Frame);
    ::IntersectRect(&Seen, &Seen, &Client);
    ASSERT_TRUE(WaitFor(
        [&] {
          const RECT Drawn = InkOnScreen(Main, Seen, 0);
          return ::IsRectEmpty(&Drawn);
        },
        30000));
    ::SetWindowPos(Control(I), nullptr, Grown.left, Grown.top, Grown.right - Grown.left,
                   Grown.bottom - Grown.top, SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    RECT Drawn{}, Before{}, Inside{};
    EXPECT_TRUE(WaitFor(
        [&] {
          Before = std::exchange(Drawn, InkOnScreen(Main, Seen, 0));
          return !::IsRectEmpty(&Drawn) && ::EqualRect(&Drawn, &Before);
        },
        30000))
        << "the text shows";
    // Smoothing greys the edges of letters; a pixel less than a quarter of
    // the way to the ink is no edge that a reader would miss.
    const RECT Ink = InkOnScreen(Main, Seen, 0x40);
    ::IntersectRect(&Inside, &Ink, &Room);
    EXPECT_TRUE(::EqualRect(&Inside, &Ink)) << "ink " << Show(Ink) << ", room " << Show(Room);
    ::ShowWindow(Control(I), SW_HIDE);
  }
}

// Tahoma 8 pt is Wine's own message font; Windows 10 and 11 enlarge theirs by
// the text size, as the desktop here does.
INSTANTIATE_TEST_SUITE_P(Desktops, MirvaneExeLookTest,
                         ::testing::Values(Desktop{96, false, 100}, Desktop{120, false, 100},
                                           Desktop{144, false, 100}, Desktop{192, false, 100},
                                           Desktop{96, true, 100}, Desktop{120, true, 100},
                                           Desktop{144, true, 100}, Desktop{192, true, 100},
                                           Desktop{96, true, 150}, Desktop{144, true, 150}),
                         [](const auto& Info) {
                           return std::to_string(Info.param.Dpi) + "dpi" +
                                  (Info.param.WindowsFont ? "WindowsFont" : "WineFont") +
                                  std::to_string(Info.param.TextPercent) + "percent";
                         });

// What the system does when the window moves to a screen of another density:
// WM_DPICHANGED with the new density and the window's new rectangle, which
// lives in the program's memory. Wine keeps the frame it had; only the
// client area grows.
TEST_F(MirvaneExeTest, FollowsTheWindowToAScreenOfAnotherDensity) {
  constexpr int From = kBaseDpi, To = 144;
  RECT Outer{};
  ::GetWindowRect(Main, &Outer);
  const PixelSize Before = ClientSize(From), After = ClientSize(To);
  const RECT Suggested{Outer.left + 10, Outer.top + 10,
                       Outer.right + 10 + After.Width - Before.Width,
                       Outer.bottom + 10 + After.Height - Before.Height};
  void* Remote = ::VirtualAllocEx(Process.hProcess, nullptr, sizeof Suggested,
                                  MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  ASSERT_NE(Remote, nullptr);
  ASSERT_TRUE(
      ::WriteProcessMemory(Process.hProcess, Remote, &Suggested, sizeof Suggested, nullptr));
  DWORD_PTR Ignored = 0;
  EXPECT_TRUE(::SendMessageTimeoutA(Main, WM_DPICHANGED, MAKEWPARAM(To, To),
                                    reinterpret_cast<LPARAM>(Remote), SMTO_ABORTIFHUNG, kPatienceMs,
                                    &Ignored));
  ::VirtualFreeEx(Process.hProcess, Remote, 0, MEM_RELEASE);

  RECT Now{};
  ::GetWindowRect(Main, &Now);
  EXPECT_EQ(Now.left, Suggested.left);
  EXPECT_EQ(Now.top, Suggested.top);
  EXPECT_EQ(Now.right, Suggested.right);
  EXPECT_EQ(Now.bottom, Suggested.bottom);
  ExpectLaidOutAt(Main, To);
}

// What screen readers announce for Control: its name, or its description.
std::wstring Announced(HWND Control, bool Description) {
  IAccessible* Object = nullptr;
  // __uuidof: mingw's 64-bit oleacc library resolves IID_IAccessible to an
  // import stub rather than the identifier itself.
  if (::AccessibleObjectFromWindow(Control, DWORD(OBJID_CLIENT), __uuidof(IAccessible),
                                   reinterpret_cast<void**>(&Object)) != S_OK) {
    return L"(no object)";
  }
  VARIANT Self;
  ::VariantInit(&Self);
  Self.vt = VT_I4;
  Self.lVal = CHILDID_SELF;
  BSTR Name = nullptr;
  Description ? Object->get_accDescription(Self, &Name) : Object->get_accName(Self, &Name);
  const std::wstring Announced = Name != nullptr ? std::wstring(Name, ::SysStringLen(Name)) : L"";
  ::SysFreeString(Name);
  Object->Release();
  return Announced;
}

// Screen readers name a text box after the label just before it among the
// window's children, and a control by the name the table gives it.
TEST_F(MirvaneExeTest, ScreenReadersAnnounceThePathBoxByItsLabelAndTheDotsAsBrowse) {
  ASSERT_TRUE(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
  const std::string_view Label =
      kControls[ControlIndex(ControlNamed("txtSource").CaptionLabel)].Text;
  const ControlEntry& Dots = ControlNamed("btnSource");
  const struct {
    std::size_t Index;
    std::string_view Name, Description;
  } Expected[] = {{ControlIndex("txtSource"), Label, ""},
                  {ControlIndex("btnSource"), Dots.AccessibleName, Dots.AccessibleDescription}};
  for (const auto& [Index, Name, Description] : Expected) {
    EXPECT_EQ(Announced(Control(Index), false), std::wstring(Name.begin(), Name.end()));
    EXPECT_EQ(Announced(Control(Index), true),
              std::wstring(Description.begin(), Description.end()));
  }
  ::CoUninitialize();
}

// Mirvane.exe as Windows before 10 1903 runs it, which ignores the
// manifest's UTF-8 code page: Wine then gives it code page 1252.
class MirvaneAnsiExeTest : public MirvaneExeTest {
 protected:
  MirvaneAnsiExeTest() { Program = MIRVANE_ANSI_EXE; }
};

// Names outside code page 1252, which its best fit would map to other files:
// "Łódź" to "Lódz", which exists, and full-width backslashes to folders, the
// ".." among them leading out of the folder chosen.
TEST_F(MirvaneAnsiExeTest, ANameOutsideTheAnsiCodePageNamesThatFileAndNoOther) {
  namespace fs = std::filesystem;
  ASSERT_EQ(CodePageOf(Process.hProcess), 1252u);
  const fs::path Source = Folder.Root() / L"\u0141\u00F3d\u017A.mem";
  const fs::path Near = Folder.Root() / L"L\u00F3dz.mcd";
  const Bytes Body = Pattern(3000), Other = Pattern(50, 9);
  for (const auto& [Path, Content] : {std::pair{Source, MakeCard(Body)}, std::pair{Near, Other}}) {
    std::ofstream(Path, std::ios::binary)
        .write(reinterpret_cast<const char*>(Content.data()), std::streamsize(Content.size()));
  }
  for (const wchar_t* Typed : {L"\u0141\u00F3d\u017A.mcd", L"x\uFF3C..\uFF3C..\uFF3Cy.mcd"}) {
    SetText(Control(ControlIndex("txtSource")), Utf8Of(Source));
    Press(ControlIndex("btnStart"));
    HWND Dialog = WaitForDialog(Main);
    ASSERT_NE(Dialog, nullptr);
    ASSERT_EQ(TextOf(Dialog), kDestinationTitle);
    SetText(FileNameField(Dialog), Utf8Of(Typed));
    PressButton(Dialog, IDOK);
    EXPECT_TRUE(WaitFor([&] {
      return FindOwnedDialog(Main) == nullptr && Holds(Folder.Root() / Typed, Body);
    })) << Utf8Of(Typed);
  }
  EXPECT_TRUE(Holds(Near, Other));
}
// The version record, read back from the program file: the numbers of the
// project's version, and as text the version as users see it ("1.00": major,
// then minor in two digits).
TEST(MirvaneExeFile, CarriesTheProjectVersionAndTheProductName) {
  const std::string Path = WindowsPath(MIRVANE_EXE);
  DWORD Ignored = 0;
  const DWORD Size = ::GetFileVersionInfoSizeA(Path.c_str(), &Ignored);
  ASSERT_GT(Size, 0u);
  std::string Block(Size, '\0');
  ASSERT_TRUE(::GetFileVersionInfoA(Path.c_str(), 0, Size, Block.data()));
  VS_FIXEDFILEINFO* Fixed = nullptr;
  UINT Length = 0;
  ASSERT_TRUE(::VerQueryValueA(Block.data(), "\\", reinterpret_cast<void**>(&Fixed), &Length));
  const DWORD High = MAKELONG(MIRVANE_VERSION_MINOR, MIRVANE_VERSION_MAJOR);
  const DWORD Low = MAKELONG(MIRVANE_VERSION_TWEAK, MIRVANE_VERSION_PATCH);
  EXPECT_EQ(Fixed->dwFileVersionMS, High);
  EXPECT_EQ(Fixed->dwFileVersionLS, Low);
  EXPECT_EQ(Fixed->dwProductVersionMS, High);
  EXPECT_EQ(Fixed->dwProductVersionLS, Low);
  const auto Text = [&](const char* Name) {
    char* Value = nullptr;
    UINT Chars = 0;
    const std::string Key = std::string("\\StringFileInfo\\040904b0\\") + Name;
    if (!::VerQueryValueA(Block.data(), Key.c_str(), reinterpret_cast<void**>(&Value), &Chars)) {
      return std::string("(none)");
    }
    return std::string(Value);
  };
  EXPECT_EQ(Text("ProductName"), "Mirvane");
  char Shown[16];
  std::snprintf(Shown, sizeof Shown, "%d.%02d", MIRVANE_VERSION_MAJOR, MIRVANE_VERSION_MINOR);
  EXPECT_EQ(Text("FileVersion"), Shown);
  EXPECT_EQ(Text("ProductVersion"), Shown);
}

// Wine gives every program the screen's density, declared or not; Windows
// stretches a bitmap of the window unless the manifest says the program
// draws itself at any density. The settings are read back as Windows reads
// them, through an activation context made from the program file.
TEST(MirvaneExeFile, DeclaresItDrawsItselfAtEveryMonitorsDensity) {
  const std::wstring Program = Utf16(WindowsPath(MIRVANE_EXE), BadText::Refuse);
  ACTCTXW Request{};
  Request.cbSize = sizeof Request;
  Request.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
  Request.lpSource = Program.c_str();
  Request.lpResourceName = MAKEINTRESOURCEW(1);
  const HANDLE Manifest = ::CreateActCtxW(&Request);
  ASSERT_NE(Manifest, INVALID_HANDLE_VALUE);
  const auto Setting = [&](const wchar_t* Year, const wchar_t* Name) {
    const std::wstring Space = std::wstring(L"http://schemas.microsoft.com/SMI/") + Year;
    wchar_t Value[64] = {};
    SIZE_T Size = 0;
    ::QueryActCtxSettingsW(0, Manifest, (Space + L"/WindowsSettings").c_str(), Name, Value, 64,
                           &Size);
    return std::wstring(Value);
  };
  // Windows 10 takes the first awareness of the list that it knows; 8.1 the
  // older setting.
  const std::wstring Awareness = Setting(L"2016", L"dpiAwareness");
  EXPECT_EQ(Awareness.substr(0, Awareness.find(L',')), L"PerMonitorV2");
  EXPECT_EQ(Setting(L"2005", L"dpiAware"), L"true/pm");
  ::ReleaseActCtx(Manifest);
}

TEST(MirvaneExeFile, CarriesItsIcon) {
  HMODULE Program =
      ::LoadLibraryExA(WindowsPath(MIRVANE_EXE).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(Program, nullptr);
  EXPECT_NE(::FindResourceA(Program, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(14)), nullptr)
      << "icon group 1";
  ::FreeLibrary(Program);
}

}  // namespace
}  // namespace mirvane
