// Runs the tests on Windows. Where 32-bit Wine runs emulated (see
// tools/wine-run.sh), the tests that show windows are left out before they
// start: there they would crash Wine rather than fail or skip (even a skip's
// message goes through an exception, which the emulation cannot deliver).
// The 64-bit build runs them.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
  // Started by the shell in place of a web browser: writes down the address
  // it was handed and the folder it was started in (see the credit link test).
  if (argc == 4 && std::string(argv[1]) == "--record-address") {
    char Folder[MAX_PATH] = {};
    ::GetCurrentDirectoryA(MAX_PATH, Folder);
    std::FILE* Record = std::fopen(argv[2], "wb");
    if (Record == nullptr) return 1;
    std::fprintf(Record, "%s\n%s\n", argv[3], Folder);
    return std::fclose(Record) == 0 ? 0 : 1;
  }
  ::testing::InitGoogleTest(&argc, argv);
  if (sizeof(void*) == 4 && std::getenv("MIRVANE_I386_EMULATED") != nullptr) {
    std::string Filter = GTEST_FLAG_GET(filter);
    Filter += Filter.find('-') == std::string::npos ? "-" : ":";
    Filter += "WinFileDialogTest.*:*MirvaneExe*Test.*:MainWindowWinTest.*";
    GTEST_FLAG_SET(filter, Filter);
    std::printf(
        "32-bit Wine runs emulated here: the tests that show windows are left out\n"
        "of this build and run in the 64-bit one.\n");
  }
  return RUN_ALL_TESTS();
}
