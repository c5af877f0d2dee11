// The Convert command on arbitrary source bytes, end to end through the real
// file operations, checking what a user relies on: a card is accepted only
// with the exact 64-byte header, its body is written unchanged, and nothing
// at all is written otherwise.
#include <algorithm>
#include <cstddef>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "card_header.h"
#include "convert_card.h"
#include "require.h"
#include "scratch_folder.h"
#include "scripted_caller.h"

using mirvane::fuzz::Require;

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<unsigned char>;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* Data, std::size_t Size) {
  // In memory where it can be, so that the writes and syncs cost no disk time.
  const fs::path Memory = "/dev/shm";
  std::error_code Ignored;
  const mirvane::testing::ScratchFolder Folder(
      fs::is_directory(Memory, Ignored) ? Memory : fs::temp_directory_path());
  const fs::path Card = Folder.Root() / "card.mem", Saved = Folder.Root() / "card.mcd";
  std::ofstream(Card, std::ios::binary)
      .write(reinterpret_cast<const char*>(Data), static_cast<std::streamsize>(Size));

  mirvane::testing::ScriptedCaller Window(Saved.string());
  mirvane::ConvertCard(Card.string(), Window);

  const mirvane::CardHeader Signature = mirvane::CardHeaderSignature();
  const bool Valid =
      Size >= Signature.size() && std::equal(Signature.begin(), Signature.end(), Data);
  if (Size == 0) {
    Require(Window.SourceRequests == 1 && Window.Messages.empty(),
            "an empty file asks for a source");
    Require(!fs::exists(Saved), "nothing written for an empty file");
  } else if (!Valid) {
    Require(Window.Messages == std::vector<std::string>{mirvane::kWrongFormatText},
            "a file without the header is refused");
    Require(Window.SaveDialogs.empty() && !fs::exists(Saved), "nothing written for a refused file");
  } else {
    Require(Window.Messages.empty() && Window.SaveDialogs.size() == 1,
            "a card is saved without a word");
    std::ifstream In(Saved, std::ios::binary);
    const Bytes Written{std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>()};
    Require(Written == Bytes(Data + Signature.size(), Data + Size),
            "the body is written unchanged");
  }
  return 0;
}
