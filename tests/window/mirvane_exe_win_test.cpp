// The real Mirvane.exe, started as a user would start it and driven from
// this test program through window messages: its window and controls, the
// keyboard, and the commands with the real dialogs and message box.
#include <windows.h>

#include <gdiplus.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "control_ids.h"
#include "scratch_folder.h"
#include "version.h"
#include "win_dialog_driver.h"
#include "window_commands.h"
#include "window_geometry.h"
#include "window_layout.h"

namespace mirvane {
namespace {

using testing::Bytes;
using testing::ComboItems;
using ::testing::ElementsAre;
using testing::FileNameField;
using testing::FindOwnedDialog;
using ::testing::HasSubstr;
using testing::MakeCard;
using testing::MessageText;
using testing::Pattern;
using testing::PressButton;
using testing::ReadBytes;
using testing::ScratchFolder;
using testing::SetText;
using testing::TextOf;
using testing::WriteBytes;

constexpr DWORD kPatienceMs = 300000;

// The build's paths are Linux paths; Wine shows the root as drive Z:.
std::string WindowsPath(std::string Path) {
  std::replace(Path.begin(), Path.end(), '/', '\\');
  return "Z:" + Path;
}

template <typename Condition>
bool WaitFor(Condition Done, DWORD TimeoutMs = kPatienceMs) {
  const DWORD Start = ::GetTickCount();
  while (!Done()) {
    if (::GetTickCount() - Start > TimeoutMs) return false;
    ::Sleep(50);
  }
  return true;
}

struct WindowSearch {
  DWORD Process;
  HWND Found;
};

BOOL CALLBACK MatchMainWindow(HWND Window, LPARAM Param) {
  auto* Wanted = reinterpret_cast<WindowSearch*>(Param);
  DWORD Process = 0;
  ::GetWindowThreadProcessId(Window, &Process);
  char Class[32] = {};
  ::GetClassNameA(Window, Class, sizeof Class);
  if (Process == Wanted->Process && std::string(Class) == "MirvaneWindow" &&
      ::IsWindowVisible(Window)) {
    Wanted->Found = Window;
    return FALSE;
  }
  return TRUE;
}

class MirvaneExeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string Command = "\"" + WindowsPath(MIRVANE_EXE) + "\"";
    STARTUPINFOA Startup{};
    Startup.cb = sizeof Startup;
    ASSERT_TRUE(::CreateProcessA(nullptr, Command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                 nullptr, &Startup, &Process))
        << Command;
    ASSERT_TRUE(WaitFor([&] {
      WindowSearch Wanted{Process.dwProcessId, nullptr};
      ::EnumWindows(MatchMainWindow, reinterpret_cast<LPARAM>(&Wanted));
      Main = Wanted.Found;
      return Main != nullptr;
    }));
  }

