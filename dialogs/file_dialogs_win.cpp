#include "file_dialogs_win.h"

#include <algorithm>
#include <cstddef>
#include <cstdio>

namespace mirvane {

namespace {

// The record without the fields that Windows 2000 added, up to and including
// lpTemplateName: 76 bytes in 32-bit programs.
constexpr DWORD kRecordSize =
    offsetof(OPENFILENAMEA, lpTemplateName) + sizeof(OPENFILENAMEA::lpTemplateName);
static_assert(sizeof(void*) != 4 || kRecordSize == 76);

// 254 blanks with Text written over the first of them, then NULs: the dialog
// starts from the same text as it always did (the dialogs refuse a starting
// name far beyond MAX_PATH), and the rest is room for what it returns.
std::vector<char> BlankBuffer(const std::string& Text) {
  std::vector<char> Buffer(kDialogBufferBytes, '\0');
  std::fill_n(Buffer.begin(), kDialogBlankChars, ' ');
  std::copy_n(Text.begin(), std::min(Text.size(), Buffer.size() - 1), Buffer.begin());
  return Buffer;
}

std::string WindowText(HWND Window) {
  std::string Text(std::size_t(::GetWindowTextLengthA(Window)) + 1, '\0');
  Text.resize(std::size_t(::GetWindowTextA(Window, Text.data(), int(Text.size()))));
  return Text;
}

void TellDialogFailed(HWND Owner, DWORD Error) {
  char Text[64];
  std::snprintf(Text, sizeof Text, "The file dialog failed (error 0x%04lX).",
                static_cast<unsigned long>(Error));
  ::MessageBoxA(Owner, Text, WindowText(Owner).c_str(), MB_OK | MB_ICONINFORMATION);
}

}  // namespace

void BuildFileDialogRecord(const DialogRequest& Request, HWND Form1, FileDialogRecord& Out) {
  Out.ApiFilter = FilterToApi(Request.Filter);
  Out.File = BlankBuffer(Request.ProposedName);
  // A file's title is part of its path: the same room always holds it.
  Out.FileTitle = BlankBuffer("");

  DWORD Flags = 0;
  if (Request.FileMustExist) Flags |= OFN_FILEMUSTEXIST;
  if (Request.HideReadOnly) Flags |= OFN_HIDEREADONLY;
  if (Request.CreatePrompt) Flags |= OFN_CREATEPROMPT;
  if (Request.OverwritePrompt) Flags |= OFN_OVERWRITEPROMPT;

  OPENFILENAMEA& Record = Out.Record;
  Record = OPENFILENAMEA{};
  Record.lStructSize = kRecordSize;
  Record.hwndOwner = Form1;
  Record.hInstance = ::GetModuleHandleA(nullptr);
  // std::string keeps a NUL after its last character: the list's final one.
  Record.lpstrFilter = Out.ApiFilter.c_str();
  Record.lpstrFile = Out.File.data();
  Record.nMaxFile = static_cast<DWORD>(Out.File.size());
  Record.lpstrFileTitle = Out.FileTitle.data();
  Record.nMaxFileTitle = static_cast<DWORD>(Out.FileTitle.size());
  Record.lpstrInitialDir = Request.InitialFolder.c_str();
  Record.lpstrTitle = Request.Title.c_str();
  Record.Flags = Flags;
}

std::string ChosenPath(std::string_view FileBuffer) {
  const std::string Text = DialogResult(true, FileBuffer);
  const std::size_t First = Text.find_first_not_of(' ');
  if (First == std::string::npos) return "";
  return Text.substr(First, Text.find_last_not_of(' ') - First + 1);
}

std::string RunFileDialog(DialogKind Kind, FileDialogRecord& Dialog) {
  const BOOL Accepted = Kind == DialogKind::Open ? ::GetOpenFileNameA(&Dialog.Record)
                                                 : ::GetSaveFileNameA(&Dialog.Record);
  if (!Accepted) {
    // Zero when the user cancelled; FNERR_BUFFERTOOSMALL, among others, when not.
    const DWORD Error = ::CommDlgExtendedError();
    if (Error != 0) TellDialogFailed(Dialog.Record.hwndOwner, Error);
    return "";
  }
  return ChosenPath(std::string_view(Dialog.Record.lpstrFile, Dialog.Record.nMaxFile));
}

std::string ShowFileDialog(const DialogRequest& Request, HWND Form1) {
  FileDialogRecord Dialog;
  BuildFileDialogRecord(Request, Form1, Dialog);
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
