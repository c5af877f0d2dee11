#include "main_window_win.h"

#include <shellapi.h>

#include <windowsx.h>

#include <cstring>
#include <new>

#include "accessible_name.h"
#include "control_font.h"
#include "control_ids.h"
#include "file_dialogs_win.h"
#include "picture_button.h"
#include "resource.h"
#include "window_text_win.h"
#include "utf16_win.h"

namespace mirvane {

namespace {

constexpr wchar_t kClassName[] = L"MirvaneWindow";
constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kWindowExStyle = WS_EX_TOOLWINDOW | WS_EX_CONTROLPARENT;
// Sent once the window is drawn, for what only later commands need.
constexpr UINT kDrawnMessage = WM_APP;

// The window class and styles of each kind of control.
struct ControlClass {
  const wchar_t* Class;
  DWORD Style;
  DWORD ExStyle;
};

// The style constants are signed in the headers; styles are DWORDs.
constexpr DWORD Style(long Bits) {
  return static_cast<DWORD>(Bits);
}

ControlClass ClassOf(const ControlEntry& Entry) {
  const DWORD Tab = Entry.TakesFocus ? Style(WS_TABSTOP) : 0;
  switch (Entry.Kind) {
    case ControlKind::PushButton:
      // BS_NOTIFY: the window hears of its focus, to make it the default.
      return {L"BUTTON", Style(BS_PUSHBUTTON | BS_NOTIFY) | Tab, 0};
    case ControlKind::TextBox:
      return {L"EDIT", Style(ES_LEFT | ES_AUTOHSCROLL) | Tab, WS_EX_CLIENTEDGE};
    case ControlKind::PictureButton:
      // Drawn here: a picture above the caption is beyond the plain button.
      return {L"BUTTON", Style(BS_OWNERDRAW) | Tab, 0};
    case ControlKind::Label:
      return {L"STATIC", Style((Entry.WordWrap ? SS_LEFT : SS_LEFTNOWORDWRAP) | SS_NOPREFIX), 0};
    case ControlKind::LinkLabel:
      // Without SS_NOTIFY the link lets the mouse through to the window,
      // which acts on the release rather than on the press.
      return {L"STATIC", Style(SS_LEFTNOWORDWRAP | SS_NOPREFIX), 0};
    case ControlKind::Picture:
      return {L"STATIC", Style(SS_OWNERDRAW), 0};
  }
  return {L"STATIC", 0, 0};
}

HFONT CreateLinkFont(int Dpi, int TextPercent) {
  // Points are 1/72 inch; the height is negative to size the characters
  // rather than the cells.
  const int Height = -::MulDiv(int(kLinkFontPoints * 100) * TextPercent, Dpi, 72 * 100 * 100);
  return ::CreateFontW(Height, 0, 0, 0, FW_NORMAL, FALSE, TRUE, FALSE, ANSI_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       DEFAULT_PITCH | FF_SWISS, Utf16(kLinkFontFace, BadText::Replace).c_str());
}

SIZE ToSize(const PixelRect& Rect) {
  return {Rect.Width, Rect.Height};
}

// The credit link's colour: pure blue, unless a high-contrast theme gives
// links a colour that shows on its background.
COLORREF LinkColour() {
  HIGHCONTRASTW Contrast{sizeof Contrast, 0, nullptr};
  const bool High = ::SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof Contrast, &Contrast, 0) &&
                    (Contrast.dwFlags & HCF_HIGHCONTRASTON);
  return High ? ::GetSysColor(COLOR_HOTLIGHT) : RGB(kLinkRed, kLinkGreen, kLinkBlue);
}

}  // namespace

bool MainWindowWin::Register(HINSTANCE Instance) {
  WNDCLASSEXW Class{};
  Class.cbSize = sizeof Class;
  if (::GetClassInfoExW(Instance, kClassName, &Class)) return true;
  Class.lpfnWndProc = WindowProc;
  Class.hInstance = Instance;
  Class.hIcon = ::LoadIconW(Instance, MAKEINTRESOURCEW(IDI_MIRVANE));
  Class.hIconSm = Class.hIcon;
  Class.hCursor = ::LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  Class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  Class.lpszClassName = kClassName;
  return ::RegisterClassExW(&Class) != 0;
}

