// The absolute form of a path, as the system itself makes it.
#pragma once

#include <string>

namespace mirvane {

// Path as GetFullPathNameW makes it absolute: "\" separators, "." and ".."
// resolved, trailing dots and blanks dropped; "" when it has none.
std::wstring FullPath(const std::wstring& Path);

}  // namespace mirvane
