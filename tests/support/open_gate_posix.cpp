#include "open_gate_posix.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/fanotify.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <filesystem>

namespace mirvane::testing {

namespace {

// Only a process that never opens the file makes the wait reach this.
constexpr int kGiveUpMilliseconds = 20000;

std::string PathOfDescriptor(int Fd) {
  char Path[PATH_MAX];
  const std::string Link = "/proc/self/fd/" + std::to_string(Fd);
  const ssize_t Got = ::readlink(Link.c_str(), Path, sizeof Path);
  return Got > 0 ? std::string(Path, static_cast<std::size_t>(Got)) : "";
}

}  // namespace

OpenGate::OpenGate(const std::string& Folder) {
  Fd_ = ::fanotify_init(FAN_CLASS_CONTENT | FAN_CLOEXEC, O_RDONLY | O_LARGEFILE);
  if (Fd_ >= 0 && ::fanotify_mark(Fd_, FAN_MARK_ADD, FAN_OPEN_PERM | FAN_EVENT_ON_CHILD, AT_FDCWD,
                                  Folder.c_str()) != 0) {
    ::close(Fd_);
    Fd_ = -1;
  }
}

OpenGate::~OpenGate() {
  Release();
  // Closing the group lets any open still waiting go on.
  if (Fd_ >= 0) ::close(Fd_);
}

void OpenGate::Answer(int File, bool Allow) {
  const fanotify_response Response{File,
                                   Allow ? std::uint32_t{FAN_ALLOW} : std::uint32_t{FAN_DENY}};
  (void)::write(Fd_, &Response, sizeof Response);
  ::close(File);
}

std::string OpenGate::Hold(const std::vector<std::string>& PassThrough) {
  alignas(fanotify_event_metadata) char Buffer[4096];
  pollfd Wait{Fd_, POLLIN, 0};
  std::string HeldPath;
  while (Held_ < 0 && Fd_ >= 0 && ::poll(&Wait, 1, kGiveUpMilliseconds) == 1) {
    const ssize_t Got = ::read(Fd_, Buffer, sizeof Buffer);
    if (Got <= 0) break;
    auto* Event = reinterpret_cast<fanotify_event_metadata*>(Buffer);
    std::size_t Left = static_cast<std::size_t>(Got);
    for (; FAN_EVENT_OK(Event, Left); Event = FAN_EVENT_NEXT(Event, Left)) {
      const std::string Path = PathOfDescriptor(Event->fd);
      const std::string Name = std::filesystem::path(Path).filename().string();
      if (Held_ < 0 &&
          std::find(PassThrough.begin(), PassThrough.end(), Name) == PassThrough.end()) {
        Held_ = Event->fd;
        HeldPath = Path;
      } else {
        Answer(Event->fd, true);
      }
    }
  }
  return HeldPath;
}

void OpenGate::Release() {
  if (Held_ >= 0) Answer(Held_, true);
  Held_ = -1;
}

}  // namespace mirvane::testing
