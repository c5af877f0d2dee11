// The main window on Windows: raw Win32 controls built from the layout table,
// laid out, lettered and pictured at the density of the screen it is on.
#pragma once

#include <windows.h>

#include <array>

#include "card_drop_win.h"
#include "dpi_functions.h"
#include "owned_handles.h"
#include "picture.h"
#include "text_scale.h"
#include "window_commands.h"
#include "window_geometry.h"
#include "window_layout.h"

namespace mirvane {

class MainWindowWin : public MainWindowPort {
 public:
  // Registers the window class, unless this process has it already; false if
  // that failed.
  static bool Register(HINSTANCE Instance);
  // Creates and shows the window, with the focus in the path box.
  static HWND Create(HINSTANCE Instance, int Show);

  std::string PathText() const override;
  void SetPathText(const std::string& Text) override;
  std::string OpenDialog(const std::string& Filter, const std::string& Title,
                         const std::string& InitDir) override;
  std::string SaveDialog(const std::string& Filter, const std::string& Title,
                         const std::string& InitDir, const std::string& DefaultFilename) override;
  void Inform(const std::string& Text) override;
  void OpenAddress(const std::string& Address) override;

 private:
  explicit MainWindowWin(HWND Window) : Hwnd_(Window) {}

  static LRESULT CALLBACK WindowProc(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam);
  LRESULT Handle(UINT Message, WPARAM WParam, LPARAM LParam);

  bool OnCreate();
  void OnCommand(int Id, int Code);
  // As a dialog box does: a push button with the focus is the default one,
  // which Enter presses; otherwise the table's default button is.
  void MakeDefault(std::size_t Index);
  // The credit link acts when a click that began on it ends on it.
  void OnLinkMouse(UINT Message, LPARAM At);
  void OnDrawItem(const DRAWITEMSTRUCT& Item);
  void DrawStartButton(const DRAWITEMSTRUCT& Item);
  HBRUSH OnColorStatic(HDC Dc, HWND Control);
  void OnActivate(bool Active);
  void OnDpiChanged(int Dpi, const RECT& Suggested);
  void OnDropFiles(HDROP Files);
  void OnDestroy();
  void OnSettingChange();
  void Repaint();

  // Gives the controls that the table names for screen readers those names.
  void AnnounceControls();
  // Takes dropped cards through OLE where this thread has it, else as
  // WM_DROPFILES.
  void AcceptCardDrops();
  // A card dropped on the window: its path goes into the path box, as the
  // Browse command's result does, and the focus there.
  void TakeCard(const std::string& Path);

  // Everything that depends on the density Dpi_ and the text size
  // TextPercent_: fonts, icons, the controls' places and the window's size
  // (unless the system chose it).
  void ApplyDpi(bool SizeWindow);
  void MakeFonts();
  void MakeIcons();

  // Null once the window is gone: a command still running, back from a
  // modal step, then touches nothing of it. The object lives until the last
  // message handled on it has returned.
  HWND Hwnd_;
  int Handling_ = 0;
  DpiFunctions DpiApi_;
  int Dpi_ = kBaseDpi;
  int TextPercent_ = kUsualTextPercent;
  // The message font the controls' font was fitted from.
  LOGFONTW MessageFont_{};
  std::array<HWND, kControls.size()> Controls_{};
  // Fonts, icons and pictures live until WM_NCDESTROY, when this object is
  // deleted: the children, which use them, are gone by then.
  OwnedFont ControlFont_;
  OwnedFont LinkFont_;
  OwnedIcon BigIcon_;
  OwnedIcon SmallIcon_;
  ScaledPicture Image1_;
  ScaledPicture StartPicture_;
  HWND LastFocus_ = nullptr;
  std::size_t Default_ = DefaultButtonIndex();
  bool LinkPressed_ = false;
  // Registered for the window, with one reference of ours; null when drops
  // come as WM_DROPFILES instead.
  CardDropTarget* DropTarget_ = nullptr;
};

}  // namespace mirvane
