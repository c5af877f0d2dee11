// Whether this test program can show windows. Where 32-bit Wine runs
// emulated (see tools/wine-run.sh), it cannot: window callbacks from more
// than one thread, which the common dialogs and OLE use, crash it. The tests
// that show windows skip there, saying why; the 64-bit build runs them.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>

namespace mirvane::testing {

inline bool WindowsCannotShowHere() {
  return sizeof(void*) == 4 && std::getenv("MIRVANE_I386_EMULATED") != nullptr;
}

}  // namespace mirvane::testing

// For the SetUp of a fixture whose tests show windows.
#define MIRVANE_SKIP_WHERE_WINDOWS_CANNOT_SHOW()                                        \
  if (::mirvane::testing::WindowsCannotShowHere())                                      \
  GTEST_SKIP() << "32-bit Wine runs emulated here and cannot show windows; the 64-bit " \
                  "build runs this test"
