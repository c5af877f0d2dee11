// Windows' text size (Settings, Accessibility, Text size): how much larger
// than usual a user wants text, for those who need it larger without a denser
// screen.
#pragma once

namespace mirvane {

inline constexpr int kUsualTextPercent = 100;
inline constexpr int kLargestTextPercent = 225;

// The text size in percent, 100 to 225, as Windows 10 1809 and later record
// it; 100 where it is not recorded.
int TextScalePercent();

}  // namespace mirvane
