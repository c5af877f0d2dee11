// The window as the benchmark plays it: the save dialog is answered with a
// fixed path at once, and any other request counts as a failed run.
#pragma once

#include <string>
#include <utility>

#include "convert_card.h"

namespace mirvane::benchmark {

class BenchmarkCaller : public ConvertCaller {
 public:
  explicit BenchmarkCaller(std::string Destination) : Destination_(std::move(Destination)) {}

  void RequestSource() override { Unexpected_ = true; }
  void Inform(const std::string&) override { Unexpected_ = true; }
  std::string ChooseDestination(const std::string&, const std::string&, const std::string&,
                                const std::string&) override {
    return Destination_;
  }

  // False when the command asked for a source or showed a message.
  bool WentAsExpected() const { return !Unexpected_; }

 private:
  std::string Destination_;
  bool Unexpected_ = false;
};

}  // namespace mirvane::benchmark
