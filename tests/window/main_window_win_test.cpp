// The Windows window hosted in the test's own process, where its fonts,
// icons and drawing can be read back: handles to them mean nothing in
// another process under Wine. The test program carries the program's
// resources and manifest, so the window is the one Mirvane.exe shows.
#include <windows.h>

#include <shlobj.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "control_font.h"
#include "control_ids.h"
#include "convert_card.h"
#include "desktop_settings_win.h"
#include "dpi_functions.h"
#include "main_window_win.h"
#include "picture.h"
#include "point_import_win.h"
#include "resource.h"
#include "scratch_folder.h"
#include "win_dialog_driver.h"
#include "window_commands.h"
#include "window_geometry.h"
#include "window_layout.h"
#include "windows_shown_win.h"

namespace mirvane {
namespace {

LOGFONTW FontOf(HWND Control) {
  LOGFONTW Font{};
  const auto Handle = reinterpret_cast<HFONT>(::SendMessageW(Control, WM_GETFONT, 0, 0));
  EXPECT_EQ(::GetObjectW(Handle, sizeof Font, &Font), int(sizeof Font));
  return Font;
}

SIZE IconSize(HICON Icon) {
  ICONINFO Info{};
  if (!::GetIconInfo(Icon, &Info)) return {};
  BITMAP Bits{};
  ::GetObjectW(Info.hbmColor != nullptr ? Info.hbmColor : Info.hbmMask, sizeof Bits, &Bits);
  const SIZE Size{Bits.bmWidth, Info.hbmColor != nullptr ? Bits.bmHeight : Bits.bmHeight / 2};
  if (Info.hbmColor != nullptr) ::DeleteObject(Info.hbmColor);
  ::DeleteObject(Info.hbmMask);
  return Size;
}

// A 32-bit bitmap to draw into, with a DC whose font, colours and
// background mode are known.
struct Canvas {
  explicit Canvas(SIZE Size) : Size(Size) {
    Dc = ::CreateCompatibleDC(nullptr);
    BITMAPINFO Info{};
    Info.bmiHeader = {sizeof(BITMAPINFOHEADER), Size.cx, -Size.cy, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    Bitmap = ::CreateDIBSection(Dc, &Info, DIB_RGB_COLORS, &Bits, nullptr, 0);
    Old = ::SelectObject(Dc, Bitmap);
    ::SelectObject(Dc, ::GetStockObject(SYSTEM_FIXED_FONT));
    ::SetTextColor(Dc, RGB(200, 10, 20));
    ::SetBkColor(Dc, RGB(10, 200, 30));
    ::SetBkMode(Dc, OPAQUE);
  }
  ~Canvas() {
    ::SelectObject(Dc, Old);
    ::DeleteObject(Bitmap);
    ::DeleteDC(Dc);
  }
  std::vector<std::uint32_t> Pixels() const {
    ::GdiFlush();
    const auto* First = static_cast<const std::uint32_t*>(Bits);
    return {First, First + Size.cx * Size.cy};
  }

  SIZE Size;
  HDC Dc;
  HBITMAP Bitmap;
  HGDIOBJ Old;
  void* Bits = nullptr;
};

// A file list as a file manager drops it (CF_HDROP): wide paths after the
// header, each ended by a null, the list by another.
HGLOBAL FileList(const std::vector<std::filesystem::path>& Paths) {
  std::wstring Names;
  for (const auto& Path : Paths) Names += Path.wstring() + L'\0';
  HGLOBAL List = ::GlobalAlloc(GHND, sizeof(DROPFILES) + (Names.size() + 1) * sizeof(wchar_t));
  auto* Header = static_cast<DROPFILES*>(::GlobalLock(List));
  *Header = {sizeof(DROPFILES), {}, FALSE, TRUE};
  Names.copy(reinterpret_cast<wchar_t*>(Header + 1), Names.size());
  ::GlobalUnlock(List);
  return List;
}

// A drag that lets go at once, wherever the cursor is; it notes the effect
// that the cursor would show, if it is told one.
struct LetGo final : IDropSource {
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
  ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL, DWORD) override { return DRAGDROP_S_DROP; }
  HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD Effect) override {
    Shown = Effect;
    return DRAGDROP_S_USEDEFAULTCURSORS;
  }
  DWORD Shown = ~DWORD(0);
};

class MainWindowWinTest : public ::testing::Test {
 protected:
  void SetUp() override {
    MIRVANE_SKIP_WHERE_WINDOWS_CANNOT_SHOW();
    const HINSTANCE Instance = ::GetModuleHandleW(nullptr);
    ASSERT_TRUE(MainWindowWin::Register(Instance));
    Main = MainWindowWin::Create(Instance, SW_SHOWNOACTIVATE);
    ASSERT_NE(Main, nullptr);
    Dpi = DpiFunctions().WindowDpi(Main);
  }

