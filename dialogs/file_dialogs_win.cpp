#include "file_dialogs_win.h"

#include <commctrl.h>
#include <dlgs.h>

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cwchar>

#include "chosen_path.h"
#include "full_path_win.h"
#include "utf16_win.h"
#include "window_text_win.h"

namespace mirvane {

namespace {

// The record without the fields that Windows 2000 added, up to and including
// lpTemplateName: 76 bytes in 32-bit programs.
constexpr DWORD kRecordSize =
    offsetof(OPENFILENAMEW, lpTemplateName) + sizeof(OPENFILENAMEW::lpTemplateName);
static_assert(sizeof(void*) != 4 || kRecordSize == 76);

// The name buffer as the record defines it: this many blanks, then NULs.
constexpr std::size_t kNameBlanks = 254;
// The longest name the dialogs propose, in characters: what the record
// defines as overwriting the blanks.
constexpr std::size_t kProposedNameChars = 254;

// Text written over the start of the buffer, then NULs to its end; with
// Blanks, the blanks fill the first kNameBlanks characters that Text leaves.
std::vector<wchar_t> NameBuffer(const std::wstring& Text, bool Blanks) {
  std::vector<wchar_t> Buffer(kDialogBufferChars, L'\0');
  if (Blanks) std::fill_n(Buffer.begin(), kNameBlanks, L' ');
  std::copy_n(Text.begin(), std::min(Text.size(), Buffer.size() - 1), Buffer.begin());
  return Buffer;
}

// The process's working directory, of any length; "" when it cannot be read.
std::wstring WorkingDirectory() {
  const DWORD Size = ::GetCurrentDirectoryW(0, nullptr);
  if (Size == 0) return L"";
  std::wstring Folder(Size, L'\0');
  Folder.resize(::GetCurrentDirectoryW(Size, Folder.data()));
  return Folder;
}

// What the dialogs take a proposed Name to mean: a bare name lies in Folder
// where Folder is one; any other is taken from the working directory.
std::wstring ProposedPath(const std::wstring& Folder, const std::wstring& Name) {
  const DWORD Attributes = ::GetFileAttributesW(Folder.c_str());
  if (Name.find_first_of(L"\\/:") != std::wstring::npos || Folder.empty() ||
      Attributes == INVALID_FILE_ATTRIBUTES || !(Attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    return Name;
  }
  return Folder + (Folder.back() == L'\\' || Folder.back() == L'/' ? L"" : L"\\") + Name;
}

// Wine's dialog copies the proposed path, and at OK the folder it shows
// joined to the name box's text, into arrays of MAX_PATH UTF-16 units, and
// the starting folder with "\*" added into another. The proposal goes in as
// one full path, which Wine shows as its folder and its name; a longer one
// leaves the name box empty and the dialog in the proposal's folder. A
// starting folder too long for its array is left out.
void FitWineArrays(std::wstring& Folder, std::wstring& Name) {
  if (!Name.empty()) {
    const std::wstring Full = FullPath(ProposedPath(Folder, Name));
    if (!Full.empty() && Full.size() < MAX_PATH) {
      Name = Full;
    } else {
      Name.clear();
      if (!Full.empty()) Folder = Full.substr(0, Full.find_last_of(L'\\') + 1);
    }
  }
  if (Folder.size() + 2 >= MAX_PATH) Folder.clear();
}

// Where Wine's dialog, at OK, puts the name box's text in an array of
// MAX_PATH UTF-16 units on its stack: after the folder it shows and a "\"
// for a relative name, alone for one with a drive letter, after two units for
// one from a root.
std::size_t WineNameStart(const std::wstring& Folder, const std::wstring& Name) {
  const bool Relative = Name.empty() || (Name[0] != L'\\' && (Name.size() < 2 || Name[1] != L':'));
  if (Relative) return Folder.size() + (!Folder.empty() && Folder.back() == L'\\' ? 0 : 1);
  const bool Drive = Name[1] == L':' && (Name[0] | 0x20) >= L'a' && (Name[0] | 0x20) <= L'z';
  return Drive ? 0 : 2;
}

// A typed name that would overflow that array is refused before Wine reads
// it, and the dialog stays open.
LRESULT CALLBACK RefuseNamesBeyondWine(HWND Dialog, UINT Message, WPARAM W, LPARAM L, UINT_PTR Id,
                                       DWORD_PTR) {
  if (Message == WM_COMMAND && LOWORD(W) == IDOK) {
    HWND NameBox = ::GetDlgItem(Dialog, cmb13);
    if (NameBox == nullptr) NameBox = ::GetDlgItem(Dialog, edt1);
    const std::wstring Name = WideText(NameBox);
    wchar_t Folder[MAX_PATH] = {};
    ::SendMessageW(Dialog, CDM_GETFOLDERPATH, MAX_PATH, reinterpret_cast<LPARAM>(Folder));
    if (WineNameStart(Folder, Name) + Name.size() >= MAX_PATH) {
      ShowInformation(Dialog, "The file name is too long.");
      return 0;
    }
  }
  if (Message == WM_NCDESTROY) ::RemoveWindowSubclass(Dialog, RefuseNamesBeyondWine, Id);
  return ::DefSubclassProc(Dialog, Message, W, L);
}

// The hook's own dialog is a child of the file dialog, whose OK it guards.
// While a dialog runs under Wine, each file dialog that comes up is guarded
// as it is first activated: before any input reaches it.
LRESULT CALLBACK GuardWineDialogs(int Code, WPARAM W, LPARAM L) {
  const HWND Window = reinterpret_cast<HWND>(W);
  if (Code == HCBT_ACTIVATE && (::GetDlgItem(Window, cmb13) || ::GetDlgItem(Window, edt1))) {
    ::SetWindowSubclass(Window, RefuseNamesBeyondWine, 0, 0);
  }
  return ::CallNextHookEx(nullptr, Code, W, L);
}

void TellDialogFailed(HWND Owner, DWORD Error) {
  char Text[64];
  std::snprintf(Text, sizeof Text, "The file dialog failed (error 0x%04lX).",
                static_cast<unsigned long>(Error));
  ShowInformation(Owner, Text);
}

}  // namespace

DialogSystem DialogSystemHere() {
  const HMODULE Ntdll = ::GetModuleHandleW(L"ntdll.dll");
  const bool Wine = Ntdll != nullptr && ::GetProcAddress(Ntdll, "wine_get_version") != nullptr;
  return Wine ? DialogSystem::Wine : DialogSystem::Windows;
}

void BuildFileDialogRecord(const DialogRequest& Request, HWND Form1, DialogSystem System,
                           FileDialogRecord& Out) {
  const bool Wine = System == DialogSystem::Wine;
  std::string Filter;
  for (const FileType& Type : Request.FileTypes) Filter += Type.Description + '|' + Type.Pattern + '|';
  Out.ApiFilter = Utf16(FilterToApi(Filter), BadText::Replace);
  Out.Title = Utf16(Request.Title, BadText::Replace);
  DialogRequest Fitted = Request;
  FitProposal(Fitted, kProposedNameChars);
  Out.InitialFolder = Utf16(Fitted.InitialFolder, BadText::Refuse);
  std::wstring Name = Utf16(Fitted.ProposedName, BadText::Refuse);
  if (Wine) FitWineArrays(Out.InitialFolder, Name);
  Out.File = NameBuffer(Name, !Wine);
  // A file's title is part of its path: the same room always holds it.
  Out.FileTitle = NameBuffer(L"", true);

  DWORD Flags = 0;
  if (Request.FileMustExist) Flags |= OFN_FILEMUSTEXIST;
  if (Request.HideReadOnly) Flags |= OFN_HIDEREADONLY;
  if (Request.CreatePrompt) Flags |= OFN_CREATEPROMPT;
  if (Request.OverwritePrompt) Flags |= OFN_OVERWRITEPROMPT;

  OPENFILENAMEW& Record = Out.Record;
  Record = OPENFILENAMEW{};
  Record.lStructSize = kRecordSize;
  Record.hwndOwner = Form1;
  Record.hInstance = ::GetModuleHandleW(nullptr);
  // std::wstring keeps a NUL after its last character: the list's final one.
  Record.lpstrFilter = Out.ApiFilter.c_str();
  Record.lpstrFile = Out.File.data();
  Record.nMaxFile = static_cast<DWORD>(Out.File.size());
  Record.lpstrFileTitle = Out.FileTitle.data();
  Record.nMaxFileTitle = static_cast<DWORD>(Out.FileTitle.size());
  Record.lpstrInitialDir = Out.InitialFolder.c_str();
  Record.lpstrTitle = Out.Title.c_str();
  Record.Flags = Flags;
  Out.System = System;
}

std::string RunFileDialog(DialogKind Kind, FileDialogRecord& Dialog) {
  // The dialogs move the working directory to the folders the user browses,
  // and the record's flags do not ask them not to: restored, it keeps a
  // relative path in the path box naming the file it named before.
  const std::wstring WorkingFolder = WorkingDirectory();
  const HHOOK Guard = Dialog.System == DialogSystem::Wine
                          ? ::SetWindowsHookExW(WH_CBT, GuardWineDialogs, nullptr,
                                                ::GetCurrentThreadId())
                          : nullptr;
  const BOOL Accepted = Kind == DialogKind::Open ? ::GetOpenFileNameW(&Dialog.Record)
                                                 : ::GetSaveFileNameW(&Dialog.Record);
  if (Guard != nullptr) ::UnhookWindowsHookEx(Guard);
  // Zero when the user cancelled; FNERR_BUFFERTOOSMALL, among others, when not.
  const DWORD Error = Accepted ? 0 : ::CommDlgExtendedError();
  if (!WorkingFolder.empty()) ::SetCurrentDirectoryW(WorkingFolder.c_str());
  if (!Accepted) {
    if (Error != 0) TellDialogFailed(Dialog.Record.hwndOwner, Error);
    return "";
  }
  const wchar_t* File = Dialog.Record.lpstrFile;
  const std::wstring_view Chosen(File, ::wcsnlen(File, Dialog.Record.nMaxFile));
  const std::string Path = Utf8(Chosen, BadText::Refuse);
  if (Path.empty() && !Chosen.empty()) {
    ShowInformation(Dialog.Record.hwndOwner,
                    "The name of the file chosen is not valid Unicode and cannot be used.");
  }
  return ChosenPath(Path);
}

std::string OpenDialog(HWND Form1, const std::string& Filter, const std::string& Title,
                       const std::string& InitDir) {
  FileDialogRecord Dialog;
  BuildFileDialogRecord(OpenRequest(Filter, Title, InitDir), Form1, DialogSystemHere(), Dialog);
  return RunFileDialog(DialogKind::Open, Dialog);
}

std::string SaveDialog(HWND Form1, const std::string& Filter, const std::string& Title,
                       const std::string& InitDir, const std::string& DefaultFilename) {
  FileDialogRecord Dialog;
  BuildFileDialogRecord(SaveRequest(Filter, Title, InitDir, DefaultFilename), Form1,
                        DialogSystemHere(), Dialog);
  return RunFileDialog(DialogKind::Save, Dialog);
}

}  // namespace mirvane
