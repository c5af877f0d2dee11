// Mirvane for Windows: shows the main window and runs its message loop until
// the window is closed.
#include <windows.h>

#include <ole2.h>

#include "main_window_win.h"

int WINAPI WinMain(HINSTANCE Instance, HINSTANCE, LPSTR, int Show) {
  // The dialogs and the shell want COM on this thread, and dropping a card
  // on the window wants OLE (a single-threaded apartment).
  const bool Com = SUCCEEDED(::OleInitialize(nullptr));
  int Result = 1;
  if (mirvane::MainWindowWin::Register(Instance)) {
    HWND Window = mirvane::MainWindowWin::Create(Instance, Show);
    MSG Message;
    // Wide messages: a character typed into the path box reaches it whole,
    // not mapped to the ANSI code page on the way.
    while (Window != nullptr && ::GetMessageW(&Message, nullptr, 0, 0) > 0) {
      // The standard dialog keys: Tab between controls, Enter for Convert.
      if (::IsWindow(Window) && ::IsDialogMessageW(Window, &Message)) continue;
      ::TranslateMessage(&Message);
      ::DispatchMessageW(&Message);
    }
    Result = Window != nullptr ? int(Message.wParam) : 1;
  }
  if (Com) ::OleUninitialize();
  return Result;
}