  void TearDown() override {
    if (Main != nullptr && ::IsWindow(Main)) ::DestroyWindow(Main);
    // The window ends the message loop as it goes; this test has none.
    MSG Quit;
    while (::PeekMessageW(&Quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
  }

  HWND Control(std::size_t Index) const { return ::GetDlgItem(Main, ControlId(Index)); }

  // Runs Act while a script cancels the dialog or prompt it opens, or closes
  // the window under it, and notes its caption; "" if none opened.
  std::string Opened(const std::function<void()>& Act, bool CloseWindow = false) {
    std::string Caption;
    testing::DialogScript Script(Main);
    Script.OnDialog([&](HWND Dialog) {
      Caption = testing::TextOf(Dialog);
      CloseWindow ? void(::PostMessageW(Main, WM_CLOSE, 0, 0))
                  : testing::PressButton(Dialog, IDCANCEL);
    });
    Act();
    return Caption;
  }

  // Draws btnStart through the window's WM_DRAWITEM into Into, as the
  // control would ask for it with State and Type.
  void DrawStartButton(Canvas& Into, UINT State, UINT Type = ODT_BUTTON) {
    DRAWITEMSTRUCT Item{};
    Item.CtlType = Type;
    Item.CtlID = UINT(ControlId(ControlIndex("btnStart")));
    Item.itemAction = ODA_DRAWENTIRE;
    Item.itemState = State;
    Item.hwndItem = Control(ControlIndex("btnStart"));
    Item.hDC = Into.Dc;
    Item.rcItem = {0, 0, Into.Size.cx, Into.Size.cy};
    ::SendMessageW(Main, WM_DRAWITEM, WPARAM(Item.CtlID), reinterpret_cast<LPARAM>(&Item));
  }

  // Draws Image1 through the window's WM_DRAWITEM into Into, filling it.
  void DrawImage1(Canvas& Into) {
    DRAWITEMSTRUCT Item{};
    Item.CtlType = ODT_STATIC;
    Item.CtlID = UINT(ControlId(ControlIndex("Image1")));
    Item.itemAction = ODA_DRAWENTIRE;
    Item.hwndItem = Control(ControlIndex("Image1"));
    Item.hDC = Into.Dc;
    Item.rcItem = {0, 0, Into.Size.cx, Into.Size.cy};
    ::SendMessageW(Main, WM_DRAWITEM, WPARAM(Item.CtlID), reinterpret_cast<LPARAM>(&Item));
  }

  SIZE StartButtonSize() const {
    const PixelRect Rect = ToPixels(ControlNamed("btnStart").Rect, Dpi);
    return {Rect.Width, Rect.Height};
  }

  // Every font at Dpi: one font, the message font's face no larger than it,
  // for every plain control; the credit link's own.
  void ExpectFontsAt(int At) {
    LOGFONTW Message{};
    ASSERT_TRUE(DpiFunctions().MessageFont(At, Message));
    const auto Shared = ::SendMessageW(Control(ControlIndex("txtSource")), WM_GETFONT, 0, 0);
    for (std::size_t I = 0; I < kControls.size(); ++I) {
      SCOPED_TRACE(std::string(kControls[I].Name));
      const LOGFONTW Font = FontOf(Control(I));
      if (I == ControlIndex("Label2")) {
        EXPECT_EQ(Font.lfHeight, -::MulDiv(int(kLinkFontPoints * 100), At, 72 * 100));
        EXPECT_TRUE(Font.lfUnderline);
        EXPECT_EQ(std::wstring(Font.lfFaceName), L"Arial");
      } else {
        EXPECT_EQ(::SendMessageW(Control(I), WM_GETFONT, 0, 0), Shared);
        EXPECT_LE(std::abs(Font.lfHeight), std::abs(Message.lfHeight));
        EXPECT_EQ(std::wstring(Font.lfFaceName), std::wstring(Message.lfFaceName));
      }
    }
  }

  void ExpectIconsAt(int At) {
    const DpiFunctions Metrics;
    const auto Big = reinterpret_cast<HICON>(::SendMessageW(Main, WM_GETICON, ICON_BIG, 0));
    const auto Small = reinterpret_cast<HICON>(::SendMessageW(Main, WM_GETICON, ICON_SMALL, 0));
    ASSERT_NE(Big, nullptr);
    ASSERT_NE(Small, nullptr);
    EXPECT_EQ(IconSize(Big).cx, Metrics.Metric(SM_CXICON, At));
    EXPECT_EQ(IconSize(Small).cx, Metrics.Metric(SM_CXSMICON, At));
  }

  HWND Main = nullptr;
  int Dpi = kBaseDpi;
};

TEST_F(MainWindowWinTest, LettersItsControlsInTheMessageFontAndTheLinkInItsOwn) {
  ExpectFontsAt(Dpi);
}

TEST_F(MainWindowWinTest, CarriesTheProgramsIconBigAndSmall) {
  ExpectIconsAt(Dpi);
}

// The system's notice that the window is now on a screen of another density.
TEST_F(MainWindowWinTest, RemakesFontsAndIconsForANewDensity) {
  const int To = Dpi * 2;
  RECT Outer{};
  ::GetWindowRect(Main, &Outer);
  RECT Suggested{Outer.left, Outer.top, Outer.right + 100, Outer.bottom + 50};
  const HFONT OldFont =
      reinterpret_cast<HFONT>(::SendMessageW(Control(ControlIndex("txtSource")), WM_GETFONT, 0, 0));
  ::SendMessageW(Main, WM_DPICHANGED, MAKEWPARAM(To, To), reinterpret_cast<LPARAM>(&Suggested));
  ExpectFontsAt(To);
  ExpectIconsAt(To);
  LOGFONTW Gone{};
  EXPECT_EQ(::GetObjectW(OldFont, sizeof Gone, &Gone), 0) << "the old font is freed";
}

// Windows tells its windows of a new text size with WM_SETTINGCHANGE.
TEST_F(MainWindowWinTest, FollowsTheTextSizeWhenWindowsAnnouncesIt) {
  RECT Client{};
  {
    const testing::DesktopSetting Larger = testing::TextSize(150);
    ASSERT_TRUE(Larger.Set());
    ::SendMessageW(Main, WM_SETTINGCHANGE, SPI_SETNONCLIENTMETRICS, 0);
    ::GetClientRect(Main, &Client);
    EXPECT_NEAR(Client.right, ClientSize(Dpi).Width * 1.5, 1);
    EXPECT_NEAR(Client.bottom, ClientSize(Dpi).Height * 1.5, 1);
  }
  ::SendMessageW(Main, WM_SETTINGCHANGE, SPI_SETNONCLIENTMETRICS, 0);
  ::GetClientRect(Main, &Client);
  EXPECT_EQ(Client.right, ClientSize(Dpi).Width);
}

// The plain controls' font from a message font at 96 dpi: Wine's Tahoma 8 pt
// fits as it is; Segoe UI 9 pt (UI Metrics Sans has its metrics) cuts the
// description and gives way to about 8 pt, and 1.5 times that at 150 % text,
// where the message font is 1.5 times as large.
TEST(ControlFont, IsTheLargestThatFitsUpToTheMessageFont) {
  ASSERT_GT(::AddFontResourceExW(testing::TestFontPath().c_str(), FR_PRIVATE, nullptr), 0);
  Picture Start;
  ASSERT_TRUE(Start.Load(::GetModuleHandleW(nullptr), IDR_BTNSTART_GIF));
  const auto Fitted = [&](const std::wstring& Face, int Height, int Percent) {
    LOGFONTW Font{};
    Font.lfHeight = Height;
    Face.copy(Font.lfFaceName, Face.size());
    OwnedFont Made = FitControlFont(Font, {kBaseDpi, Percent, Start.PixelSize(), 2});
    EXPECT_EQ(::GetObjectW(Made.get(), sizeof Font, &Font), int(sizeof Font));
    EXPECT_EQ(Font.lfFaceName, Face);
    return Font.lfHeight;
  };
  EXPECT_EQ(Fitted(L"Tahoma", -11, 100), -11);
  const int Windows = Fitted(testing::kTestFontFace, -12, 100);
  EXPECT_THAT(Windows, ::testing::AnyOf(-10, -11));
  EXPECT_NEAR(Fitted(testing::kTestFontFace, -18, 150), 1.5 * Windows, 1);
}

// The window property through which the credit link's replaced procedure
// finds what it records.
constexpr wchar_t kFontWatch[] = L"MirvaneFontWatch";

// Children go after their parent's WM_DESTROY: the credit link still has its
// font when it is destroyed, and the font goes with the window.
TEST_F(MainWindowWinTest, TheLinksFontLivesAsLongAsTheLink) {
  struct Watch {
    WNDPROC Original;
    HFONT Font;
    bool FontAliveAtEnd = false;
  };
  const HWND Link = Control(ControlIndex("Label2"));
  Watch Seen{nullptr, reinterpret_cast<HFONT>(::SendMessageW(Link, WM_GETFONT, 0, 0))};
  ASSERT_TRUE(::SetPropW(Link, kFontWatch, &Seen));
  Seen.Original = reinterpret_cast<WNDPROC>(::SetWindowLongPtrW(
      Link, GWLP_WNDPROC,
      reinterpret_cast<LONG_PTR>(+[](HWND Window, UINT Message, WPARAM W, LPARAM L) -> LRESULT {
        auto* Watching = static_cast<Watch*>(::GetPropW(Window, kFontWatch));
        if (Message == WM_NCDESTROY) {
          ::RemovePropW(Window, kFontWatch);
          LOGFONTW Font{};
          Watching->FontAliveAtEnd = ::GetObjectW(Watching->Font, sizeof Font, &Font) != 0;
        }
        return ::CallWindowProcW(Watching->Original, Window, Message, W, L);
      })));
  ::DestroyWindow(Main);
  EXPECT_TRUE(Seen.FontAliveAtEnd);
  LOGFONTW Font{};
  EXPECT_EQ(::GetObjectW(Seen.Font, sizeof Font, &Font), 0) << "freed with the window";
}

TEST_F(MainWindowWinTest, DrawingAnItemLeavesTheDcAsItFoundIt) {
  Canvas Into(StartButtonSize());
  const HGDIOBJ Font = ::GetCurrentObject(Into.Dc, OBJ_FONT);
  DrawStartButton(Into, ODS_FOCUS | ODS_DEFAULT);
  EXPECT_EQ(::GetCurrentObject(Into.Dc, OBJ_FONT), Font);
  EXPECT_EQ(::GetTextColor(Into.Dc), RGB(200, 10, 20));
  EXPECT_EQ(::GetBkColor(Into.Dc), RGB(10, 200, 30));
  EXPECT_EQ(::GetBkMode(Into.Dc), OPAQUE);
}

TEST_F(MainWindowWinTest, DrawsAnItemByItsIdWhateverTypeItClaims) {
  Canvas AsButton(StartButtonSize()), AsStatic(StartButtonSize());
  DrawStartButton(AsButton, 0);
  DrawStartButton(AsStatic, 0, ODT_STATIC);
  EXPECT_EQ(AsButton.Pixels(), AsStatic.Pixels());
}

// Windows hides focus rectangles until the keyboard is used.
TEST_F(MainWindowWinTest, DrawsNoFocusRectangleWhenToldNot) {
  Canvas Plain(StartButtonSize()), Focused(StartButtonSize()), Hidden(StartButtonSize());
  DrawStartButton(Plain, 0);
  DrawStartButton(Focused, ODS_FOCUS);
  DrawStartButton(Hidden, ODS_FOCUS | ODS_NOFOCUSRECT);
  EXPECT_NE(Focused.Pixels(), Plain.Pixels());
  EXPECT_EQ(Hidden.Pixels(), Plain.Pixels());
}

// At twice 96 dpi the picture is the drawing made for that size, pixel for
// pixel, not the small one enlarged.
TEST_F(MainWindowWinTest, ShowsTheDoubleSizeDrawingAtTwiceTheDensity) {
  const PixelRect Box = ToPixels(ControlNamed("Image1").Rect, 2 * kBaseDpi);
  Canvas Shown({Box.Width, Box.Height}), Expected({Box.Width, Box.Height});
  DrawImage1(Shown);
  Picture Double;
  ASSERT_TRUE(Double.Load(::GetModuleHandleW(nullptr), IDR_IMAGE1_2X_GIF));
  ASSERT_EQ(Double.PixelSize().cx, Box.Width);
  RECT All{0, 0, Box.Width, Box.Height};
  ::FillRect(Expected.Dc, &All, ::GetSysColorBrush(COLOR_BTNFACE));
  Double.Draw(Expected.Dc, 0, 0);
  EXPECT_EQ(Shown.Pixels(), Expected.Pixels());
}

// What a file manager drops is a file list: through OLE where the thread has
// it, which lets the cursor show whether the drop is taken; else as
// WM_DROPFILES, to a window that accepts files.
TEST_F(MainWindowWinTest, TakesTheFirstFileDroppedButNoFolder) {
  namespace fs = std::filesystem;
  const testing::ScratchFolder Folder;
  const fs::path Root = Folder.Root(), Card = Root / L"\u30AB\u30FC\u30C9 \u00E9.mem";
  std::ofstream(Card) << "card";
  // The files dropped, and whether the first is taken.
  const std::pair<std::vector<fs::path>, bool> Drops[] = {{{Card}, true},
                                                          {{Card, Root}, true},
                                                          {{Root}, false},
                                                          {{Root, Card}, false},
                                                          {{Root / L"-"}, false}};
  const auto ExpectDrops = [&](auto DropOn) {
    for (const auto& [Files, Taken] : Drops) {
      SCOPED_TRACE(Files.front().string() + (Taken ? " taken" : " refused"));
      const HWND Box = Control(ControlIndex("txtSource"));
      ::SetWindowTextW(Box, L"old");
      ::SetFocus(Control(ControlIndex("btnSource")));
      DropOn(FileList(Files), Taken);
      wchar_t Text[300] = {};
      ::GetWindowTextW(Box, Text, 300);
      EXPECT_EQ(Text, Taken ? Card.wstring() : L"old");
      EXPECT_EQ(::GetFocus() == Box, Taken);
    }
  };
  // This thread has no OLE. WM_DROPFILES shows no effect.
  EXPECT_TRUE(::GetWindowLongW(Main, GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
  ExpectDrops([&](HGLOBAL List, bool) { ::SendMessageW(Main, WM_DROPFILES, WPARAM(List), 0); });

  TearDown();
  ASSERT_TRUE(SUCCEEDED(::OleInitialize(nullptr)));
  SetUp();
  EXPECT_FALSE(::GetWindowLongW(Main, GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
  RECT Picture{};
  ::GetWindowRect(Control(ControlIndex("Image1")), &Picture);
  ::SetCursorPos((Picture.left + Picture.right) / 2, (Picture.top + Picture.bottom) / 2);
  ExpectDrops([&](HGLOBAL List, bool Taken) {
    IDataObject* Data = nullptr;
    ::OpenClipboard(Main);
    ::EmptyClipboard();
    ::SetClipboardData(CF_HDROP, List);
    ::CloseClipboard();
    ASSERT_TRUE(SUCCEEDED(::OleGetClipboard(&Data)));
    DWORD Effect = DROPEFFECT_NONE;
    LetGo Source;
    // Dropped either way; a refused drop has no effect.
    EXPECT_EQ(
        ::DoDragDrop(Data, &Source, DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK, &Effect),
        DRAGDROP_S_DROP);
    Data->Release();
    EXPECT_EQ(Effect, Taken ? DROPEFFECT_COPY : DROPEFFECT_NONE);
    EXPECT_EQ(Source.Shown, Effect) << "the cursor showed it";
  });
  TearDown();
  ::OleUninitialize();
}

TEST_F(MainWindowWinTest, IsUnicodeThroughout) {
  EXPECT_TRUE(::IsWindowUnicode(Main));
  for (std::size_t I = 0; I < kControls.size(); ++I) EXPECT_TRUE(::IsWindowUnicode(Control(I))) << I;
}

// COLORREF of a pixel of a 32-bit bitmap.
COLORREF Colour(std::uint32_t Pixel) {
  return RGB(Pixel >> 16 & 0xFF, Pixel >> 8 & 0xFF, Pixel & 0xFF);
}

// As in a dialog box: Enter presses the focused push button, else the
// default one, which shows as the default; Space presses the focused
// button, Esc nothing.
TEST_F(MainWindowWinTest, KeysPressTheButtonsAsADialogBoxDoes) {
  const testing::ScratchFolder Folder;
  testing::WriteBytes(Folder.PathOf("notes.txt"), testing::Pattern(300));
  const struct {
    std::size_t Focus;
    WPARAM Key;
    std::string Opened;
  } Rows[] = {{ControlIndex("btnSource"), VK_RETURN, kSourceTitle},
              {ControlIndex("btnStart"), VK_RETURN, kWindowCaption},
              {ControlIndex("txtSource"), VK_RETURN, kWindowCaption},
              {ControlIndex("btnSource"), VK_SPACE, kSourceTitle},
              {ControlIndex("txtSource"), VK_ESCAPE, ""}};
  for (const auto& [Focus, Key, Caption] : Rows) {
    SCOPED_TRACE(std::string(kControls[Focus].Name) + ", key " + std::to_string(Key));
    testing::SetText(Control(ControlIndex("txtSource")), Folder.PathOf("notes.txt"));
    ::SetFocus(Control(Focus));
    const bool Dots = Focus == ControlIndex("btnSource");
    const auto Look = ::GetWindowLongW(Control(ControlIndex("btnSource")), GWL_STYLE) & BS_TYPEMASK;
    EXPECT_EQ(Look, Dots ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
    Canvas Start(StartButtonSize());
    DrawStartButton(Start, 0);
    EXPECT_EQ(Colour(Start.Pixels()[0]) == ::GetSysColor(COLOR_WINDOWFRAME), !Dots);
    EXPECT_EQ(Opened([&] {
                for (const UINT Message : {WM_KEYDOWN, WM_KEYUP}) {
                  MSG Press{Control(Focus), Message, Key, 1, 0, {}};
                  if (!::IsDialogMessageW(Main, &Press)) ::DispatchMessageW(&Press);
                }
              }),
              Caption);
  }
}

// Wine cannot turn high contrast on; the window is told it is on.
BOOL WINAPI HighContrastOn(UINT Action, UINT Size, void* Value, UINT Flags) {
  if (Action != SPI_GETHIGHCONTRAST) return ::SystemParametersInfoW(Action, Size, Value, Flags);
  static_cast<HIGHCONTRASTW*>(Value)->dwFlags = HCF_HIGHCONTRASTON;
  return TRUE;
}

// High Contrast Black's button face, text and link, and a white frame: every
// text shows in its colour, the link in pure blue or, in high contrast, the
// theme's, and a change of colours or theme repaints the window.
TEST_F(MainWindowWinTest, DrawsInTheSystemsColours) {
  const int Elements[] = {COLOR_BTNFACE, COLOR_BTNTEXT, COLOR_WINDOWFRAME, COLOR_HOTLIGHT};
  const COLORREF White = RGB(255, 255, 255), Yellow = RGB(255, 255, 0);
  const COLORREF Dark[] = {RGB(0, 0, 0), White, White, Yellow};
  COLORREF Found[4];
  for (int I = 0; I < 4; ++I) Found[I] = ::GetSysColor(Elements[I]);
  ASSERT_TRUE(::SetSysColors(4, Elements, Dark));
  auto* const Asked = reinterpret_cast<void*>(&::SystemParametersInfoW);
  const struct {
    std::size_t Index;
    COLORREF Ink;
    bool High;
  } Rows[] = {{ControlIndex("Label1"), White, false},
              {ControlIndex("Label3"), White, false},
              {ControlIndex("Label2"), RGB(kLinkRed, kLinkGreen, kLinkBlue), false},
              {ControlIndex("Label2"), Yellow, true},
              {ControlIndex("btnStart"), White, false}};
  for (const auto& [Index, Ink, High] : Rows) {
    SCOPED_TRACE(std::string(kControls[Index].Name) + (High ? " in high contrast" : ""));
    if (High) {
      ASSERT_TRUE(testing::PointImport(Asked, reinterpret_cast<void*>(&HighContrastOn)));
    }
    RECT Box{};
    ::GetClientRect(Control(Index), &Box);
    Canvas Drawn({Box.right, Box.bottom});
    ::SendMessageW(Control(Index), WM_PRINTCLIENT, WPARAM(Drawn.Dc), PRF_CLIENT | PRF_ERASEBKGND);
    const std::vector<std::uint32_t> Pixels = Drawn.Pixels();
    if (Index == ControlIndex("btnStart")) {
      DrawStartButton(Drawn, 0);
      EXPECT_EQ(Colour(Drawn.Pixels()[0]), Ink) << "the default outline";
    } else {
      EXPECT_TRUE(std::any_of(Pixels.begin(), Pixels.end(), [&](auto P) { return Colour(P) == Ink; }));
    }
    if (High) testing::PointImport(reinterpret_cast<void*>(&HighContrastOn), Asked);
  }
  ::SetSysColors(4, Elements, Found);
  for (const UINT Change : {WM_SYSCOLORCHANGE, WM_SETTINGCHANGE, WM_THEMECHANGED}) {
    ::RedrawWindow(Main, nullptr, nullptr, RDW_VALIDATE | RDW_ALLCHILDREN);
    ::SendMessageW(Main, Change, 0, 0);
    EXPECT_TRUE(::GetUpdateRect(Control(ControlIndex("Label1")), nullptr, FALSE)) << Change;
  }
}

int PagesOpened = 0;

template <typename Text>
HINSTANCE WINAPI CountOpening(HWND, Text, Text, Text, Text, INT) {
  ++PagesOpened;
  return reinterpret_cast<HINSTANCE>(33);  // above 32: done
}

// The credit link acts when a press on it is released on it; the pointer,
// pressed on it and moved off, keeps it from acting.
TEST_F(MainWindowWinTest, TheCreditLinkOpensThePageOnTheRelease) {
  void* const Shell[] = {reinterpret_cast<void*>(&::ShellExecuteW),
                         reinterpret_cast<void*>(&::ShellExecuteA)};
  void* const Counts[] = {reinterpret_cast<void*>(&CountOpening<LPCWSTR>),
                          reinterpret_cast<void*>(&CountOpening<LPCSTR>)};
  for (int I = 0; I < 2; ++I) testing::PointImport(Shell[I], Counts[I]);
  RECT Link{}, Away{};
  ::GetWindowRect(Control(ControlIndex("Label2")), &Link);
  ::GetWindowRect(Control(ControlIndex("Label3")), &Away);
  const struct {
    const RECT& Over;
    DWORD Button;
    int Opened;
  } Steps[] = {{Link, MOUSEEVENTF_LEFTDOWN, 0}, {Away, 0, 0}, {Away, MOUSEEVENTF_LEFTUP, 0},
               {Link, MOUSEEVENTF_LEFTDOWN, 0}, {Link, MOUSEEVENTF_LEFTUP, 1}};
  PagesOpened = 0;
  for (const auto& [Over, Button, Count] : Steps) {
    ::SetCursorPos((Over.left + Over.right) / 2, (Over.top + Over.bottom) / 2);
    INPUT Press{INPUT_MOUSE, {}};
    Press.mi.dwFlags = Button;
    if (Button != 0) ::SendInput(1, &Press, sizeof Press);
    MSG Message;
    while (::PeekMessageW(&Message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&Message);
    EXPECT_EQ(PagesOpened, Count) << "at step " << &Over - &Link << " " << Button;
  }
  for (int I = 0; I < 2; ++I) testing::PointImport(Counts[I], Shell[I]);
}

int CallsOnGoneWindows = 0;
decltype(&::SetWindowTextW) RealSetWindowText = &::SetWindowTextW;

BOOL WINAPI CheckedSetWindowText(HWND Window, LPCWSTR Text) {
  if (!::IsWindow(Window)) ++CallsOnGoneWindows;
  return RealSetWindowText(Window, Text);
}

// The window closed while each of its modal steps is up (the open dialog,
// the save dialog, the message box): the command back from it touches no
// window that is gone, and writes nothing.
TEST_F(MainWindowWinTest, ClosedDuringAModalStepEndsTheCommandCleanly) {
  const testing::ScratchFolder Folder;
  testing::WriteBytes(Folder.PathOf("game.mem"), testing::MakeCard(testing::Pattern(100)));
  testing::WriteBytes(Folder.PathOf("notes.txt"), testing::Pattern(300));
  const struct {
    std::size_t Button;
    std::string Path, Opened;
  } Rows[] = {{ControlIndex("btnSource"), "", kSourceTitle},
              {ControlIndex("btnStart"), Folder.PathOf("game.mem"), kDestinationTitle},
              {ControlIndex("btnStart"), Folder.PathOf("notes.txt"), kWindowCaption}};
  auto* const Real = reinterpret_cast<void*>(RealSetWindowText);
  ASSERT_TRUE(testing::PointImport(Real, reinterpret_cast<void*>(&CheckedSetWindowText)));
  for (const auto& [Button, Path, Caption] : Rows) {
    SCOPED_TRACE(Caption);
    TearDown();
    SetUp();
    testing::SetText(Control(ControlIndex("txtSource")), Path);
    CallsOnGoneWindows = 0;
    EXPECT_EQ(Opened([&] { ::SendMessageW(Main, WM_COMMAND, ControlId(Button), 0); }, true),
              Caption);
    EXPECT_FALSE(::IsWindow(Main));
    EXPECT_EQ(CallsOnGoneWindows, 0);
    EXPECT_THAT(Folder.Names(), ::testing::ElementsAre("game.mem", "notes.txt"));
  }
  testing::PointImport(reinterpret_cast<void*>(&CheckedSetWindowText), Real);
}

}  // namespace
}  // namespace mirvane
