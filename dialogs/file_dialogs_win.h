// The open and save dialogs on Windows: the common dialogs, driven by one
// OPENFILENAMEW record in its 76-byte form. Paths go in and come out as
// UTF-8 and reach the dialogs as UTF-16, so that no name ever passes
// through the ANSI code page, which would map it to another.
#pragma once

#include <windows.h>

#include <commdlg.h>

#include <string>
#include <vector>

#include "dialog_request.h"

namespace mirvane {

// The length of the record's file and file-title buffers, in characters:
// the 32767 UTF-16 units of the longest path the system accepts, and a NUL.
inline constexpr std::size_t kDialogBufferChars = 32767 + 1;

// The system that shows the dialogs. Windows gets the record as it is
// defined. Wine's dialog copies the starting folder, the proposed path, and
// its own folder joined to the name box's text into arrays of MAX_PATH
// UTF-16 units, which the record as defined overflows. Under Wine the name
// buffer holds no blanks, only the proposal as one full path, and only where
// that is shorter than MAX_PATH; else the dialog starts in the proposal's
// folder with no name. A starting folder too long for Wine is left out, and
// a typed name that would overflow them is refused before Wine reads it.
enum class DialogSystem { Windows, Wine };

// Wine where Wine runs the program, Windows elsewhere.
DialogSystem DialogSystemHere();

// The record of one dialog call together with the text it points at; it
// points into itself, so it stays where it was built.
struct FileDialogRecord {
  FileDialogRecord() = default;
  FileDialogRecord(const FileDialogRecord&) = delete;
  FileDialogRecord& operator=(const FileDialogRecord&) = delete;

  OPENFILENAMEW Record{};
  std::wstring ApiFilter;
  std::wstring Title;
  std::wstring InitialFolder;
  std::vector<wchar_t> File;
  std::vector<wchar_t> FileTitle;
  DialogSystem System = DialogSystem::Windows;
};

// Fills Out for Request with Form1 as the owner; shows nothing.
void BuildFileDialogRecord(const DialogRequest& Request, HWND Form1, DialogSystem System,
                           FileDialogRecord& Out);

// Shows the dialog that Dialog describes, modal to its owner, and leaves the
// process's working directory where it was. Returns the chosen path (UTF-8)
// without leading or trailing blanks, or "" when the user cancelled. A
// dialog that fails instead (a path too long for the buffer among the
// reasons) is never taken for a cancel: the user is told in a box owned by
// the owner, and "" is returned. So is a chosen name that is not UTF-16 (a
// lone surrogate, which NTFS allows), which no UTF-8 text can carry.
std::string RunFileDialog(DialogKind Kind, FileDialogRecord& Dialog);

// The open and the save dialog, modal to Form1, as RunFileDialog shows them.
std::string OpenDialog(HWND Form1, const std::string& Filter, const std::string& Title,
                       const std::string& InitDir);
std::string SaveDialog(HWND Form1, const std::string& Filter, const std::string& Title,
                       const std::string& InitDir, const std::string& DefaultFilename);

}  // namespace mirvane
