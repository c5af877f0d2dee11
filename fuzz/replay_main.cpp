// Replays fuzz inputs through a fuzz target without libFuzzer, as a test: the
// files named, and every file in the folders named, one after another. A
// broken property aborts; a missing file or folder fails the run.
#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* Data, std::size_t Size);

namespace {

namespace fs = std::filesystem;

bool Replay(const fs::path& File) {
  std::ifstream In(File, std::ios::binary);
  if (!In) return false;
  const std::vector<unsigned char> Input{std::istreambuf_iterator<char>(In),
                                         std::istreambuf_iterator<char>()};
  LLVMFuzzerTestOneInput(Input.data(), Input.size());
  return true;
}

}  // namespace

int main(int Count, char** Arguments) {
  std::size_t Replayed = 0;
  for (int Index = 1; Index < Count; ++Index) {
    std::vector<fs::path> Files;
    const fs::path Named = Arguments[Index];
    if (fs::is_directory(Named)) {
      for (const auto& Entry : fs::directory_iterator(Named)) Files.push_back(Entry.path());
      std::sort(Files.begin(), Files.end());
    } else {
      Files.push_back(Named);
    }
    for (const fs::path& File : Files) {
      if (!Replay(File)) {
        std::fprintf(stderr, "cannot read %s\n", File.string().c_str());
        return 1;
      }
      ++Replayed;
    }
  }
  std::printf("%zu inputs replayed\n", Replayed);
  return Replayed > 0 ? 0 : 1;
}
