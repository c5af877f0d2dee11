// The header check: a content matches exactly when its first 64 bytes are
// the VGS header, written out below. Inputs that set the first flag start
// from that header, with the byte that the next input byte names changed by
// the one after it, so that the matching side and every single-byte
// difference from it are explored too.
#include <algorithm>
#include <cstddef>
#include <iterator>
#include <vector>

#include "card_header.h"
#include "fuzz_input.h"
#include "require.h"

using mirvane::fuzz::Require;

// "VgsM", the little-endian words 1, 1, 1 and 512, and zeros to 64 bytes.
constexpr unsigned char kVgsHeader[64] = {0x56, 0x67, 0x73, 0x4D, 0x01, 0x00, 0x00, 0x00, 0x01,
                                          0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x02};

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* Data, std::size_t Size) {
  mirvane::fuzz::FuzzInput Input(Data, Size);
  std::vector<unsigned char> Content;
  if (Input.Flag()) {
    Content.assign(std::begin(kVgsHeader), std::end(kVgsHeader));
    const std::vector<unsigned char> Change = Input.Bytes(2);
    if (Change.size() == 2) Content[Change[0] % Content.size()] ^= Change[1];
  }
  const std::vector<unsigned char> Rest = Input.RestAsBytes();
  Content.insert(Content.end(), Rest.begin(), Rest.end());

  Require(mirvane::StartsWithSignature(Content, mirvane::CardHeaderSignature()) ==
              (Content.size() >= 64 &&
               std::equal(std::begin(kVgsHeader), std::end(kVgsHeader), Content.begin())),
          "a content matches exactly when it begins with the VGS header");
  return 0;
}
