// What the signals that end a process do while a card is being saved.
#pragma once

#include <csignal>

namespace mirvane {

// While it lives, every signal that would end the process by its default
// action (see the .cpp for which) first removes the temporary name that Arm
// registered and then ends the process as it would have without the guard.
// A signal that the program ignores or handles itself is left to the
// program: its handler may well return, and the save then goes on with its
// temporary file. SIGXFSZ, unless the program handles it itself, is
// ignored, so that a write past the file-size limit fails with EFBIG instead
// of killing the process. The previous dispositions come back when the guard
// goes away. SIGKILL cannot be caught.
//
// One save at a time: what the handler needs is process-wide (see the .cpp).
class SaveSignalGuard {
 public:
  static constexpr int kMaxNameChars = 31;

  SaveSignalGuard();
  ~SaveSignalGuard();
  SaveSignalGuard(const SaveSignalGuard&) = delete;
  SaveSignalGuard& operator=(const SaveSignalGuard&) = delete;

  // Name (at most kMaxNameChars bytes) in the folder open as Folder is to be
  // removed if a signal ends the process. Arming before the name is made
  // leaves no moment in which it exists unguarded.
  void Arm(int Folder, const char* Name);
  void Disarm();

 private:
  bool Installed_[NSIG] = {};  // by signal number
  bool FileSizeIgnored_ = false;
  struct sigaction PreviousFileSize_ = {};
};

}  // namespace mirvane