HWND MainWindowWin::Create(HINSTANCE Instance, int Show) {
  // The size follows in WM_CREATE, once the window's density is known.
  HWND Window =
      ::CreateWindowExW(kWindowExStyle, kClassName, Utf16(kWindowCaption, BadText::Replace).c_str(),
                        kWindowStyle, CW_USEDEFAULT, CW_USEDEFAULT, 0, 0, nullptr, nullptr,
                        Instance, nullptr);
  if (Window == nullptr) return nullptr;
  ::ShowWindow(Window, Show);
  ::UpdateWindow(Window);
  ::SendMessageW(Window, kDrawnMessage, 0, 0);
  return Window;
}

// An exception must not unwind through the system's frames that called this
// procedure. Lookups in the table are settled while compiling, so what can
// still throw is running out of memory in a command or a window text; such a
// message is left to the default procedure, which is as if it were not
// handled, and a window that cannot get its object is not created.
LRESULT CALLBACK MainWindowWin::WindowProc(HWND Window, UINT Message, WPARAM WParam,
                                           LPARAM LParam) {
  auto* Self = reinterpret_cast<MainWindowWin*>(::GetWindowLongPtrW(Window, GWLP_USERDATA));
  if (Message == WM_NCCREATE) {
    Self = new (std::nothrow) MainWindowWin(Window);
    if (Self == nullptr) return FALSE;
    ::SetWindowLongPtrW(Window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(Self));
  }
  if (Self == nullptr) return ::DefWindowProcW(Window, Message, WParam, LParam);
  // A modal step inside a command may see the window destroyed: the object
  // goes once the outermost message has returned.
  ++Self->Handling_;
  LRESULT Result = 0;
  try {
    Result = Self->Handle(Message, WParam, LParam);
  } catch (...) {
    // A window whose creation failed halfway is not created at all.
    Result = Message == WM_NCCREATE ? FALSE
             : Message == WM_CREATE ? -1
                                    : ::DefWindowProcW(Window, Message, WParam, LParam);
  }
  if (Message == WM_NCDESTROY) {
    ::SetWindowLongPtrW(Window, GWLP_USERDATA, 0);
    Self->Hwnd_ = nullptr;
  }
  if (--Self->Handling_ == 0 && Self->Hwnd_ == nullptr) delete Self;
  return Result;
}

LRESULT MainWindowWin::Handle(UINT Message, WPARAM WParam, LPARAM LParam) {
  switch (Message) {
    case WM_CREATE:
      return OnCreate() ? 0 : -1;
    case WM_COMMAND:
      OnCommand(LOWORD(WParam), HIWORD(WParam));
      return 0;
    case kDrawnMessage:
      AcceptCardDrops();
      return 0;
    case DM_GETDEFID:
      // Enter, through IsDialogMessage, presses the default button.
      return Default_ < kControls.size() ? MAKELRESULT(ControlId(Default_), DC_HASDEFID) : 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
      OnLinkMouse(Message, LParam);
      return 0;
    case WM_CAPTURECHANGED:
      LinkPressed_ = false;
      return 0;
    case WM_DRAWITEM:
      OnDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(LParam));
      return TRUE;
    case WM_SETTINGCHANGE:
      OnSettingChange();
      return 0;
    case WM_SYSCOLORCHANGE:
    case WM_THEMECHANGED:
      Repaint();
      return 0;
    case WM_DPICHANGED:
      // Both halves of WParam carry the same density.
      OnDpiChanged(HIWORD(WParam), *reinterpret_cast<const RECT*>(LParam));
      return 0;
    case WM_CTLCOLORSTATIC:
      return reinterpret_cast<LRESULT>(
          OnColorStatic(reinterpret_cast<HDC>(WParam), reinterpret_cast<HWND>(LParam)));
    case WM_ACTIVATE:
      OnActivate(LOWORD(WParam) != WA_INACTIVE);
      return 0;
    case WM_DROPFILES:
      OnDropFiles(reinterpret_cast<HDROP>(WParam));
      return 0;
    case WM_DESTROY:
      OnDestroy();
      return 0;
    default:
      return ::DefWindowProcW(Hwnd_, Message, WParam, LParam);
  }
}

