// A fresh folder per test or fuzz input, removed with everything in it
// afterwards, and helpers that lay out files. The folder needs nothing but
// the standard library, so that the fuzz targets use it too.
#pragma once

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

namespace mirvane::testing {

using Bytes = std::vector<unsigned char>;

class ScratchFolder {
 public:
  // A new folder in Parent, under a random name; throws
  // std::filesystem::filesystem_error when none can be made.
  explicit ScratchFolder(
      const std::filesystem::path& Parent = std::filesystem::temp_directory_path()) {
    std::random_device Random;
    do {
      const std::uint64_t Name = std::uint64_t(Random()) << 32 | Random();
      Root_ = Parent / ("mirvane-" + std::to_string(Name));
    } while (!std::filesystem::create_directory(Root_));
  }
  ~ScratchFolder() {
    namespace fs = std::filesystem;
    // A test may have taken the owner's rights away.
    std::error_code Ignored;
    fs::permissions(Root_, fs::perms::owner_all, fs::perm_options::add, Ignored);
    fs::remove_all(Root_, Ignored);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::filesystem::path& Root() const { return Root_; }
  // The full path of Name inside the folder, as 8-bit text.
  std::string PathOf(const std::string& Name) const { return (Root_ / Name).string(); }
  // Every name in the folder, sorted; shows leftovers such as temporary files.
  std::vector<std::string> Names() const {
    std::vector<std::string> Result;
    for (const auto& Entry : std::filesystem::directory_iterator(Root_)) {
      Result.push_back(Entry.path().filename().string());
    }
    std::sort(Result.begin(), Result.end());
    return Result;
  }

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
