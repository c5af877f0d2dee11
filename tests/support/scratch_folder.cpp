#include "scratch_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>

#include "card_header.h"

namespace mirvane::testing {

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
