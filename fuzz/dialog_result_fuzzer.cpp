// The result rule of the Windows dialogs' name buffer: the text before its
// first NUL, less the blanks at either end, which belong to the buffer.
#include <cstddef>
#include <string>
#include <string_view>

#include "chosen_path.h"
#include "require.h"

using mirvane::fuzz::Require;

namespace {

bool AllBlanks(std::string_view Text) {
  return Text.find_first_not_of(' ') == std::string_view::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* Data, std::size_t Size) {
  const std::string_view Buffer(reinterpret_cast<const char*>(Data), Size);
  const std::string Result = mirvane::ChosenPath(Buffer);

  const std::string_view Text = Buffer.substr(0, Buffer.find('\0'));
  const std::size_t At = Text.find(Result);
  Require(At != std::string_view::npos, "the result is taken from the text before the first NUL");
  Require(Result.empty() || (Result.front() != ' ' && Result.back() != ' '),
          "the result neither starts nor ends with a blank");
  Require(AllBlanks(Text.substr(0, At)) && AllBlanks(Text.substr(At + Result.size())),
          "all that the result leaves of that text is blanks");
  return 0;
}
