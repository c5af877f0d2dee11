// One open or save dialog, described without any window system: what both
// front ends show, and how the chosen path is read back.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace mirvane {

// The blanks that the name buffer of the Windows dialogs starts with, and
// the longest name a save dialog proposes, in characters (UTF-8 code points).
inline constexpr std::size_t kProposedNameChars = 254;

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
  std::string Filter;               // as given, "|"-separated
  std::vector<FileType> FileTypes;  // the first is preselected
  std::string Title;
  std::string InitialFolder;
  std::string ProposedName;  // at most kProposedNameChars characters

  bool FileMustExist = false;
  bool HideReadOnly = false;
  bool CreatePrompt = false;
  bool OverwritePrompt = false;
};

// The open dialog: an existing file must be chosen; no read-only box.
DialogRequest OpenRequest(const std::string& Filter, const std::string& Title,
                          const std::string& InitDir);

// The save dialog: confirms both creating and replacing a file; no read-only
// box; DefaultFilename is proposed, in InitDir. A DefaultFilename of more
// than kProposedNameChars characters is proposed as its file name in its
// folder instead, and a file name longer than that is not proposed at all:
// a name cut short would name another file. All text is UTF-8, as every
// path of the program is; a byte that continues a sequence counts with the
// one before it.
DialogRequest SaveRequest(const std::string& Filter, const std::string& Title,
                          const std::string& InitDir, const std::string& DefaultFilename);

// The chosen path from what a dialog left in its file-name buffer: the text
// before the first NUL (all of it when there is none), unchanged otherwise;
// "" when the dialog did not accept a file.
std::string DialogResult(bool Accepted, std::string_view FileBuffer);

}  // namespace mirvane
