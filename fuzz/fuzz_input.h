// One fuzz input taken apart into the values a target needs. Every value is
// cut to what is left of the input, so any input gives values.
#pragma once

#include <algorithm>
#include <cstddef>
#include <span>
#include <string>
#include <vector>

namespace mirvane::fuzz {

class FuzzInput {
 public:
  FuzzInput(const unsigned char* Data, std::size_t Size) : Rest_(Data, Size) {}

  // The low bit of one byte; false once the input is used up.
  bool Flag() {
    if (Rest_.empty()) return false;
    const bool Value = (Rest_.front() & 1U) != 0;
    Rest_ = Rest_.subspan(1);
    return Value;
  }

  // A text whose length, up to 65535 bytes, comes from two bytes of the input.
  std::string Text() {
    std::size_t Length = 0;
    for (int Byte = 0; Byte < 2 && !Rest_.empty(); ++Byte) {
      Length = Length << 8U | Rest_.front();
      Rest_ = Rest_.subspan(1);
    }
    return Take(Length);
  }

  // Up to Count bytes, fewer where the input ends.
  std::vector<unsigned char> Bytes(std::size_t Count) {
    const std::string Part = Take(Count);
    return {Part.begin(), Part.end()};
  }

  std::string RestAsText() { return Take(Rest_.size()); }

  std::vector<unsigned char> RestAsBytes() {
    std::vector<unsigned char> Bytes(Rest_.begin(), Rest_.end());
    Rest_ = {};
    return Bytes;
  }

 private:
  std::string Take(std::size_t Length) {
    const auto Part = Rest_.first(std::min(Length, Rest_.size()));
    Rest_ = Rest_.subspan(Part.size());
    return {Part.begin(), Part.end()};
  }

  std::span<const unsigned char> Rest_;
};

}  // namespace mirvane::fuzz
