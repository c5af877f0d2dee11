// The open and save dialogs on Windows: the common dialogs, driven by one
// OPENFILENAMEA record in its 76-byte form.
#pragma once

#include <windows.h>

#include <commdlg.h>

#include <string>
#include <string_view>
#include <vector>

#include "dialog_request.h"

namespace mirvane {

// Room for any path the system accepts, in bytes: 32767 UTF-16 units, each
// up to 3 bytes in UTF-8 (a surrogate pair's 4 bytes are 2 per unit), and the
// terminating NUL.
inline constexpr std::size_t kDialogBufferBytes = 3 * 32767 + 1;
// The blanks a buffer starts with, the proposed name written over them.
inline constexpr std::size_t kDialogBlankChars = 254;

// The record of one dialog call together with the buffers it points into;
// it points into itself, so it stays where it was built.
struct FileDialogRecord {
  FileDialogRecord() = default;
  FileDialogRecord(const FileDialogRecord&) = delete;
  FileDialogRecord& operator=(const FileDialogRecord&) = delete;

  OPENFILENAMEA Record{};
  std::string ApiFilter;
  std::vector<char> File;
  std::vector<char> FileTitle;
};

// Fills Out for Request with Form1 as the owner; shows nothing. Request must
// outlive Out, whose record points at its title and starting folder.
void BuildFileDialogRecord(const DialogRequest& Request, HWND Form1, FileDialogRecord& Out);

// The path an accepted dialog left in its buffer of blanks: the text before
// the first NUL, without leading or trailing blanks, which belong to the buffer.
std::string ChosenPath(std::string_view FileBuffer);

// Shows the dialog that Dialog describes, modal to its owner. Returns the
// chosen path without leading or trailing blanks, or "" when the user
// cancelled. A dialog that fails instead (a path too long for the buffer
// among the reasons) is never taken for a cancel: the user is told in a box
// owned by the owner, and "" is returned.
std::string RunFileDialog(DialogKind Kind, FileDialogRecord& Dialog);

// Shows the dialog modal to Form1; returns the chosen path or "".
std::string ShowFileDialog(const DialogRequest& Request, HWND Form1);

std::string OpenDialog(HWND Form1, const std::string& Filter, const std::string& Title,
                       const std::string& InitDir);
std::string SaveDialog(HWND Form1, const std::string& Filter, const std::string& Title,
                       const std::string& InitDir, const std::string& DefaultFilename);

}  // namespace mirvane
