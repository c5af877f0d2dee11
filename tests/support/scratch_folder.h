// A fresh folder per test, removed afterwards, with helpers to lay out files.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace mirvane::testing {

using Bytes = std::vector<unsigned char>;

class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::filesystem::path& Root() const { return Root_; }
  // The full path of Name inside the folder, as 8-bit text.
  std::string PathOf(const std::string& Name) const;
  // Every name in the folder, sorted; shows leftovers such as temporary files.
  std::vector<std::string> Names() const;

 private:
  std::filesystem::path Root_;
};

void WriteBytes(const std::string& Path, const Bytes& Content);
Bytes ReadBytes(const std::string& Path);

// A VGS card: the 64-byte header followed by Body.
Bytes MakeCard(const Bytes& Body);
// Body bytes that differ from one position to the next.
Bytes Pattern(std::size_t Size, unsigned Seed = 1);

}  // namespace mirvane::testing
