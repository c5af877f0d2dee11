#include "win_dialog_driver.h"

#include <dlgs.h>

#include <commdlg.h>

#include <cstdio>

#include "utf16_win.h"

namespace mirvane::testing {

namespace {

constexpr UINT_PTR kTimerId = 0x4D49;  // "MI"
// A property, not the owner's user data, which a window may keep for itself.
constexpr wchar_t kScriptProperty[] = L"MirvaneDialogScript";

struct Search {
  HWND Owner;
  HWND Found;
};

BOOL CALLBACK MatchOwnedDialog(HWND Window, LPARAM Param) {
  auto* Wanted = reinterpret_cast<Search*>(Param);
  wchar_t Class[16] = {};
  ::GetClassNameW(Window, Class, 16);
  if (std::wstring(Class) == L"#32770" && ::IsWindowVisible(Window) && ::IsWindowEnabled(Window) &&
      ::GetWindow(Window, GW_OWNER) == Wanted->Owner) {
    Wanted->Found = Window;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

DialogScript::DialogScript(HWND Owner, DWORD TimeoutMs)
    : Owner_(Owner),
      TimeoutMs_(TimeoutMs),
      StepStart_(::GetTickCount()),
      LastPoll_(StepStart_),
      Stop_(::CreateEventW(nullptr, TRUE, FALSE, nullptr)),
      Watchdog_(::CreateThread(nullptr, 0, Watch, this, 0, nullptr)) {
  ::SetPropW(Owner_, kScriptProperty, this);
  ::SetTimer(Owner_, kTimerId, 50, Tick);
}

DialogScript::~DialogScript() {
  ::SetEvent(Stop_);
  ::WaitForSingleObject(Watchdog_, INFINITE);
  ::CloseHandle(Watchdog_);
  ::CloseHandle(Stop_);
  ::KillTimer(Owner_, kTimerId);
  ::RemovePropW(Owner_, kScriptProperty);
}

DialogScript& DialogScript::OnDialog(Action Run) {
  Steps_.push_back({false, std::move(Run)});
  return *this;
}

DialogScript& DialogScript::OnPrompt(Action Run) {
  Steps_.push_back({true, std::move(Run)});
  return *this;
}

DWORD WINAPI DialogScript::Watch(void* Self) {
  auto* Script = static_cast<DialogScript*>(Self);
  while (::WaitForSingleObject(Script->Stop_, 1000) == WAIT_TIMEOUT) {
    if (::GetTickCount() - Script->LastPoll_ <= Script->TimeoutMs_) continue;
    std::printf(
        "Failure: a dialog call has not returned %lu ms after the script last ran; the "
        "test program ends here\n",
        static_cast<unsigned long>(Script->TimeoutMs_));
    std::fflush(stdout);
    ::TerminateProcess(::GetCurrentProcess(), 1);
  }
  return 0;
}

void CALLBACK DialogScript::Tick(HWND Window, UINT, UINT_PTR, DWORD) {
  if (auto* Script = static_cast<DialogScript*>(::GetPropW(Window, kScriptProperty))) {
    Script->Poll();
  }
}

void DialogScript::Poll() {
  if (!GivenUp_) LastPoll_ = ::GetTickCount();
  if (GivenUp_) {
    // Closes whatever is still open, prompts first, until the call returns.
    for (HWND Owner : {LastDialog_, Owner_}) {
      if (HWND Open = FindOwnedDialog(Owner)) PressButton(Open, IDCANCEL);
    }
    return;
  }
  if (Steps_.empty()) {
    CloseUnexpected();
    return;
  }
  const Step Next = Steps_.front();
  const HWND Dialog = FindOwnedDialog(Next.Prompt ? LastDialog_ : Owner_);
  if (Dialog == nullptr) {
    if (::GetTickCount() - StepStart_ > TimeoutMs_) GiveUp();
    return;
  }
  if (!Next.Prompt) LastDialog_ = Dialog;
  Steps_.pop_front();
  StepStart_ = ::GetTickCount();
  Next.Run(Dialog);
}

void DialogScript::CloseUnexpected() {
  HWND Open = FindOwnedDialog(Owner_);
  if (Open != nullptr && Open == LastDialog_) {
    // The last step's dialog, closing, unless it stays.
    if (::GetTickCount() - StepStart_ <= TimeoutMs_) return;
    Failures_.push_back("the last step's dialog stayed open: \"" + TextOf(Open) + "\"");
    GivenUp_ = true;
    return;
  }
  if (Open == nullptr) Open = FindOwnedDialog(LastDialog_);
  if (Open == nullptr) return;
  Failures_.push_back("a dialog no step expected: \"" + TextOf(Open) + "\" \"" + MessageText(Open) +
                      "\"");
  PressButton(Open, IDCANCEL);
}

void DialogScript::GiveUp() {
  Failures_.push_back("gave up waiting for a " +
                      std::string(Steps_.front().Prompt ? "prompt" : "dialog") + " after " +
                      std::to_string(TimeoutMs_) + " ms");
  Steps_.clear();
  GivenUp_ = true;
}

HWND FindOwnedDialog(HWND Owner) {
  if (Owner == nullptr) return nullptr;
  Search Wanted{Owner, nullptr};
  ::EnumWindows(MatchOwnedDialog, reinterpret_cast<LPARAM>(&Wanted));
  return Wanted.Found;
}

std::string TextOf(HWND Window) {
  const auto Length = ::SendMessageW(Window, WM_GETTEXTLENGTH, 0, 0);
  std::wstring Text(std::size_t(Length) + 1, L'\0');
  ::SendMessageW(Window, WM_GETTEXT, Text.size(), reinterpret_cast<LPARAM>(Text.data()));
  Text.resize(std::size_t(Length));
  return Utf8(Text, BadText::Replace);
}

std::vector<std::string> ComboItems(HWND Combo) {
  std::vector<std::string> Items;
  const auto Count = ::SendMessageW(Combo, CB_GETCOUNT, 0, 0);
  for (LRESULT I = 0; I < Count; ++I) {
    const auto Length = ::SendMessageW(Combo, CB_GETLBTEXTLEN, I, 0);
    std::wstring Item(std::size_t(Length) + 1, L'\0');
    ::SendMessageW(Combo, CB_GETLBTEXT, I, reinterpret_cast<LPARAM>(Item.data()));
    Item.resize(std::size_t(Length));
    Items.push_back(Utf8(Item, BadText::Replace));
  }
  return Items;
}

int ComboSelection(HWND Combo) {
  return int(::SendMessageW(Combo, CB_GETCURSEL, 0, 0));
}

HWND FileNameField(HWND FileDialog) {
  // Newer dialogs hold the name in a combo box's edit, older ones in an edit.
  if (HWND Combo = ::GetDlgItem(FileDialog, cmb13)) {
    if (HWND Edit = ::FindWindowExW(Combo, nullptr, L"Edit", nullptr)) return Edit;
    return Combo;
  }
  return ::GetDlgItem(FileDialog, edt1);
}

std::string FolderOf(HWND FileDialog) {
  // Answered in the dialog's own character set: UTF-16 for the "W" dialogs.
  wchar_t Folder[MAX_PATH] = {};
  ::SendMessageW(FileDialog, CDM_GETFOLDERPATH, MAX_PATH, reinterpret_cast<LPARAM>(Folder));
  return Utf8(Folder, BadText::Replace);
}

void SetText(HWND Window, const std::string& Text) {
  const std::wstring Wide = Utf16(Text, BadText::Refuse);
  ::SendMessageW(Window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Wide.c_str()));
}

void PressButton(HWND Dialog, int Id) {
  ::PostMessageW(Dialog, WM_COMMAND, MAKEWPARAM(Id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(::GetDlgItem(Dialog, Id)));
}

std::string MessageText(HWND MessageBox) {
  return TextOf(::GetDlgItem(MessageBox, 0xFFFF));
}

}  // namespace mirvane::testing
