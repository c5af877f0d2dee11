// The header check: a content matches exactly when it is at least as long as
// the signature and begins with it byte for byte; what follows the signature
// never changes the answer.
#include <algorithm>
#include <cstddef>
#include <span>

#include "card_header.h"
#include "require.h"

using mirvane::fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* Data, std::size_t Size) {
  const std::span<const unsigned char> Content(Data, Size);
  const mirvane::CardHeader Signature = mirvane::CardHeaderSignature();
  const bool Matches = mirvane::StartsWithSignature(Content, Signature);

  const bool LongEnough = Content.size() >= Signature.size();
  Require(Matches == (LongEnough && std::equal(Signature.begin(), Signature.end(), Data)),
          "a content matches exactly when it begins with the signature");
  if (LongEnough) {
    Require(mirvane::StartsWithSignature(Content.first(Signature.size()), Signature) == Matches,
            "nothing after the signature is looked at");
  }
  return 0;
}
