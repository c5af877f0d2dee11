// Recognising a VGS card file by the header that opens it.
#pragma once

#include <array>
#include <cstddef>
#include <span>

namespace mirvane {

inline constexpr std::size_t kCardHeaderSize = 64;

using CardHeader = std::array<unsigned char, kCardHeaderSize>;

// The 64 bytes that open every VGS card file: the letters "VgsM", then the
// little-endian 32-bit words 1, 1, 1 and 512, then eleven zero words.
CardHeader CardHeaderSignature();

// True when Content begins with Signature. Content shorter than the signature
// never matches; nothing after the signature is looked at.
bool StartsWithSignature(std::span<const unsigned char> Content, const CardHeader& Signature);

}  // namespace mirvane
