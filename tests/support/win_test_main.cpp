// Runs the tests on Windows. The tests that show windows skip where 32-bit
// Wine runs emulated (windows_shown_win.h). There, every message of a skip or
// failure must also stay away from OutputDebugString, which GoogleTest's
// printer calls and which raises an exception that the emulation cannot
// deliver: this printer prints them to the console only.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

#include "desktop_settings_win.h"

namespace {

// GoogleTest's own printer for everything but the result of a test part.
class ConsoleOnlyPrinter : public ::testing::TestEventListener {
 public:
  explicit ConsoleOnlyPrinter(::testing::TestEventListener* Default) : Default_(Default) {}

  void OnTestPartResult(const ::testing::TestPartResult& Result) override {
    if (Result.type() == ::testing::TestPartResult::kSuccess) return;
    const char* File = Result.file_name() != nullptr ? Result.file_name() : "unknown file";
    const char* Kind = Result.skipped() ? "Skipped" : "Failure";
    std::printf("%s:%d: %s\n%s\n", File, Result.line_number(), Kind, Result.message());
    std::fflush(stdout);
  }

  void OnTestProgramStart(const ::testing::UnitTest& U) override {
    Default_->OnTestProgramStart(U);
  }
  void OnTestIterationStart(const ::testing::UnitTest& U, int I) override {
    Default_->OnTestIterationStart(U, I);
  }
  void OnEnvironmentsSetUpStart(const ::testing::UnitTest& U) override {
    Default_->OnEnvironmentsSetUpStart(U);
  }
  void OnEnvironmentsSetUpEnd(const ::testing::UnitTest& U) override {
    Default_->OnEnvironmentsSetUpEnd(U);
  }
  void OnTestSuiteStart(const ::testing::TestSuite& S) override { Default_->OnTestSuiteStart(S); }
  void OnTestStart(const ::testing::TestInfo& T) override { Default_->OnTestStart(T); }
  void OnTestEnd(const ::testing::TestInfo& T) override { Default_->OnTestEnd(T); }
  void OnTestSuiteEnd(const ::testing::TestSuite& S) override { Default_->OnTestSuiteEnd(S); }
  void OnEnvironmentsTearDownStart(const ::testing::UnitTest& U) override {
    Default_->OnEnvironmentsTearDownStart(U);
  }
  void OnEnvironmentsTearDownEnd(const ::testing::UnitTest& U) override {
    Default_->OnEnvironmentsTearDownEnd(U);
  }
  void OnTestIterationEnd(const ::testing::UnitTest& U, int I) override {
    Default_->OnTestIterationEnd(U, I);
  }
  void OnTestProgramEnd(const ::testing::UnitTest& U) override { Default_->OnTestProgramEnd(U); }

 private:
  std::unique_ptr<::testing::TestEventListener> Default_;
};

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
  ::testing::InitGoogleTest(&argc, argv);
  ::testing::TestEventListeners& Listeners = ::testing::UnitTest::GetInstance()->listeners();
  Listeners.Append(new ConsoleOnlyPrinter(Listeners.Release(Listeners.default_result_printer())));
  return RUN_ALL_TESTS();
}
