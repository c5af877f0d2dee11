#include "scratch_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <fstream>
#include <iterator>

#include "card_header.h"

namespace mirvane::testing {

namespace fs = std::filesystem;

ScratchFolder::ScratchFolder() {
  static std::atomic<unsigned> Counter{0};
  const auto Stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  Root_ = fs::temp_directory_path() /
          ("mirvane-test-" + std::to_string(Stamp) + "-" + std::to_string(Counter++));
  fs::create_directories(Root_);
}

ScratchFolder::~ScratchFolder() {
  std::error_code Ignored;
  fs::permissions(Root_, fs::perms::owner_all, fs::perm_options::add, Ignored);
  fs::remove_all(Root_, Ignored);
}

std::string ScratchFolder::PathOf(const std::string& Name) const {
  return (Root_ / Name).string();
}

std::vector<std::string> ScratchFolder::Names() const {
  std::vector<std::string> Result;
  for (const auto& Entry : fs::directory_iterator(Root_)) {
    Result.push_back(Entry.path().filename().string());
  }
  std::sort(Result.begin(), Result.end());
  return Result;
}

void WriteBytes(const std::string& Path, const Bytes& Content) {
  std::ofstream Out(Path, std::ios::binary | std::ios::trunc);
  Out.write(reinterpret_cast<const char*>(Content.data()),
            static_cast<std::streamsize>(Content.size()));
  ASSERT_TRUE(Out.good()) << "could not write " << Path;
}

Bytes ReadBytes(const std::string& Path) {
  std::ifstream In(Path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>());
}

Bytes MakeCard(const Bytes& Body) {
  const CardHeader Signature = CardHeaderSignature();
  Bytes Card(Signature.size() + Body.size());
  std::copy(Body.begin(), Body.end(), std::copy(Signature.begin(), Signature.end(), Card.begin()));
  return Card;
}

Bytes Pattern(std::size_t Size, unsigned Seed) {
  Bytes Result(Size);
  for (std::size_t I = 0; I < Size; ++I) {
    Result[I] = static_cast<unsigned char>((I * 31 + Seed * 7 + (I >> 8)) & 0xFF);
  }
  return Result;
}

}  // namespace mirvane::testing
