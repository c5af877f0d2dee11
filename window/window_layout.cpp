#include "window_layout.h"

#include <algorithm>
#include <stdexcept>

namespace mirvane {

std::size_t ControlIndex(std::string_view Name) {
  const auto Found = std::find_if(kControls.begin(), kControls.end(),
                                  [Name](const ControlSpec& Entry) { return Entry.Name == Name; });
  if (Found == kControls.end()) throw std::out_of_range("no control named " + std::string(Name));
  return std::size_t(Found - kControls.begin());
}

const ControlSpec& ControlNamed(std::string_view Name) {
  return kControls[ControlIndex(Name)];
}

}  // namespace mirvane
