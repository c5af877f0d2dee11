#include "save_signal_guard_posix.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>

namespace mirvane {

namespace {

// Every signal whose default action ends the process, apart from the faults
// a process raises on itself (SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGTRAP,
// SIGSYS, SIGABRT): after those the process is in no state to trust, and
// sanitizers and crash reporters own them. SIGXFSZ is ignored instead (see
// the header); SIGKILL and SIGSTOP cannot be caught.
bool EndsTheProcess(int Signal) {
  switch (Signal) {
    case SIGHUP:
    case SIGINT:
    case SIGQUIT:
    case SIGPIPE:
    case SIGALRM:
    case SIGTERM:
    case SIGUSR1:
    case SIGUSR2:
    case SIGSTKFLT:
    case SIGXCPU:
    case SIGVTALRM:
    case SIGPROF:
    case SIGPOLL:
    case SIGPWR:
      return true;
    default:
      return Signal >= SIGRTMIN && Signal <= SIGRTMAX;
  }
}

// A signal handler is given nothing but the signal's number, so what it must
// undo has to sit where it can reach it. The name is written while Armed is
// false and read only after Armed is seen true; lock-free atomics are safe
// to use in a handler.
struct HandlerState {
  std::atomic<bool> Armed{false};
  std::atomic<int> Folder{-1};
  char Name[SaveSignalGuard::kMaxNameChars + 1] = {};
  struct sigaction Previous[NSIG] = {};  // by signal number
};
HandlerState State;

bool IsDefault(const struct sigaction& Action) {
  return (Action.sa_flags & SA_SIGINFO) == 0 && Action.sa_handler == SIG_DFL;
}

extern "C" void RemoveNameAndEnd(int Signal) {
  const int Saved = errno;
  if (State.Armed.load(std::memory_order_acquire)) {
    ::unlinkat(State.Folder.load(std::memory_order_relaxed), State.Name, 0);
  }
  // The signal stays blocked until this handler returns; it is then taken
  // again with its default action, which ends the process.
  if (Signal > 0 && Signal < NSIG) ::sigaction(Signal, &State.Previous[Signal], nullptr);
  (void)::raise(Signal);
  errno = Saved;
}

}  // namespace

SaveSignalGuard::SaveSignalGuard() {
  Disarm();
  struct sigaction Ours = {};
  Ours.sa_handler = RemoveNameAndEnd;
  Ours.sa_flags = SA_RESTART;
  sigemptyset(&Ours.sa_mask);
  for (int Signal = 1; Signal < NSIG; ++Signal) {
    if (EndsTheProcess(Signal)) sigaddset(&Ours.sa_mask, Signal);
  }
  for (int Signal = 1; Signal < NSIG; ++Signal) {
    Installed_[Signal] =
        EndsTheProcess(Signal) && ::sigaction(Signal, nullptr, &State.Previous[Signal]) == 0 &&
        IsDefault(State.Previous[Signal]) && ::sigaction(Signal, &Ours, nullptr) == 0;
  }

  struct sigaction Ignore = {};
  Ignore.sa_handler = SIG_IGN;
  sigemptyset(&Ignore.sa_mask);
  FileSizeIgnored_ = ::sigaction(SIGXFSZ, nullptr, &PreviousFileSize_) == 0 &&
                     IsDefault(PreviousFileSize_) && ::sigaction(SIGXFSZ, &Ignore, nullptr) == 0;
}

SaveSignalGuard::~SaveSignalGuard() {
  Disarm();
  for (int Signal = 1; Signal < NSIG; ++Signal) {
    if (Installed_[Signal]) ::sigaction(Signal, &State.Previous[Signal], nullptr);
  }
  if (FileSizeIgnored_) ::sigaction(SIGXFSZ, &PreviousFileSize_, nullptr);
}

void SaveSignalGuard::Arm(int Folder, const char* Name) {
  Disarm();
  State.Folder.store(Folder, std::memory_order_relaxed);
  std::strncpy(State.Name, Name, kMaxNameChars);
  State.Armed.store(true, std::memory_order_release);
}

void SaveSignalGuard::Disarm() {
  State.Armed.store(false, std::memory_order_release);
}

}  // namespace mirvane
