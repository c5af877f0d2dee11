#include "file_dialogs_win.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace mirvane {

namespace {

// The record without the fields that Windows 2000 added, up to and including
// lpTemplateName: 76 bytes in 32-bit programs.
constexpr DWORD kRecordSize =
    offsetof(OPENFILENAMEA, lpTemplateName) + sizeof(OPENFILENAMEA::lpTemplateName);
static_assert(sizeof(void*) != 4 || kRecordSize == 76);

}  // namespace

void BuildFileDialogRecord(const DialogRequest& Request, HWND Form1, FileDialogRecord& Out) {
  Out.ApiFilter = FilterToApi(Request.Filter);

  // Both buffers: 254 blanks and a NUL; the proposed name is written over
  // the first blanks.
  std::memset(Out.File, ' ', kDialogBufferChars);
  Out.File[kDialogBufferChars] = '\0';
  std::memcpy(Out.File, Request.ProposedName.data(),
              std::min(Request.ProposedName.size(), kDialogBufferChars));
  std::memset(Out.FileTitle, ' ', kDialogBufferChars);
  Out.FileTitle[kDialogBufferChars] = '\0';

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
  Record.lpstrFile = Out.File;
  Record.nMaxFile = sizeof Out.File;
  Record.lpstrFileTitle = Out.FileTitle;
  Record.nMaxFileTitle = sizeof Out.FileTitle;
  Record.lpstrInitialDir = Request.InitialFolder.c_str();
  Record.lpstrTitle = Request.Title.c_str();
  Record.Flags = Flags;
}

std::string ShowFileDialog(const DialogRequest& Request, HWND Form1) {
  FileDialogRecord Dialog;
  BuildFileDialogRecord(Request, Form1, Dialog);
  const BOOL Accepted = Request.Kind == DialogKind::Open ? ::GetOpenFileNameA(&Dialog.Record)
                                                         : ::GetSaveFileNameA(&Dialog.Record);
  return DialogResult(Accepted != FALSE, std::string_view(Dialog.File, sizeof Dialog.File));
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
