// How a fuzz target reports a broken property: a message and an abort, which
// libFuzzer keeps as a finding and the replay test counts as a failure.
#pragma once

#include <cstdio>
#include <cstdlib>

namespace mirvane::fuzz {

inline void Require(bool Holds, const char* What) {
  if (!Holds) {
    std::fprintf(stderr, "broken: %s\n", What);
    std::abort();
  }
}

}  // namespace mirvane::fuzz
