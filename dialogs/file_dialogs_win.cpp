#include "file_dialogs_win.h"

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cwchar>

#include "text_win.h"
#include "utf16_win.h"

namespace mirvane {

namespace {

// The record without the fields that Windows 2000 added, up to and including
// lpTemplateName: 76 bytes in 32-bit programs.
constexpr DWORD kRecordSize =
    offsetof(OPENFILENAMEW, lpTemplateName) + sizeof(OPENFILENAMEW::lpTemplateName);
static_assert(sizeof(void*) != 4 || kRecordSize == 76);

// Text written over the start of the buffer, then NULs to its end; with
// Blanks, the blanks fill the first kProposedNameChars characters that Text
// leaves.
std::vector<wchar_t> NameBuffer(const std::wstring& Text, bool Blanks) {
  std::vector<wchar_t> Buffer(kDialogBufferChars, L'\0');
  if (Blanks) std::fill_n(Buffer.begin(), kProposedNameChars, L' ');
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

// The absolute form of Path, as GetFullPathNameW makes it; "" when it has none.
std::wstring FullPath(const std::wstring& Path) {
  const DWORD Size = ::GetFullPathNameW(Path.c_str(), 0, nullptr, nullptr);
  if (Size == 0) return L"";
  std::wstring Full(Size, L'\0');
  const DWORD Written = ::GetFullPathNameW(Path.c_str(), Size, Full.data(), nullptr);
  Full.resize(Written < Size ? Written : 0);
  return Full;
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
  Out.ApiFilter = Utf16(FilterToApi(Request.Filter), BadText::Replace);
  Out.Title = Utf16(Request.Title, BadText::Replace);
  Out.InitialFolder = Utf16(Request.InitialFolder, BadText::Refuse);
  std::wstring Name = Utf16(Request.ProposedName, BadText::Refuse);
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
}

std::string ChosenPath(std::string_view FileBuffer) {
  const std::string Text = DialogResult(true, FileBuffer);
  const std::size_t First = Text.find_first_not_of(' ');
  if (First == std::string::npos) return "";
  return Text.substr(First, Text.find_last_not_of(' ') - First + 1);
}

std::string RunFileDialog(DialogKind Kind, FileDialogRecord& Dialog) {
  // The dialogs move the working directory to the folders the user browses,
  // and the record's flags do not ask them not to: restored, it keeps a
  // relative path in the path box naming the file it named before.
  const std::wstring WorkingFolder = WorkingDirectory();
  const BOOL Accepted = Kind == DialogKind::Open ? ::GetOpenFileNameW(&Dialog.Record)
                                                 : ::GetSaveFileNameW(&Dialog.Record);
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

std::string ShowFileDialog(const DialogRequest& Request, HWND Form1) {
  FileDialogRecord Dialog;
  BuildFileDialogRecord(Request, Form1, DialogSystemHere(), Dialog);
  return RunFileDialog(Request.Kind, Dialog);
}

std::string OpenDialog(HWND Form1, const std::string& Filter, const std::string& Title,
                       const std::string& InitDir) {
  return ShowFileDialog(OpenRequest(Filter, Title, InitDir), Form1);
}

std::string SaveDialog(HWND Form1, const std::string& Filter, const std::string& Title,
                       const std::string& InitDir, const std::string& DefaultFilename) {
  return ShowFileDialog(SaveRequest(Filter, Title, InitDir, DefaultFilename), Form1);
}

}  // namespace mirvane
