#include "destination_posix.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace mirvane {

namespace {

// As many links as the kernel itself follows in one path.
constexpr int kMaxLinks = 40;

// The folder is opened for reading where possible, so that it can be synced
// after the rename; one that may be entered but not listed is still usable.
int OpenFolder(int Base, const std::string& Folder) {
  const int Fd = ::openat(Base, Folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (Fd >= 0 || errno != EACCES) return Fd;
  return ::openat(Base, Folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
}

// Splits Path at its last "/" and opens what comes before, relative to Base.
bool Enter(int Base, const std::string& Path, Destination& Where) {
  const auto Slash = Path.find_last_of('/');
  const std::string Folder = Slash == std::string::npos ? "." : Path.substr(0, Slash + 1);
  Where.Name = Slash == std::string::npos ? Path : Path.substr(Slash + 1);
  Where.Folder = Descriptor(OpenFolder(Base, Folder));
  return Where.Folder.Valid() && !Where.Name.empty();
}

bool ReadLink(int Folder, const std::string& Name, off_t Size, std::string& Target) {
  // A link's size is its target's length, except on file systems that give 0.
  Target.assign(Size > 0 ? static_cast<std::size_t>(Size) + 1 : 4096, '\0');
  const ssize_t Got = ::readlinkat(Folder, Name.c_str(), Target.data(), Target.size());
  if (Got <= 0 || static_cast<std::size_t>(Got) >= Target.size()) return false;
  Target.resize(static_cast<std::size_t>(Got));
  return true;
}

}  // namespace

bool OpenDestination(const std::string& Path, Destination& Where) {
  if (!Enter(AT_FDCWD, Path, Where)) return false;
  for (int Links = 0; Links <= kMaxLinks; ++Links) {
    if (::fstatat(Where.Folder.Get(), Where.Name.c_str(), &Where.Info, AT_SYMLINK_NOFOLLOW) != 0) {
      Where.Exists = false;
      return errno == ENOENT;
    }
    Where.Exists = true;
    if (!S_ISLNK(Where.Info.st_mode)) return true;
    std::string Target;
    if (!ReadLink(Where.Folder.Get(), Where.Name, Where.Info.st_size, Target)) return false;
    const Descriptor LinkFolder = std::move(Where.Folder);
    if (!Enter(LinkFolder.Get(), Target, Where)) return false;
  }
  return false;
}

}  // namespace mirvane
