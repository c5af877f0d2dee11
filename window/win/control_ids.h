// Control identifiers of the Windows window: one per entry of the layout
// table, in table order, so that tests can find each control by its place.
#pragma once

#include <cstddef>

namespace mirvane {

inline constexpr int kFirstControlId = 1000;

constexpr int ControlId(std::size_t TableIndex) {
  return kFirstControlId + int(TableIndex);
}

}  // namespace mirvane
