// The result rule of the Windows dialogs' name buffer: the text before its
// first NUL, less the blanks at either end, which belong to the buffer.
#include <cstddef>
#include <string>
#include <string_view>

#include "chosen_path.h"
#include "require.h"

using mirvane::fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* Data, std::size_t Size) {
  const std::string Buffer(reinterpret_cast<const char*>(Data), Size);

  const std::string Result = mirvane::ChosenPath(Buffer);
  const std::string_view Text = std::string_view(Buffer).substr(0, Buffer.find('\0'));
  const std::size_t At = Text.find(Result);
  Require(At != std::string_view::npos && !Result.starts_with(' ') && !Result.ends_with(' '),
          "the result is found in the text before the first NUL, with no blank at either end");
  const std::string Rest = std::string(Text.substr(0, At)) + std::string(Text.substr(At + Result.size()));
  Require(Rest.find_first_not_of(' ') == std::string::npos,
          "all that the result leaves of that text is blanks");
  return 0;
}
