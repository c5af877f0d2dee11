// A stand-in for the window in the tests, the fuzz targets and the benchmark:
// records what the Convert command asks of it and answers the save dialog
// with Destination, or through Answer where that is set.
#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "convert_card.h"

namespace mirvane::testing {

struct SaveDialogCall {
  std::string Filter, Title, InitDir, DefaultFilename;
};

class ScriptedCaller : public ConvertCaller {
 public:
  explicit ScriptedCaller(std::string Destination = "") : Destination(std::move(Destination)) {}

  void RequestSource() override { ++SourceRequests; }
  void Inform(const std::string& Text) override { Messages.push_back(Text); }
  std::string ChooseDestination(const std::string& Filter, const std::string& Title,
                                const std::string& InitDir,
                                const std::string& DefaultFilename) override {
    SaveDialogs.push_back({Filter, Title, InitDir, DefaultFilename});
    return Answer ? Answer(SaveDialogs.back()) : Destination;
  }

  std::string Destination;  // what the save dialog answers; empty means cancelled
  std::function<std::string(const SaveDialogCall&)> Answer;
  int SourceRequests = 0;
  std::vector<std::string> Messages;
  std::vector<SaveDialogCall> SaveDialogs;
};

}  // namespace mirvane::testing
