// One open or save dialog, described without any window system: what both
// front ends show.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace mirvane {

// "|"-separated descriptions and patterns in the list form of the Windows
// dialogs: every "|" (one appended unless the filter ends in one) becomes a
// NUL, so that, passed as a C string, the list ends in two NULs. An empty
// filter becomes a single NUL, an empty list.
std::string FilterToApi(const std::string& Filter);

struct FileType {
  std::string Description;
  std::string Pattern;

  bool operator==(const FileType&) const = default;
};

// The file types of a filter, in order; a description without a pattern ends
// the list, as it does for the Windows dialogs.
std::vector<FileType> FileTypesOf(const std::string& Filter);

enum class DialogKind { Open, Save };

struct DialogRequest {
  DialogKind Kind = DialogKind::Open;
  std::vector<FileType> FileTypes;  // the first is preselected
  std::string Title;
  std::string InitialFolder;
  std::string ProposedName;

  bool FileMustExist = false;
  bool HideReadOnly = false;
  bool CreatePrompt = false;
  bool OverwritePrompt = false;
};

// The open dialog: an existing file must be chosen; no read-only box.
DialogRequest OpenRequest(const std::string& Filter, const std::string& Title,
                          const std::string& InitDir);

// The save dialog: confirms both creating and replacing a file; no read-only
// box; DefaultFilename is proposed whole, in InitDir.
DialogRequest SaveRequest(const std::string& Filter, const std::string& Title,
                          const std::string& InitDir, const std::string& DefaultFilename);

// For a name field of MostChars characters: a proposed name longer than that
// is proposed as its file name in its folder instead, and a file name longer
// than that is not proposed at all, since a name cut short would name another
// file. All text is UTF-8, as every path of the program is; a byte that
// continues a sequence counts with the one before it.
void FitProposal(DialogRequest& Request, std::size_t MostChars);

}  // namespace mirvane
