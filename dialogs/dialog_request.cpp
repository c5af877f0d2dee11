#include "dialog_request.h"

#include <algorithm>
#include <filesystem>

namespace mirvane {

namespace {

// What separates a path's folders: "/", and "\" too where it is the
// system's own separator (Windows).
constexpr const char* kSeparators = std::filesystem::path::preferred_separator == '/' ? "/" : "\\/";

// The characters of UTF-8 Text: the bytes that do not continue a sequence.
std::size_t CharacterCount(const std::string& Text) {
  return static_cast<std::size_t>(std::count_if(Text.begin(), Text.end(), [](char Byte) {
    return (static_cast<unsigned char>(Byte) & 0xC0) != 0x80;
  }));
}

}  // namespace

std::string FilterToApi(const std::string& Filter) {
  std::string List = Filter;
  if (List.empty() || List.back() != '|') List += '|';
  std::replace(List.begin(), List.end(), '|', '\0');
  return List;
}

std::vector<FileType> FileTypesOf(const std::string& Filter) {
  std::vector<FileType> Types;
  const std::string List = FilterToApi(Filter);
  std::size_t Start = 0;
  while (Start < List.size()) {
    const std::size_t DescriptionEnd = List.find('\0', Start);
    if (DescriptionEnd == Start || DescriptionEnd + 1 >= List.size()) break;
    const std::size_t PatternEnd = List.find('\0', DescriptionEnd + 1);
    Types.push_back({List.substr(Start, DescriptionEnd - Start),
                     List.substr(DescriptionEnd + 1, PatternEnd - DescriptionEnd - 1)});
    Start = PatternEnd + 1;
  }
  return Types;
}

DialogRequest OpenRequest(const std::string& Filter, const std::string& Title,
                          const std::string& InitDir) {
  DialogRequest Request;
  Request.Kind = DialogKind::Open;
  Request.FileTypes = FileTypesOf(Filter);
  Request.Title = Title;
  Request.InitialFolder = InitDir;
  Request.FileMustExist = true;
  Request.HideReadOnly = true;
  return Request;
}

DialogRequest SaveRequest(const std::string& Filter, const std::string& Title,
                          const std::string& InitDir, const std::string& DefaultFilename) {
  DialogRequest Request;
  Request.Kind = DialogKind::Save;
  Request.FileTypes = FileTypesOf(Filter);
  Request.Title = Title;
  Request.InitialFolder = InitDir;
  Request.ProposedName = DefaultFilename;
  Request.HideReadOnly = true;
  Request.CreatePrompt = true;
  Request.OverwritePrompt = true;
  return Request;
}

void FitProposal(DialogRequest& Request, std::size_t MostChars) {
  const std::string Name = Request.ProposedName;
  if (CharacterCount(Name) <= MostChars) return;
  // The folder keeps its separator, so that a root stays one ("C:\").
  const std::size_t Cut = Name.find_last_of(kSeparators);
  if (Cut != std::string::npos) {
    Request.InitialFolder = Name.substr(0, Cut + 1);
    Request.ProposedName = Name.substr(Cut + 1);
  }
  if (CharacterCount(Request.ProposedName) > MostChars) Request.ProposedName.clear();
}

}  // namespace mirvane
