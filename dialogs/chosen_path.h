// How the Windows dialogs' name buffer is read back. Nothing in it needs
// Windows, so that it is fuzzed wherever the fuzzers build.
#pragma once

#include <string>
#include <string_view>

namespace mirvane {

// The path an accepted dialog left in its buffer of blanks: the text before
// the first NUL (all of it when there is none), without leading or trailing
// blanks, which belong to the buffer.
inline std::string ChosenPath(std::string_view FileBuffer) {
  const std::string_view Text = FileBuffer.substr(0, FileBuffer.find('\0'));
  const std::size_t First = Text.find_first_not_of(' ');
  if (First == std::string_view::npos) return "";
  return std::string(Text.substr(First, Text.find_last_not_of(' ') - First + 1));
}

}  // namespace mirvane
