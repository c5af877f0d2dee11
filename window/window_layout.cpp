#include "window_layout.h"

#include <algorithm>
#include <stdexcept>

namespace mirvane {

const ControlSpec& ControlNamed(std::string_view Name) {
  const auto Found = std::find_if(kControls.begin(), kControls.end(),
                                  [Name](const ControlSpec& Spec) { return Spec.Name == Name; });
  if (Found == kControls.end()) throw std::out_of_range("no control named " + std::string(Name));
  return *Found;
}

}  // namespace mirvane
