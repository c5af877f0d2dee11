#include "card_header.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <vector>

namespace mirvane {
namespace {

using Bytes = std::vector<unsigned char>;

Bytes SignatureBytes() {
  const CardHeader Signature = CardHeaderSignature();
  return Bytes(Signature.begin(), Signature.end());
}

TEST(CardHeaderSignature, IsVgsMFollowedByTheWordsOneOneOne512AndZeros) {
  const Bytes Expected = [] {
    Bytes B(64, 0x00);
    const unsigned char Lead[] = {'V', 'g', 's', 'M', 1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 0, 2};
    std::copy(std::begin(Lead), std::end(Lead), B.begin());
    return B;
  }();
  EXPECT_EQ(SignatureBytes(), Expected);
}

TEST(StartsWithSignature, AcceptsTheBareHeaderAndAnyBytesAfterIt) {
  const CardHeader Signature = CardHeaderSignature();
  Bytes Content = SignatureBytes();
  EXPECT_TRUE(StartsWithSignature(Content, Signature));
  Content.insert(Content.end(), {0x56, 0x00, 0xFF, 0x4D});
  EXPECT_TRUE(StartsWithSignature(Content, Signature));
}

TEST(StartsWithSignature, RejectsAChangeInAnySingleByteOfTheHeader) {
  const CardHeader Signature = CardHeaderSignature();
  for (std::size_t Position = 0; Position < kCardHeaderSize; ++Position) {
    Bytes Content = SignatureBytes();
    Content.resize(128, 0xAA);
    Content[Position] ^= 0x01;
    EXPECT_FALSE(StartsWithSignature(Content, Signature)) << "byte " << Position;
  }
  Bytes LowerCaseV = SignatureBytes();
  LowerCaseV[0] = 0x76;
  EXPECT_FALSE(StartsWithSignature(LowerCaseV, Signature));
}

TEST(StartsWithSignature, RejectsContentShorterThanTheHeader) {
  const CardHeader Signature = CardHeaderSignature();
  Bytes Content = SignatureBytes();
  Content.pop_back();
  EXPECT_FALSE(StartsWithSignature(Content, Signature));
  EXPECT_FALSE(StartsWithSignature({}, Signature));
}

}  // namespace
}  // namespace mirvane
