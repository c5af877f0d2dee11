// What screen readers announce for a control whose visible text does not say
// what it does (the "..." button): the system's own accessible object for the
// control, with another name and description.
#pragma once

#include <windows.h>

#include <string_view>

namespace mirvane {

// Has screen readers announce Control by Name, with Description; both UTF-8,
// and an empty one leaves the system's. The control answers WM_GETOBJECT
// through a replaced window procedure, which it keeps until it is destroyed.
// False if the control could not take it; it is then announced as before.
bool AnnounceAs(HWND Control, std::string_view Name, std::string_view Description);

}  // namespace mirvane
