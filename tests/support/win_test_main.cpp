// Runs the tests on Windows. The tests that show windows skip where 32-bit
// Wine runs emulated (windows_shown_win.h). There, GoogleTest's printer must
// not reach OutputDebugStringA with the message of a skip or failure: it
// raises an exception that the emulation cannot deliver. GoogleTest is
// linked into the program, so its calls go through the program's imports.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "desktop_settings_win.h"
#include "point_import_win.h"
#include "windows_shown_win.h"

namespace {

void WINAPI NoDebugOutput(LPCSTR) {}

}  // namespace

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
  mirvane::testing::ResetDesktopSettings();
  if (mirvane::testing::WindowsCannotShowHere() &&
      !mirvane::testing::PointImport(reinterpret_cast<void*>(&::OutputDebugStringA),
                                     reinterpret_cast<void*>(&NoDebugOutput))) {
    std::printf("could not keep GoogleTest away from OutputDebugStringA\n");
    return 1;
  }
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
