#include "save_signal_guard_posix.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <iterator>

namespace mirvane {

namespace {

constexpr int kEndingSignals[] = {SIGINT, SIGTERM, SIGHUP};

// A signal handler is given nothing but the signal's number, so what it must
// undo has to sit where it can reach it. The name is written while Armed is
// false and read only after Armed is seen true; lock-free atomics are safe
// to use in a handler.
struct HandlerState {
  std::atomic<bool> Armed{false};
  std::atomic<int> Folder{-1};
  char Name[SaveSignalGuard::kMaxNameChars + 1] = {};
  struct sigaction Previous[std::size(kEndingSignals)] = {};
};
HandlerState State;

bool IsIgnored(const struct sigaction& Action) {
  return (Action.sa_flags & SA_SIGINFO) == 0 && Action.sa_handler == SIG_IGN;
}

extern "C" void RemoveNameAndEnd(int Signal) {
  const int Saved = errno;
  if (State.Armed.load(std::memory_order_acquire)) {
    ::unlinkat(State.Folder.load(std::memory_order_relaxed), State.Name, 0);
  }
  // The signal stays blocked until this handler returns; it is then taken
  // again as the program had it, which by default ends the process.
  for (std::size_t I = 0; I < std::size(kEndingSignals); ++I) {
    if (kEndingSignals[I] == Signal) ::sigaction(Signal, &State.Previous[I], nullptr);
  }
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
  for (const int Signal : kEndingSignals) sigaddset(&Ours.sa_mask, Signal);
  for (std::size_t I = 0; I < std::size(kEndingSignals); ++I) {
    Installed_[I] = ::sigaction(kEndingSignals[I], nullptr, &State.Previous[I]) == 0 &&
                    !IsIgnored(State.Previous[I]) &&
                    ::sigaction(kEndingSignals[I], &Ours, nullptr) == 0;
  }

  struct sigaction Ignore = {};
  Ignore.sa_handler = SIG_IGN;
  sigemptyset(&Ignore.sa_mask);
  FileSizeIgnored_ = ::sigaction(SIGXFSZ, nullptr, &PreviousFileSize_) == 0 &&
                     (PreviousFileSize_.sa_flags & SA_SIGINFO) == 0 &&
                     PreviousFileSize_.sa_handler == SIG_DFL &&
                     ::sigaction(SIGXFSZ, &Ignore, nullptr) == 0;
}

SaveSignalGuard::~SaveSignalGuard() {
  Disarm();
  for (std::size_t I = 0; I < std::size(kEndingSignals); ++I) {
    if (Installed_[I]) ::sigaction(kEndingSignals[I], &State.Previous[I], nullptr);
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
