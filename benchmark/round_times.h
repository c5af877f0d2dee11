// The wall times of one job's rounds, in seconds.
#pragma once

#include <algorithm>
#include <vector>

namespace mirvane::benchmark {

class RoundTimes {
 public:
  void Add(double Seconds) { Seconds_.push_back(Seconds); }

  // The middle round (of an odd count; the upper middle of an even one).
  double Median() const {
    std::vector<double> Sorted = Seconds_;
    std::sort(Sorted.begin(), Sorted.end());
    return Sorted.empty() ? 0 : Sorted[Sorted.size() / 2];
  }
  double Worst() const {
    return Seconds_.empty() ? 0 : *std::max_element(Seconds_.begin(), Seconds_.end());
  }

 private:
  std::vector<double> Seconds_;
};

}  // namespace mirvane::benchmark
