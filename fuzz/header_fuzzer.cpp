// The header check: a content matches exactly when it is at least as long as
// the signature and begins with it byte for byte; what follows the signature
// never changes the answer. Inputs that set the first flag start from the
// real signature, with the byte that the next input byte names changed by the
// one after it, so that the matching side and every single-byte difference
// from it are explored too.
#include <algorithm>
#include <cstddef>
#include <span>
#include <vector>

#include "card_header.h"
#include "fuzz_input.h"
#include "require.h"

using mirvane::fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* Data, std::size_t Size) {
  mirvane::fuzz::FuzzInput Input(Data, Size);
  const mirvane::CardHeader Signature = mirvane::CardHeaderSignature();
  std::vector<unsigned char> Content;
  if (Input.Flag()) {
    Content.assign(Signature.begin(), Signature.end());
    const std::vector<unsigned char> Change = Input.Bytes(2);
    if (Change.size() == 2) Content[Change[0] % Content.size()] ^= Change[1];
  }
  const std::vector<unsigned char> Rest = Input.RestAsBytes();
  Content.insert(Content.end(), Rest.begin(), Rest.end());

  const bool Matches = mirvane::StartsWithSignature(Content, Signature);
  const bool LongEnough = Content.size() >= Signature.size();
  Require(
      Matches == (LongEnough && std::equal(Signature.begin(), Signature.end(), Content.begin())),
      "a content matches exactly when it begins with the signature");
  if (LongEnough) {
    Require(mirvane::StartsWithSignature(std::span(Content).first(Signature.size()), Signature) ==
                Matches,
            "nothing after the signature is looked at");
  }
  return 0;
}
