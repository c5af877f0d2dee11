#include "output_name.h"

#include <algorithm>
#include <string_view>

namespace mirvane {

namespace {

char FoldAscii(char C) {
  return (C >= 'A' && C <= 'Z') ? static_cast<char>(C - 'A' + 'a') : C;
}

// ".mem" is plain ASCII, so comparing the last four bytes is the same as
// comparing the last four characters in UTF-8 and in the ANSI code pages.
bool EndsWithMemExtension(std::string_view Path) {
  constexpr std::string_view kExtension = ".mem";
  if (Path.size() < kExtension.size()) return false;
  const std::string_view Tail = Path.substr(Path.size() - kExtension.size());
  return std::equal(Tail.begin(), Tail.end(), kExtension.begin(),
                    [](char A, char B) { return FoldAscii(A) == B; });
}

}  // namespace

std::string DeriveOutputName(const std::string& SourcePath) {
  if (EndsWithMemExtension(SourcePath)) {
    return SourcePath.substr(0, SourcePath.size() - 3) + "mcd";
  }
  return SourcePath + ".mcd";
}

}  // namespace mirvane
