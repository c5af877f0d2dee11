// Stops a process at a known point of its work on a real file system: the
// first time it opens a file in a folder (other than the ones let through),
// the open waits until the test releases it. Built on fanotify's permission
// events, which need root.
#pragma once

#include <string>
#include <vector>

namespace mirvane::testing {

class OpenGate {
 public:
  explicit OpenGate(const std::string& Folder);
  ~OpenGate();  // lets every open through again
  OpenGate(const OpenGate&) = delete;
  OpenGate& operator=(const OpenGate&) = delete;

  bool Ready() const { return Fd_ >= 0; }

  // Waits until a file in the folder not named in PassThrough is being opened,
  // and holds that open; returns the file's path as the kernel shows it ("",
  // after a generous limit, when no such open came).
  std::string Hold(const std::vector<std::string>& PassThrough);
  // Lets the held open go on.
  void Release();

 private:
  void Answer(int File, bool Allow);

  int Fd_ = -1;
  int Held_ = -1;
};

}  // namespace mirvane::testing
