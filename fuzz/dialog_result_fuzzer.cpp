// The dialog-result rule: nothing when the dialog was not accepted, otherwise
// a piece of the text before the buffer's first NUL.
#include <cstddef>
#include <string>
#include <string_view>

#include "dialog_request.h"
#include "fuzz_input.h"
#include "require.h"

using mirvane::fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* Data, std::size_t Size) {
  mirvane::fuzz::FuzzInput Input(Data, Size);
  const bool Accepted = Input.Flag();
  const std::string Buffer = Input.RestAsText();

  const std::string Result = mirvane::DialogResult(Accepted, Buffer);
  if (!Accepted) {
    Require(Result.empty(), "a dialog that was not accepted gives nothing");
    return 0;
  }
  Require(Result.find('\0') == std::string::npos, "the result holds no NUL");
  const std::string_view Text = std::string_view(Buffer).substr(0, Buffer.find('\0'));
  Require(Text.find(Result) != std::string_view::npos,
          "the result is found in the text before the first NUL");
  return 0;
}
