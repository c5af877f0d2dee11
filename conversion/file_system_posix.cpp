// File operations on POSIX systems.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <limits>

#include "file_system.h"

namespace mirvane {

namespace {

// Closes the descriptor when the scope ends, for the paths that give up early.
class Descriptor {
 public:
  explicit Descriptor(int Fd) : Fd_(Fd) {}
  ~Descriptor() {
    if (Fd_ >= 0) ::close(Fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;

  int Get() const { return Fd_; }
  bool Valid() const { return Fd_ >= 0; }
  // Closes now and says whether the kernel accepted everything written.
  bool Close() {
    const int Fd = Fd_;
    Fd_ = -1;
    return ::close(Fd) == 0;
  }

 private:
  int Fd_;
};

bool ReadAll(int Fd, unsigned char* Data, std::size_t Size) {
  while (Size > 0) {
    const ssize_t Got = ::read(Fd, Data, Size);
    if (Got < 0 && errno == EINTR) continue;
    if (Got <= 0) return false;  // an error, or the file shrank under us
    Data += Got;
    Size -= static_cast<std::size_t>(Got);
  }
  return true;
}

bool WriteAll(int Fd, const unsigned char* Data, std::size_t Size) {
  while (Size > 0) {
    const ssize_t Put = ::write(Fd, Data, Size);
    if (Put < 0 && errno == EINTR) continue;
    if (Put <= 0) return false;
    Data += Put;
    Size -= static_cast<std::size_t>(Put);
  }
  return true;
}

std::string FolderOf(const std::string& Path) {
  const auto Slash = Path.find_last_of('/');
  if (Slash == std::string::npos) return ".";
  if (Slash == 0) return "/";
  return Path.substr(0, Slash);
}

// Where deleting the old file first would be refused, replacing it must be too:
// a folder, or a file that we may not write.
bool MayReplace(const std::string& Path) {
  struct stat Info;
  if (::stat(Path.c_str(), &Info) != 0) return errno == ENOENT;
  if (S_ISDIR(Info.st_mode)) return false;
  return ::access(Path.c_str(), W_OK) == 0;
}

// A new file gets the permissions the user's umask gives, as if created in place.
mode_t NewFileMode() {
  const mode_t Mask = ::umask(0);
  ::umask(Mask);
  return 0666 & ~Mask;
}

void SyncFolder(const std::string& Folder) {
  Descriptor Dir(::open(Folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  // The rename has happened either way; this only hastens it to the disk.
  if (Dir.Valid()) ::fsync(Dir.Get());
}

bool WriteToDisk(int Fd, std::span<const unsigned char> Bytes) {
  return ::fchmod(Fd, NewFileMode()) == 0 && WriteAll(Fd, Bytes.data(), Bytes.size()) &&
         ::fsync(Fd) == 0;
}

}  // namespace

bool FileExists(const std::string& Path) {
  struct stat Info;
  if (Path.empty() || ::stat(Path.c_str(), &Info) != 0) return false;
  return !S_ISDIR(Info.st_mode) && Info.st_size > 0;
}

bool ReadWholeFile(const std::string& Path, FileContent& Content) {
  Content.Clear();
  Descriptor File(::open(Path.c_str(), O_RDONLY | O_CLOEXEC));
  struct stat Info;
  if (!File.Valid() || ::fstat(File.Get(), &Info) != 0 || Info.st_size < 0) return false;
  if (static_cast<std::uintmax_t>(Info.st_size) > std::numeric_limits<std::size_t>::max()) {
    return false;
  }
  const auto Size = static_cast<std::size_t>(Info.st_size);
  ::posix_fadvise(File.Get(), 0, 0, POSIX_FADV_SEQUENTIAL);
  if (!Content.Allocate(Size) || !ReadAll(File.Get(), Content.Data(), Size)) {
    Content.Clear();
    return false;
  }
  return true;
}

bool ReplaceFile(const std::string& Path, std::span<const unsigned char> Bytes) {
  if (Path.empty() || !MayReplace(Path)) return false;
  const std::string Folder = FolderOf(Path);
  std::string TempPath = Folder + "/.mirvane-XXXXXX";
  Descriptor Temp(::mkostemp(TempPath.data(), O_CLOEXEC));
  if (!Temp.Valid()) return false;
  if (!WriteToDisk(Temp.Get(), Bytes) || !Temp.Close() ||
      ::rename(TempPath.c_str(), Path.c_str()) != 0) {
    ::unlink(TempPath.c_str());
    return false;
  }
  SyncFolder(Folder);
  return true;
}

}  // namespace mirvane
