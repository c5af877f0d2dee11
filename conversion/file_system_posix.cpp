// File operations on POSIX systems.
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <limits>
#include <vector>

#include "file_system.h"

namespace mirvane {

namespace {

// Direct I/O wants buffer, length and file offset in multiples of the
// device's block size; a page covers every block size in use.
constexpr std::size_t kDirectAlignment = 4096;

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

// Writes as much of Bytes as direct I/O takes, bypassing the page cache: no
// second copy of a large card in memory, and little left for fsync to flush.
// Returns how many bytes went out, which is also where the file offset now
// stands; none where the file system has no direct I/O or the bytes are not
// aligned for it.
std::size_t WriteDirect(int Fd, std::span<const unsigned char> Bytes) {
  const auto Address = reinterpret_cast<std::uintptr_t>(Bytes.data());
  const std::size_t Aligned = Bytes.size() - Bytes.size() % kDirectAlignment;
  const int Flags = ::fcntl(Fd, F_GETFL);
  if (Address % kDirectAlignment != 0 || Aligned == 0 || Flags < 0 ||
      ::fcntl(Fd, F_SETFL, Flags | O_DIRECT) != 0) {
    return 0;
  }
  std::size_t Done = 0;
  while (Done < Aligned) {
    const ssize_t Put = ::write(Fd, Bytes.data() + Done, Aligned - Done);
    if (Put < 0 && errno == EINTR) continue;
    // A refused direct write moves nothing; the buffered write takes over.
    if (Put <= 0) break;
    Done += static_cast<std::size_t>(Put);
  }
  ::fcntl(Fd, F_SETFL, Flags);
  return Done;
}

bool WriteToDisk(int Fd, std::span<const unsigned char> Bytes) {
  if (::fchmod(Fd, NewFileMode()) != 0) return false;
  const auto Rest = Bytes.subspan(WriteDirect(Fd, Bytes));
  return WriteAll(Fd, Rest.data(), Rest.size()) && ::fsync(Fd) == 0;
}

}  // namespace

bool FileContent::Allocate(std::size_t Size, std::size_t AlignedOffset) {
  Clear();
  if (Size == 0) return true;
  // mmap hands out whole pages: padding the block's start by the rest of a
  // page puts the byte at AlignedOffset on a page boundary, as direct I/O
  // wants it (see WriteDirect).
  const std::size_t Pad = (kDirectAlignment - AlignedOffset % kDirectAlignment) % kDirectAlignment;
  if (Size > std::numeric_limits<std::size_t>::max() - Pad) return false;
  // The read fills every page, so all of them are mapped here at once, in
  // one pass through the kernel instead of a page fault per 4 KiB. No huge
  // page advice: with no free huge page at hand, each advised fault compacts
  // memory first, which on a machine that has run for a while stalls for
  // seconds (see benchmark/ and the README).
  void* Block = ::mmap(nullptr, Pad + Size, PROT_READ | PROT_WRITE,
                       MAP_PRIVATE | MAP_ANONYMOUS | MAP_POPULATE, -1, 0);
  if (Block == MAP_FAILED) return false;
  Data_ = static_cast<unsigned char*>(Block) + Pad;
  Size_ = Size;
  Pad_ = Pad;
  return true;
}

void FileContent::Clear() {
  if (Data_ != nullptr) ::munmap(Data_ - Pad_, Pad_ + Size_);
  Data_ = nullptr;
  Size_ = 0;
  Pad_ = 0;
}

bool FileExists(const std::string& Path) {
  struct stat Info;
  if (Path.empty() || ::stat(Path.c_str(), &Info) != 0) return false;
  return !S_ISDIR(Info.st_mode) && Info.st_size > 0;
}

bool ReadWholeFile(const std::string& Path, std::span<const unsigned char> Lead,
                   FileContent& Content) {
  Content.Clear();
  Descriptor File(::open(Path.c_str(), O_RDONLY | O_CLOEXEC));
  struct stat Info;
  if (!File.Valid() || ::fstat(File.Get(), &Info) != 0 || Info.st_size < 0) return false;
  if (static_cast<std::uintmax_t>(Info.st_size) > std::numeric_limits<std::size_t>::max()) {
    return false;
  }
  const auto Size = static_cast<std::size_t>(Info.st_size);
  // The lead first, into a small buffer: a file of another kind is refused
  // before the memory for all of it is taken or the rest is read.
  std::vector<unsigned char> Head(Lead.size());
  if (Size < Head.size() || !ReadAll(File.Get(), Head.data(), Head.size()) ||
      !std::equal(Head.begin(), Head.end(), Lead.begin())) {
    return false;
  }
  ::posix_fadvise(File.Get(), 0, 0, POSIX_FADV_SEQUENTIAL);
  if (!Content.Allocate(Size, Head.size())) return false;
  std::copy(Head.begin(), Head.end(), Content.Data());
  if (!ReadAll(File.Get(), Content.Data() + Head.size(), Size - Head.size())) {
    Content.Clear();
    return false;
  }
  return true;
}

bool ReplaceFileWith(const std::string& Path, std::span<const unsigned char> Bytes) {
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
