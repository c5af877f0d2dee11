#include "card_header.h"

#include <algorithm>

namespace mirvane {

CardHeader CardHeaderSignature() {
  constexpr unsigned char kLead[] = {0x56, 0x67, 0x73, 0x4D, 0x01, 0x00, 0x00, 0x00, 0x01,
                                     0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x02};
  CardHeader Signature{};
  std::copy(std::begin(kLead), std::end(kLead), Signature.begin());
  return Signature;
}

bool StartsWithSignature(std::span<const unsigned char> Content, const CardHeader& Signature) {
  return Content.size() >= Signature.size() &&
         std::equal(Signature.begin(), Signature.end(), Content.begin());
}

}  // namespace mirvane
