// The main window on Windows: raw Win32 controls built from the layout table.
#pragma once

#include <windows.h>

#include <array>

#include "picture.h"
#include "window_commands.h"
#include "window_geometry.h"
#include "window_layout.h"

namespace mirvane {

class MainWindowWin : public MainWindowPort {
 public:
  // Registers the window class once per process; false if that failed.
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
  void OnDrawItem(const DRAWITEMSTRUCT& Item);
  HBRUSH OnColorStatic(HDC Dc, HWND Control);
  void OnActivate(bool Active);
  void OnDestroy();

  HWND Hwnd_;
  std::array<HWND, kControls.size()> Controls_{};
  HFONT LinkFont_ = nullptr;
  Picture Image1_;
  Picture StartPicture_;
  HWND LastFocus_ = nullptr;
};

}  // namespace mirvane
