// The open and save dialogs on Windows: the common dialogs, driven by one
// OPENFILENAMEA record in its 76-byte form.
#pragma once

#include <windows.h>

#include <commdlg.h>

#include <string>

#include "dialog_request.h"

namespace mirvane {

// The record of one dialog call together with the buffers it points into;
// it points into itself, so it stays where it was built.
struct FileDialogRecord {
  FileDialogRecord() = default;
  FileDialogRecord(const FileDialogRecord&) = delete;
  FileDialogRecord& operator=(const FileDialogRecord&) = delete;

  OPENFILENAMEA Record{};
  std::string ApiFilter;
  char File[kDialogBufferChars + 1]{};
  char FileTitle[kDialogBufferChars + 1]{};
};

// Fills Out for Request with Form1 as the owner; shows nothing. Request must
// outlive Out, whose record points at its title and starting folder.
void BuildFileDialogRecord(const DialogRequest& Request, HWND Form1, FileDialogRecord& Out);

// Shows the dialog modal to Form1; returns the chosen path or "".
std::string ShowFileDialog(const DialogRequest& Request, HWND Form1);

std::string OpenDialog(HWND Form1, const std::string& Filter, const std::string& Title,
                       const std::string& InitDir);
std::string SaveDialog(HWND Form1, const std::string& Filter, const std::string& Title,
                       const std::string& InitDir, const std::string& DefaultFilename);

}  // namespace mirvane
