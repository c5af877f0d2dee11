#include "main_window_win.h"

#include <shellapi.h>

#include "control_ids.h"
#include "file_dialogs_win.h"
#include "resource.h"

namespace mirvane {

namespace {

constexpr char kClassName[] = "MirvaneWindow";
constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kWindowExStyle = WS_EX_TOOLWINDOW | WS_EX_CONTROLPARENT;

// The window class and styles of each kind of control.
struct ControlClass {
  const char* Class;
  DWORD Style;
  DWORD ExStyle;
};

ControlClass ClassOf(const ControlSpec& Entry) {
  const DWORD Tab = Entry.TakesFocus ? WS_TABSTOP : 0;
  switch (Entry.Kind) {
    case ControlKind::PushButton:
      return {"BUTTON", BS_PUSHBUTTON | Tab, 0};
    case ControlKind::TextBox:
      return {"EDIT", ES_LEFT | ES_AUTOHSCROLL | Tab, WS_EX_CLIENTEDGE};
    case ControlKind::PictureButton:
      // Drawn here: a picture above the caption is beyond the plain button.
      return {"BUTTON", BS_OWNERDRAW | Tab, 0};
    case ControlKind::Label:
      return {"STATIC", DWORD(Entry.WordWrap ? SS_LEFT : SS_LEFTNOWORDWRAP) | SS_NOPREFIX, 0};
    case ControlKind::LinkLabel:
      return {"STATIC", SS_LEFTNOWORDWRAP | SS_NOPREFIX | SS_NOTIFY, 0};
    case ControlKind::Picture:
      return {"STATIC", SS_OWNERDRAW, 0};
  }
  return {"STATIC", 0, 0};
}

HFONT CreateLinkFont(HWND Window) {
  HDC Dc = ::GetDC(Window);
  const int Height = -::MulDiv(int(kLinkFontPoints * 100), ::GetDeviceCaps(Dc, LOGPIXELSY), 7200);
  ::ReleaseDC(Window, Dc);
  return ::CreateFontA(Height, 0, 0, 0, FW_NORMAL, FALSE, TRUE, FALSE, ANSI_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       DEFAULT_PITCH | FF_SWISS, kLinkFontFace);
}

std::string WindowText(HWND Window) {
  std::string Text(std::size_t(::GetWindowTextLengthA(Window)) + 1, '\0');
  Text.resize(std::size_t(::GetWindowTextA(Window, Text.data(), int(Text.size()))));
  return Text;
}

}  // namespace

bool MainWindowWin::Register(HINSTANCE Instance) {
  WNDCLASSEXA Class{};
  Class.cbSize = sizeof Class;
  Class.lpfnWndProc = WindowProc;
  Class.hInstance = Instance;
  Class.hIcon = ::LoadIconA(Instance, MAKEINTRESOURCEA(IDI_MIRVANE));
  Class.hIconSm = Class.hIcon;
  Class.hCursor = ::LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
  Class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  Class.lpszClassName = kClassName;
  return ::RegisterClassExA(&Class) != 0;
}

HWND MainWindowWin::Create(HINSTANCE Instance, int Show) {
  const PixelSize Client = ClientSize(kBaseDpi);
  RECT Frame{0, 0, Client.Width, Client.Height};
  ::AdjustWindowRectEx(&Frame, kWindowStyle, FALSE, kWindowExStyle);
  HWND Window = ::CreateWindowExA(kWindowExStyle, kClassName, kWindowCaption, kWindowStyle,
                                  CW_USEDEFAULT, CW_USEDEFAULT, Frame.right - Frame.left,
                                  Frame.bottom - Frame.top, nullptr, nullptr, Instance, nullptr);
  if (Window == nullptr) return nullptr;
  ::ShowWindow(Window, Show);
  ::UpdateWindow(Window);
  return Window;
}

LRESULT CALLBACK MainWindowWin::WindowProc(HWND Window, UINT Message, WPARAM WParam,
                                           LPARAM LParam) {
  auto* Self = reinterpret_cast<MainWindowWin*>(::GetWindowLongPtrA(Window, GWLP_USERDATA));
  if (Message == WM_NCCREATE) {
    Self = new MainWindowWin(Window);
    ::SetWindowLongPtrA(Window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(Self));
  }
  if (Self == nullptr) return ::DefWindowProcA(Window, Message, WParam, LParam);
  const LRESULT Result = Self->Handle(Message, WParam, LParam);
  if (Message == WM_NCDESTROY) {
    ::SetWindowLongPtrA(Window, GWLP_USERDATA, 0);
    delete Self;
  }
  return Result;
}

LRESULT MainWindowWin::Handle(UINT Message, WPARAM WParam, LPARAM LParam) {
  switch (Message) {
    case WM_CREATE:
      return OnCreate() ? 0 : -1;
    case WM_COMMAND:
      OnCommand(LOWORD(WParam), HIWORD(WParam));
      return 0;
    case DM_GETDEFID:
      // Enter, through IsDialogMessage, presses the default button.
      for (std::size_t I = 0; I < kControls.size(); ++I) {
        if (kControls[I].DefaultButton) return MAKELRESULT(ControlId(I), DC_HASDEFID);
      }
      return 0;
    case WM_DRAWITEM:
      OnDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(LParam));
      return TRUE;
    case WM_CTLCOLORSTATIC:
      return reinterpret_cast<LRESULT>(
          OnColorStatic(reinterpret_cast<HDC>(WParam), reinterpret_cast<HWND>(LParam)));
    case WM_ACTIVATE:
      OnActivate(LOWORD(WParam) != WA_INACTIVE);
      return 0;
    case WM_DESTROY:
      OnDestroy();
      return 0;
    default:
      return ::DefWindowProcA(Hwnd_, Message, WParam, LParam);
  }
}