  void TearDown() override {
    if (Process.hProcess == nullptr) return;
    // A failed test may leave a dialog or prompt open: close them first.
    for (int Round = 0; Main != nullptr && Round < 20; ++Round) {
      HWND Open = FindOwnedDialog(Main);
      if (Open == nullptr) break;
      while (HWND Prompt = FindOwnedDialog(Open)) Open = Prompt;
      PressButton(Open, IDCANCEL);
      ::Sleep(200);
    }
    if (Main != nullptr) ::PostMessageA(Main, WM_CLOSE, 0, 0);
    if (::WaitForSingleObject(Process.hProcess, 60000) == WAIT_OBJECT_0) {
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
  void Press(std::size_t Index) { PressButton(Main, ControlId(Index)); }
  HWND WaitForDialog(HWND Owner) {
    HWND Dialog = nullptr;
    EXPECT_TRUE(WaitFor([&] { return (Dialog = FindOwnedDialog(Owner)) != nullptr; }));
    return Dialog;
  }

  PROCESS_INFORMATION Process{};
  HWND Main = nullptr;
  ScratchFolder Folder;
};

TEST_F(MirvaneExeTest, IsAFixedToolWindowLaidOutByTheTable) {
  EXPECT_EQ(TextOf(Main), "Mirvane");
  RECT Client{};
  ::GetClientRect(Main, &Client);
  EXPECT_EQ(Client.right, 285);
  EXPECT_EQ(Client.bottom, 114);
  const auto Style = DWORD(::GetWindowLongA(Main, GWL_STYLE));
  const auto ExStyle = DWORD(::GetWindowLongA(Main, GWL_EXSTYLE));
  EXPECT_TRUE(ExStyle & WS_EX_TOOLWINDOW);
  EXPECT_TRUE(Style & WS_SYSMENU) << "a close button";
  EXPECT_FALSE(Style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME));
  RECT Frame{0, 0, 285, 114}, Outer{};
  ::AdjustWindowRectEx(&Frame, Style, FALSE, ExStyle);
  ::GetWindowRect(Main, &Outer);
  EXPECT_EQ(Outer.right - Outer.left, Frame.right - Frame.left);
  EXPECT_EQ(Outer.bottom - Outer.top, Frame.bottom - Frame.top);
  std::printf("window %ld x %ld, client 285 x 114\n", Outer.right - Outer.left,
              Outer.bottom - Outer.top);

  for (std::size_t I = 0; I < kControls.size(); ++I) {
    const ControlSpec& Entry = kControls[I];
    SCOPED_TRACE(std::string(Entry.Name));
    HWND Widget = Control(I);
    ASSERT_NE(Widget, nullptr);
    RECT Box{};
    ::GetWindowRect(Widget, &Box);
    ::MapWindowPoints(nullptr, Main, reinterpret_cast<POINT*>(&Box), 2);
    const PixelRect Rect = ToPixels(Entry.Rect, kBaseDpi);
    EXPECT_EQ(Box.left, Rect.Left);
    EXPECT_EQ(Box.top, Rect.Top);
    EXPECT_EQ(Box.right - Box.left, Rect.Width);
    EXPECT_EQ(Box.bottom - Box.top, Rect.Height);
    EXPECT_EQ(TextOf(Widget), Entry.Text);
  }
}

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
TEST_F(MirvaneExeTest, TheCreditLinkHandsTheHomePageToTheShell) {
  const char* Key = "Software\\Classes\\https\\shell\\open\\command";
  HKEY Command = nullptr;
  ASSERT_EQ(::RegCreateKeyExA(HKEY_LOCAL_MACHINE, Key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              &Command, nullptr),
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

  const HWND Link = Control(ControlIndex("Label2"));
  ::PostMessageA(Main, WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(Link), STN_CLICKED),
                 reinterpret_cast<LPARAM>(Link));
  std::string Seen;
  EXPECT_TRUE(WaitFor([&] {
    const Bytes Text = ReadBytes(Record);
    Seen.assign(Text.begin(), Text.end());
    return Seen.find('\n') != Seen.rfind('\n');
  }));

  if (HadPrevious) {
    ::RegSetValueExA(Command, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(Previous),
                     PreviousSize);
  }
  ::RegCloseKey(Command);
  EXPECT_EQ(Seen, std::string(kHomePageAddress) + "\nC:\\\n");
}

// The manifest makes UTF-8 the program's 8-bit code page, so a name in any
// script travels whole through the path box, the dialogs and the file calls.
TEST_F(MirvaneExeTest, ConvertsACardWhoseNameIsInAnyScript) {
  namespace fs = std::filesystem;
  const fs::path Source = Folder.Root() / L"\u30AB\u30FC\u30C9 \u00E9t\u00E9.mem";
  const fs::path Saved = Folder.Root() / L"\u30AB\u30FC\u30C9 \u00E9t\u00E9.mcd";
  const Bytes Body = Pattern(3000);
  {
    const Bytes Card = MakeCard(Body);
    std::ofstream(Source, std::ios::binary)
        .write(reinterpret_cast<const char*>(Card.data()), std::streamsize(Card.size()));
  }
  const auto Utf8 = [](const fs::path& Path) {
    const std::u8string Text = Path.u8string();
    return std::string(Text.begin(), Text.end());
  };
  SetText(Control(ControlIndex("txtSource")), Utf8(Source));
  Press(ControlIndex("btnStart"));
  HWND Dialog = WaitForDialog(Main);
  ASSERT_NE(Dialog, nullptr);
  EXPECT_EQ(TextOf(Dialog), "Save Bleem Memory Card");
  SetText(FileNameField(Dialog), Utf8(Saved));
  PressButton(Dialog, IDOK);
  EXPECT_TRUE(WaitFor([&] {
    if (FindOwnedDialog(Main) != nullptr || !fs::exists(Saved)) return false;
    std::ifstream In(Saved, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(In), {}) == Body;
  }));
}

// About 110 Japanese characters of folder and name: far beyond the 255 bytes
// the save dialog's buffer once held, and a folder beyond the MAX_PATH bytes
// the temporary name was once built in.
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
  const auto Utf8 = [](const fs::path& Path) {
    const std::u8string Text = Path.u8string();
    return std::string(Text.begin(), Text.end());
  };
  const auto NamesIn = [](const fs::path& Where) {
    std::vector<std::wstring> Names;
    for (const auto& Entry : fs::directory_iterator(Where)) {
      Names.push_back(Entry.path().filename().wstring());
    }
    std::sort(Names.begin(), Names.end());
    return Names;
  };
  ASSERT_GT(Utf8(Into).size(), std::size_t(MAX_PATH));