bool MainWindowWin::OnCreate() {
  const auto Instance = reinterpret_cast<HINSTANCE>(::GetWindowLongPtrW(Hwnd_, GWLP_HINSTANCE));
  Dpi_ = DpiApi_.WindowDpi(Hwnd_);
  TextPercent_ = TextScalePercent();
  Image1_.Load(Instance, IDR_IMAGE1_GIF, IDR_IMAGE1_2X_GIF);
  StartPicture_.Load(Instance, IDR_BTNSTART_GIF, IDR_BTNSTART_2X_GIF);

  for (std::size_t I = 0; I < kControls.size(); ++I) {
    const ControlEntry& Entry = kControls[I];
    const ControlClass Class = ClassOf(Entry);
    // Wide controls: the path box holds any name, whatever the code page.
    Controls_[I] = ::CreateWindowExW(
        Class.ExStyle, Class.Class, Utf16(Entry.Text, BadText::Replace).c_str(),
        WS_CHILD | WS_VISIBLE | Class.Style, 0, 0, 0, 0, Hwnd_,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(ControlId(I))), Instance, nullptr);
    if (Controls_[I] == nullptr) return false;
  }

  // Tab follows the window order, and so does a screen reader looking for the
  // label of a text box.
  HWND After = HWND_TOP;
  for (std::size_t I : WindowOrder()) {
    ::SetWindowPos(Controls_[I], After, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    After = Controls_[I];
  }
  ApplyDpi(true);
  LastFocus_ = Controls_[ControlIndex("txtSource")];
  AnnounceControls();
  return true;
}

void MainWindowWin::AnnounceControls() {
  for (std::size_t I = 0; I < kControls.size(); ++I) {
    const ControlEntry& Entry = kControls[I];
    if (Entry.AccessibleName.empty() && Entry.AccessibleDescription.empty()) continue;
    // Best effort: a control that cannot take it is announced by its text.
    AnnounceAs(Controls_[I], Entry.AccessibleName, Entry.AccessibleDescription);
  }
}

void MainWindowWin::AcceptCardDrops() {
  // OLE's drop target lets the cursor refuse a folder. WM_DROPFILES cannot:
  // it takes any files, which OnDropFiles sorts once they are dropped. Not
  // both: Wine, seeing WS_EX_ACCEPTFILES, would accept a folder over the
  // drop target's refusal.
  DropTarget_ = new CardDropTarget([this](const std::string& Card) { TakeCard(Card); });
  if (FAILED(::RegisterDragDrop(Hwnd_, DropTarget_))) {
    DropTarget_->Release();
    DropTarget_ = nullptr;
    ::DragAcceptFiles(Hwnd_, TRUE);
  }
}

