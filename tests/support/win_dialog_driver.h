// Drives Windows common dialogs and message boxes from inside a test, as a
// user would: each step waits until the dialog it expects is up and ready
// for input, then reads its controls, types a name or presses a button.
// The steps run from a timer on the test's own thread, which the dialogs'
// modal loops keep serving; button presses are posted, so a prompt they
// open never blocks the script. Text is read with the wide messages.
#pragma once

#include <windows.h>

#include <atomic>
#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace mirvane::testing {

class DialogScript {
 public:
  using Action = std::function<void(HWND Dialog)>;

  // Steps wait at most TimeoutMs each; then the script gives up, cancels
  // what is open and records the failure. Once every step has run, a dialog
  // or prompt that opens, or the last step's dialog still open TimeoutMs
  // later, is cancelled and recorded as a failure, so that it cannot hold
  // the call under test. While the script lives, a thread that stops
  // serving its timer for TimeoutMs (a call stuck inside the system), or a
  // call still running TimeoutMs after the script gave up, ends the test
  // program with a failure: no press can end such a call, and the test run
  // would wait for it until its own limit.
  explicit DialogScript(HWND Owner, DWORD TimeoutMs = 30000);
  ~DialogScript();
  DialogScript(const DialogScript&) = delete;
  DialogScript& operator=(const DialogScript&) = delete;

  // The next dialog owned by the owner window.
  DialogScript& OnDialog(Action Run);
  // The next prompt (message box) owned by the dialog of the last OnDialog.
  DialogScript& OnPrompt(Action Run);

  bool Finished() const { return Steps_.empty(); }
  const std::vector<std::string>& Failures() const { return Failures_; }

 private:
  struct Step {
    bool Prompt;
    Action Run;
  };

  static void CALLBACK Tick(HWND Window, UINT, UINT_PTR, DWORD);
  static DWORD WINAPI Watch(void* Self);
  void Poll();
  void CloseUnexpected();
  void GiveUp();

  HWND Owner_;
  DWORD TimeoutMs_;
  DWORD StepStart_;
  HWND LastDialog_ = nullptr;
  bool GivenUp_ = false;
  std::deque<Step> Steps_;
  std::vector<std::string> Failures_;
  // When the script last ran while not given up: the watchdog's view.
  std::atomic<DWORD> LastPoll_;
  HANDLE Stop_;
  HANDLE Watchdog_;
};

// The visible dialog box owned by Owner that takes input (no prompt of its
// own is open over it); null if there is none.
HWND FindOwnedDialog(HWND Owner);

std::string TextOf(HWND Window);  // UTF-8
std::vector<std::string> ComboItems(HWND Combo);
int ComboSelection(HWND Combo);

// The file dialog's name field, its current folder, and its buttons.
HWND FileNameField(HWND FileDialog);
std::string FolderOf(HWND FileDialog);
void SetText(HWND Window, const std::string& Text);  // UTF-8
void PressButton(HWND Dialog, int Id);

// The prompt's text (the static control of a message box).
std::string MessageText(HWND MessageBox);

}  // namespace mirvane::testing