bool MainWindowWin::OnCreate() {
  const auto Instance = reinterpret_cast<HINSTANCE>(::GetWindowLongPtrA(Hwnd_, GWLP_HINSTANCE));
  const auto Font = reinterpret_cast<WPARAM>(::GetStockObject(DEFAULT_GUI_FONT));
  LinkFont_ = CreateLinkFont(Hwnd_);
  Image1_.Load(Instance, IDR_IMAGE1_GIF);
  StartPicture_.Load(Instance, IDR_BTNSTART_GIF);

  for (std::size_t I = 0; I < kControls.size(); ++I) {
    const ControlSpec& Entry = kControls[I];
    const ControlClass Class = ClassOf(Entry);
    const std::string Text(Entry.Text);
    const PixelRect Rect = ToPixels(Entry.Rect, kBaseDpi);
    Controls_[I] = ::CreateWindowExA(
        Class.ExStyle, Class.Class, Text.c_str(), WS_CHILD | WS_VISIBLE | Class.Style, Rect.Left,
        Rect.Top, Rect.Width, Rect.Height, Hwnd_,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(ControlId(I))), Instance, nullptr);
    if (Controls_[I] == nullptr) return false;
    const bool Link = Entry.Kind == ControlKind::LinkLabel && LinkFont_ != nullptr;
    ::SendMessageA(Controls_[I], WM_SETFONT, Link ? reinterpret_cast<WPARAM>(LinkFont_) : Font,
                   FALSE);
  }

  // Tab follows the window order, and so does a screen reader looking for the
  // label of a text box.
  HWND After = HWND_TOP;
  for (std::size_t I : WindowOrder()) {
    ::SetWindowPos(Controls_[I], After, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    After = Controls_[I];
  }
  LastFocus_ = Controls_[ControlIndex("txtSource")];
  return true;
}

void MainWindowWin::OnCommand(int Id, int Code) {
  const std::size_t Index = std::size_t(Id - kFirstControlId);
  if (Index >= kControls.size()) return;
  const ControlSpec& Entry = kControls[Index];
  const bool IsStatic = Entry.Kind == ControlKind::LinkLabel;
  if (Code == (IsStatic ? STN_CLICKED : BN_CLICKED)) RunCommand(Entry.Click, *this);
}