  SetText(Control(ControlIndex("txtSource")), Folder.PathOf("game.mem"));
  Press(ControlIndex("btnStart"));
  HWND Dialog = WaitForDialog(Main);
  ASSERT_NE(Dialog, nullptr);
  SetText(FileNameField(Dialog), Utf8(Saved));
  PressButton(Dialog, IDOK);
  EXPECT_TRUE(WaitFor([&] {
    if (FindOwnedDialog(Main) != nullptr || !fs::exists(Saved)) return false;
    std::ifstream In(Saved, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(In), {}) == Body;
  }));
  EXPECT_THAT(NamesIn(Into), ElementsAre(CardName));
  EXPECT_THAT(NamesIn(Folder.Root()), ElementsAre(L"game.mem", FolderName));
}

TEST_F(MirvaneExeTest, Screenshot) {
  ::RedrawWindow(Main, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  ::Sleep(500);  // lets the X server finish drawing before the screen is read
  RECT Box{};
  ::GetWindowRect(Main, &Box);
  const int Width = Box.right - Box.left, Height = Box.bottom - Box.top;
  HDC Screen = ::GetDC(nullptr);
  HDC Memory = ::CreateCompatibleDC(Screen);
  HBITMAP Shot = ::CreateCompatibleBitmap(Screen, Width, Height);
  HGDIOBJ Old = ::SelectObject(Memory, Shot);
  ::BitBlt(Memory, 0, 0, Width, Height, Screen, Box.left, Box.top, SRCCOPY);
  ::SelectObject(Memory, Old);

  Gdiplus::GdiplusStartupInput Input;
  ULONG_PTR Token = 0;
  ASSERT_EQ(Gdiplus::GdiplusStartup(&Token, &Input, nullptr), Gdiplus::Ok);
  {
    Gdiplus::Bitmap Image(Shot, nullptr);
    const CLSID Png = {
        0x557cf406, 0x1a04, 0x11d3, {0x9a, 0x73, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
    const std::string File = WindowsPath(MIRVANE_DOCS_DIR "/screenshot-windows.png");
    const std::wstring Wide(File.begin(), File.end());
    ::CreateDirectoryA(WindowsPath(MIRVANE_DOCS_DIR).c_str(), nullptr);
    EXPECT_EQ(Image.Save(Wide.c_str(), &Png, nullptr), Gdiplus::Ok);
  }
  Gdiplus::GdiplusShutdown(Token);
  ::DeleteObject(Shot);
  ::DeleteDC(Memory);
  ::ReleaseDC(nullptr, Screen);
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
