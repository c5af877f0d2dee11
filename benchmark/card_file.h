// The cards the benchmark converts (a valid header, then a body of a fixed
// byte pattern) and the check that two converted cards match.
#pragma once

#include <cstdint>
#include <string>

namespace mirvane::benchmark {

// Writes the card at Path; false when it could not be written whole.
bool MakeCard(const std::string& Path, std::uint64_t BodySize);

// True when both files can be read and hold the same bytes.
bool SameBytes(const std::string& PathA, const std::string& PathB);

}  // namespace mirvane::benchmark