void MainWindowWin::OnDrawItem(const DRAWITEMSTRUCT& Item) {
  const bool IsButton = Item.CtlType == ODT_BUTTON;
  const Picture& Shown = IsButton ? StartPicture_ : Image1_;
  RECT Box = Item.rcItem;
  if (!IsButton) {
    ::FillRect(Item.hDC, &Box, ::GetSysColorBrush(COLOR_BTNFACE));
    Shown.Draw(Item.hDC, Box.left, Box.top);
    return;
  }

  // The default button: a black outline around a push-button frame.
  const bool Pushed = Item.itemState & ODS_SELECTED;
  ::FrameRect(Item.hDC, &Box, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
  ::InflateRect(&Box, -1, -1);
  ::DrawFrameControl(Item.hDC, &Box, DFC_BUTTON, DFCS_BUTTONPUSH | (Pushed ? DFCS_PUSHED : 0));
  const int Shift = Pushed ? 1 : 0;

  const std::string Caption = WindowText(Item.hwndItem);
  ::SelectObject(Item.hDC,
                 reinterpret_cast<HFONT>(::SendMessageA(Item.hwndItem, WM_GETFONT, 0, 0)));
  TEXTMETRICA Metrics{};
  ::GetTextMetricsA(Item.hDC, &Metrics);
  const SIZE Size = Shown.PixelSize();
  const ButtonFace Face = PictureButtonFace(
      {Box.left + Shift, Box.top + Shift, Box.right - Box.left, Box.bottom - Box.top},
      {Size.cx, Size.cy}, Metrics.tmHeight, kBaseDpi);
  Shown.Draw(Item.hDC, Face.Picture.Left, Face.Picture.Top);
  RECT Text{Face.Caption.Left, Face.Caption.Top, Face.Caption.Left + Face.Caption.Width,
            Face.Caption.Top + Face.Caption.Height};
  ::SetBkMode(Item.hDC, TRANSPARENT);
  ::SetTextColor(Item.hDC, ::GetSysColor(COLOR_BTNTEXT));
  ::DrawTextA(Item.hDC, Caption.c_str(), -1, &Text, DT_CENTER | DT_SINGLELINE | DT_NOPREFIX);
  if (Item.itemState & ODS_FOCUS) {
    ::InflateRect(&Box, -3, -3);
    ::DrawFocusRect(Item.hDC, &Box);
  }
}

HBRUSH MainWindowWin::OnColorStatic(HDC Dc, HWND Control) {
  // Labels paint an opaque background in the window's colour.
  ::SetBkMode(Dc, OPAQUE);
  ::SetBkColor(Dc, ::GetSysColor(COLOR_BTNFACE));
  if (Control == Controls_[ControlIndex("Label2")]) {
    ::SetTextColor(Dc, RGB(kLinkRed, kLinkGreen, kLinkBlue));
  }
  return ::GetSysColorBrush(COLOR_BTNFACE);
}

void MainWindowWin::OnActivate(bool Active) {
  // As a dialog box does: the focus comes back to where it was.
  if (!Active) {
    HWND Focus = ::GetFocus();
    if (Focus != nullptr && ::IsChild(Hwnd_, Focus)) LastFocus_ = Focus;
  } else if (LastFocus_ != nullptr) {
    ::SetFocus(LastFocus_);
  }
}

void MainWindowWin::OnDestroy() {
  if (LinkFont_ != nullptr) ::DeleteObject(LinkFont_);
  ::PostQuitMessage(0);
}

std::string MainWindowWin::PathText() const {
  return WindowText(Controls_[ControlIndex("txtSource")]);
}

void MainWindowWin::SetPathText(const std::string& Text) {
  ::SetWindowTextA(Controls_[ControlIndex("txtSource")], Text.c_str());
}

std::string MainWindowWin::OpenDialog(const std::string& Filter, const std::string& Title,
                                      const std::string& InitDir) {
  return mirvane::OpenDialog(Hwnd_, Filter, Title, InitDir);
}

std::string MainWindowWin::SaveDialog(const std::string& Filter, const std::string& Title,
                                      const std::string& InitDir,
                                      const std::string& DefaultFilename) {
  return mirvane::SaveDialog(Hwnd_, Filter, Title, InitDir, DefaultFilename);
}

void MainWindowWin::Inform(const std::string& Text) {
  ::MessageBoxA(Hwnd_, Text.c_str(), WindowText(Hwnd_).c_str(), MB_OK | MB_ICONINFORMATION);
}

void MainWindowWin::OpenAddress(const std::string& Address) {
  ::ShellExecuteA(nullptr, nullptr, Address.c_str(), nullptr, "C:\\", SW_SHOWNORMAL);
}

}  // namespace mirvane
