// One timed run of a job in a child process of its own, so that its peak
// memory is its own and nothing it maps outlives it.
#pragma once

#include <functional>

namespace mirvane::benchmark {

struct ChildRun {
  double Seconds = 0;  // wall time from fork to the child's exit
  double PeakMiB = 0;  // the child's peak resident memory
  bool Ok = false;     // the child exited with status 0
};

enum class HugePages { AsTheSystemSays, Disabled };

// Runs Job in a child and returns its exit status as the child's. With
// HugePages::Disabled the child gets no transparent huge pages at all, even
// where it asks for them.
ChildRun RunInChild(const std::function<int()>& Job, HugePages Pages = HugePages::AsTheSystemSays);

}  // namespace mirvane::benchmark
