// Runs the tests on Windows. Where 32-bit Wine runs emulated (see
// tools/wine-run.sh), the tests that show windows are left out before they
// start: there they would crash Wine rather than fail or skip (even a skip's
// message goes through an exception, which the emulation cannot deliver).
// The 64-bit build runs them.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (sizeof(void*) == 4 && std::getenv("MIRVANE_I386_EMULATED") != nullptr) {
    std::string Filter = GTEST_FLAG_GET(filter);
    Filter += Filter.find('-') == std::string::npos ? "-" : ":";
    Filter += "WinFileDialogTest.*:MirvaneExeTest.*";
    GTEST_FLAG_SET(filter, Filter);
    std::printf(
        "32-bit Wine runs emulated here: the tests that show windows are left out\n"
        "of this build and run in the 64-bit one.\n");
  }
  return RUN_ALL_TESTS();
}