void MainWindowWin::ApplyDpi(bool SizeWindow) {
  MakeFonts();
  MakeIcons();
  for (std::size_t I = 0; I < kControls.size(); ++I) {
    const PixelRect Rect = ToPixels(kControls[I].Rect, Dpi_, TextPercent_);
    ::SetWindowPos(Controls_[I], nullptr, Rect.Left, Rect.Top, Rect.Width, Rect.Height,
                   SWP_NOZORDER | SWP_NOACTIVATE);
  }
  if (SizeWindow) {
    const PixelSize Client = ClientSize(Dpi_, TextPercent_);
    const SIZE Frame =
        DpiApi_.FrameSize(Client.Width, Client.Height, kWindowStyle, kWindowExStyle, Dpi_);
    ::SetWindowPos(Hwnd_, nullptr, 0, 0, Frame.cx, Frame.cy,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

void MainWindowWin::MakeFonts() {
  // The new fonts are in the controls before the old ones go.
  MessageFont_ = {};
  const ControlMetrics Metrics{Dpi_, TextPercent_, StartPicture_.BaseSize(),
                               DpiApi_.Metric(SM_CXEDGE, Dpi_)};
  OwnedFont NewText(DpiApi_.MessageFont(Dpi_, MessageFont_) ? FitControlFont(MessageFont_, Metrics)
                                                            : nullptr);
  OwnedFont NewLink(CreateLinkFont(Dpi_, TextPercent_));
  const auto Fallback = reinterpret_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
  HFONT Text = NewText != nullptr ? NewText.get() : Fallback;
  HFONT Link = NewLink != nullptr ? NewLink.get() : Text;
  for (std::size_t I = 0; I < kControls.size(); ++I) {
    const HFONT Font = I == ControlIndex("Label2") ? Link : Text;
    ::SendMessageW(Controls_[I], WM_SETFONT, reinterpret_cast<WPARAM>(Font), TRUE);
  }
  ControlFont_ = std::move(NewText);
  LinkFont_ = std::move(NewLink);
}

void MainWindowWin::MakeIcons() {
  // One icon resource, drawn at the sizes the system shows at this density.
  const auto Instance = reinterpret_cast<HINSTANCE>(::GetWindowLongPtrW(Hwnd_, GWLP_HINSTANCE));
  const auto Load = [&](int Width, int Height) {
    return OwnedIcon(static_cast<HICON>(::LoadImageW(Instance, MAKEINTRESOURCEW(IDI_MIRVANE),
                                                     IMAGE_ICON, DpiApi_.Metric(Width, Dpi_),
                                                     DpiApi_.Metric(Height, Dpi_), 0)));
  };
  OwnedIcon Big = Load(SM_CXICON, SM_CYICON);
  OwnedIcon Small = Load(SM_CXSMICON, SM_CYSMICON);
  ::SendMessageW(Hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(Big.get()));
  ::SendMessageW(Hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(Small.get()));
  BigIcon_ = std::move(Big);
  SmallIcon_ = std::move(Small);
}

void MainWindowWin::OnDpiChanged(int Dpi, const RECT& Suggested) {
  Dpi_ = Dpi;
  ApplyDpi(false);
  ::SetWindowPos(Hwnd_, nullptr, Suggested.left, Suggested.top, Suggested.right - Suggested.left,
                 Suggested.bottom - Suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
  ::InvalidateRect(Hwnd_, nullptr, TRUE);
}

void MainWindowWin::OnSettingChange() {
  // Which setting changed is not said the same way by every version of
  // Windows; the window changes only if its text size or message font did.
  LOGFONTW Message{};
  DpiApi_.MessageFont(Dpi_, Message);
  const int Percent = TextScalePercent();
  if (Percent != TextPercent_ || std::memcmp(&Message, &MessageFont_, sizeof Message) != 0) {
    TextPercent_ = Percent;
    ApplyDpi(true);
  }
  // A high-contrast theme comes and goes with a setting change too.
  Repaint();
}

void MainWindowWin::Repaint() {
  ::RedrawWindow(Hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void MainWindowWin::OnCommand(int Id, int Code) {
  const std::size_t Index = std::size_t(Id - kFirstControlId);
  if (Index >= kControls.size()) return;
  if (Code == BN_CLICKED) RunCommand(kControls[Index].Click, *this);
  if (Code == BN_SETFOCUS) MakeDefault(Index);
  if (Code == BN_KILLFOCUS) MakeDefault(DefaultButtonIndex());
}

void MainWindowWin::MakeDefault(std::size_t Index) {
  if (Index == Default_) return;
  for (const std::size_t Button : {Default_, Index}) {
    if (Button >= kControls.size()) continue;
    if (kControls[Button].Kind == ControlKind::PushButton) {
      const DWORD Look = Button == Index ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
      ::SendMessageW(Controls_[Button], BM_SETSTYLE, Look | BS_NOTIFY, TRUE);
    } else {
      ::InvalidateRect(Controls_[Button], nullptr, FALSE);
    }
  }
  Default_ = Index;
}

void MainWindowWin::OnLinkMouse(UINT Message, LPARAM At) {
  const std::size_t Link = ControlIndex("Label2");
  RECT Box{};
  ::GetWindowRect(Controls_[Link], &Box);
  ::MapWindowPoints(nullptr, Hwnd_, reinterpret_cast<POINT*>(&Box), 2);
  const bool Over = ::PtInRect(&Box, {GET_X_LPARAM(At), GET_Y_LPARAM(At)});
  if (Message == WM_LBUTTONDOWN && Over) {
    ::SetCapture(Hwnd_);
    LinkPressed_ = true;
  } else if (Message == WM_LBUTTONUP && LinkPressed_) {
    ::ReleaseCapture();
    if (Over) RunCommand(kControls[Link].Click, *this);
  }
}

void MainWindowWin::OnDrawItem(const DRAWITEMSTRUCT& Item) {
  // The DC goes back to the control as it came.
  const int Saved = ::SaveDC(Item.hDC);
  const std::size_t Index = std::size_t(Item.CtlID) - kFirstControlId;
  if (Index == ControlIndex("btnStart")) {
    DrawStartButton(Item);
  } else if (Index == ControlIndex("Image1")) {
    RECT Box = Item.rcItem;
    ::FillRect(Item.hDC, &Box, ::GetSysColorBrush(COLOR_BTNFACE));
    Image1_.Draw(Item.hDC, Box.left, Box.top, {Box.right - Box.left, Box.bottom - Box.top},
                 ::GetSysColor(COLOR_BTNFACE));
  }
  if (Saved != 0) ::RestoreDC(Item.hDC, Saved);
}

void MainWindowWin::DrawStartButton(const DRAWITEMSTRUCT& Item) {
  // A push-button frame, in an outline of the frame colour while it is the
  // default button.
  RECT Box = Item.rcItem;
  const bool Pushed = Item.itemState & ODS_SELECTED;
  const bool Default = Default_ == ControlIndex("btnStart");
  ::FrameRect(Item.hDC, &Box, ::GetSysColorBrush(Default ? COLOR_WINDOWFRAME : COLOR_BTNFACE));
  ::InflateRect(&Box, -kPictureButtonOutline, -kPictureButtonOutline);
  ::DrawFrameControl(Item.hDC, &Box, DFC_BUTTON, DFCS_BUTTONPUSH | (Pushed ? DFCS_PUSHED : 0));
  const int Shift = Pushed ? 1 : 0;

  ::SelectObject(Item.hDC,
                 reinterpret_cast<HFONT>(::SendMessageW(Item.hwndItem, WM_GETFONT, 0, 0)));
  TEXTMETRICW Metrics{};
  ::GetTextMetricsW(Item.hDC, &Metrics);
  const SIZE Base = StartPicture_.BaseSize();
  const PixelSize Picture{PicturePixels(Base.cx, Dpi_, TextPercent_),
                          PicturePixels(Base.cy, Dpi_, TextPercent_)};
  const ButtonFace Face = PictureButtonFace(
      {Box.left + Shift, Box.top + Shift, Box.right - Box.left, Box.bottom - Box.top}, Picture,
      Metrics.tmHeight, Dpi_, TextPercent_);
  StartPicture_.Draw(Item.hDC, Face.Picture.Left, Face.Picture.Top, ToSize(Face.Picture),
                     ::GetSysColor(COLOR_BTNFACE));
  RECT Text{Face.Caption.Left, Face.Caption.Top, Face.Caption.Left + Face.Caption.Width,
            Face.Caption.Top + Face.Caption.Height};
  ::SetBkMode(Item.hDC, TRANSPARENT);
  ::SetTextColor(Item.hDC, ::GetSysColor(COLOR_BTNTEXT));
  ::DrawTextW(Item.hDC, Utf16(WindowText(Item.hwndItem), BadText::Replace).c_str(), -1, &Text,
              kPictureCaptionFormat);
  if ((Item.itemState & ODS_FOCUS) && !(Item.itemState & ODS_NOFOCUSRECT)) {
    ::InflateRect(&Box, -3, -3);
    ::DrawFocusRect(Item.hDC, &Box);
  }
}

HBRUSH MainWindowWin::OnColorStatic(HDC Dc, HWND Control) {
  // Labels paint an opaque background in the window's colour, and their text
  // in the system's, as buttons do.
  ::SetBkMode(Dc, OPAQUE);
  ::SetBkColor(Dc, ::GetSysColor(COLOR_BTNFACE));
  const bool Link = Control == Controls_[ControlIndex("Label2")];
  ::SetTextColor(Dc, Link ? LinkColour() : ::GetSysColor(COLOR_BTNTEXT));
  return ::GetSysColorBrush(COLOR_BTNFACE);
}

void MainWindowWin::OnDropFiles(HDROP Files) {
  const std::string Card = DroppedCard(Files);
  ::DragFinish(Files);
  if (!Card.empty()) TakeCard(Card);
}

void MainWindowWin::TakeCard(const std::string& Path) {
  SetPathText(Path);
  LastFocus_ = Controls_[ControlIndex("txtSource")];
  ::SetFocus(LastFocus_);
}

void MainWindowWin::OnDestroy() {
  // OLE may still hold the drop target; it no longer reaches this window.
  if (DropTarget_ != nullptr) {
    ::RevokeDragDrop(Hwnd_);
    DropTarget_->Forget();
    DropTarget_->Release();
    DropTarget_ = nullptr;
  }
  ::PostQuitMessage(0);
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

std::string MainWindowWin::PathText() const {
  if (Hwnd_ == nullptr) return {};
  return WindowText(Controls_[ControlIndex("txtSource")]);
}

void MainWindowWin::SetPathText(const std::string& Text) {
  if (Hwnd_ == nullptr) return;
  PutWindowText(Controls_[ControlIndex("txtSource")], Text);
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
  ShowInformation(Hwnd_, Text);
}

void MainWindowWin::OpenAddress(const std::string& Address) {
  ::ShellExecuteW(nullptr, nullptr, Utf16(Address, BadText::Replace).c_str(), nullptr, L"C:\\",
                  SW_SHOWNORMAL);
}

}  // namespace mirvane
