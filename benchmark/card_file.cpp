#include "card_file.h"

#include <algorithm>
#include <fstream>
#include <vector>

#include "card_header.h"

namespace mirvane::benchmark {

bool MakeCard(const std::string& Path, std::uint64_t BodySize) {
  std::ofstream Out(Path, std::ios::binary | std::ios::trunc);
  const CardHeader Header = CardHeaderSignature();
  Out.write(reinterpret_cast<const char*>(Header.data()), Header.size());
  std::vector<char> Block(1 << 20);
  for (std::size_t I = 0; I < Block.size(); ++I) Block[I] = static_cast<char>(I * 131 + (I >> 10));
  for (std::uint64_t Left = BodySize; Left > 0;) {
    const auto Piece = static_cast<std::streamsize>(std::min<std::uint64_t>(Left, Block.size()));
    Out.write(Block.data(), Piece);
    Left -= static_cast<std::uint64_t>(Piece);
  }
  Out.close();
  return Out.good();
}

bool SameBytes(const std::string& PathA, const std::string& PathB) {
  std::ifstream A(PathA, std::ios::binary);
  std::ifstream B(PathB, std::ios::binary);
  std::vector<char> BlockA(1 << 20), BlockB(1 << 20);
  while (A && B) {
    A.read(BlockA.data(), static_cast<std::streamsize>(BlockA.size()));
    B.read(BlockB.data(), static_cast<std::streamsize>(BlockB.size()));
    if (A.gcount() != B.gcount() ||
        !std::equal(BlockA.begin(), BlockA.begin() + A.gcount(), BlockB.begin())) {
      return false;
    }
  }
  return A.eof() && B.eof();
}

}  // namespace mirvane::benchmark
