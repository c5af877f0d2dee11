#include "child_run.h"

#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>

namespace mirvane::benchmark {

ChildRun RunInChild(const std::function<int()>& Job, HugePages Pages) {
  const auto Start = std::chrono::steady_clock::now();
  const pid_t Child = ::fork();
  if (Child < 0) return {};
  if (Child == 0) {
    if (Pages == HugePages::Disabled && ::prctl(PR_SET_THP_DISABLE, 1, 0, 0, 0) != 0) {
      std::_Exit(126);
    }
    std::_Exit(Job());
  }
  int Status = 0;
  rusage Usage{};
  if (::wait4(Child, &Status, 0, &Usage) != Child) return {};
  const std::chrono::duration<double> Elapsed = std::chrono::steady_clock::now() - Start;
  // ru_maxrss is in KiB on Linux.
  return {Elapsed.count(), static_cast<double>(Usage.ru_maxrss) / 1024.0,
          WIFEXITED(Status) && WEXITSTATUS(Status) == 0};
}

}  // namespace mirvane::benchmark
