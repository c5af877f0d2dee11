// File operations on POSIX systems.
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/mman.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <optional>

#include "descriptor_posix.h"
#include "destination_posix.h"
#include "file_system.h"
#include "kept_attributes_posix.h"
#include "read_primitives.h"
#include "save_signal_guard_posix.h"

namespace mirvane {

namespace {

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

// Writes as much of Bytes as direct I/O takes, bypassing the page cache: no
// second copy of a large card in memory, and little left for fsync to flush.
// Returns how many bytes went out, which is also where the file offset now
// stands; none where the file system has no direct I/O or the bytes are not
// aligned for it.
std::size_t WriteDirect(int Fd, std::span<const unsigned char> Bytes) {
  const auto Address = reinterpret_cast<std::uintptr_t>(Bytes.data());
  const std::size_t Aligned = Bytes.size() - Bytes.size() % kPageSize;
  const int Flags = ::fcntl(Fd, F_GETFL);
  if (Address % kPageSize != 0 || Aligned == 0 || Flags < 0 ||
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
  const auto Rest = Bytes.subspan(WriteDirect(Fd, Bytes));
  return WriteAll(Fd, Rest.data(), Rest.size()) && ::fsync(Fd) == 0;
}

// In an append-only folder (chattr +a) names can be added but never taken
// away: the rename over the card would be refused once the temporary was
// named, and that name would stay for good. statx tells even through a
// descriptor that may only enter the folder; the flags, read where statx
// cannot tell, need one that may read it. Nothing when neither tells.
std::optional<bool> IsAppendOnly(int Folder) {
  struct statx Info;
  if (::statx(Folder, "", AT_EMPTY_PATH, 0, &Info) == 0 &&
      (Info.stx_attributes_mask & STATX_ATTR_APPEND) != 0) {
    return (Info.stx_attributes & STATX_ATTR_APPEND) != 0;
  }
  int Flags = 0;
  if (::ioctl(Folder, FS_IOC_GETFLAGS, &Flags) == 0) return (Flags & FS_APPEND_FL) != 0;
  // A file system that keeps no flags (FAT) has no append-only folders.
  if (errno == ENOTTY || errno == ENOTSUP || errno == ENOSYS) return false;
  return std::nullopt;
}

// Only a regular file is replaced: never a device, FIFO or socket, nor a
// folder. Nor a card that nobody may write to, even when root could, nor one
// that the rename might not take away.
bool MayReplace(const Destination& Where) {
  if (!Where.Exists) return true;
  if (!S_ISREG(Where.Info.st_mode) || (Where.Info.st_mode & 0222) == 0) return false;
  return ::faccessat(Where.Folder.Get(), Where.Name.c_str(), W_OK, AT_EACCESS) == 0 &&
         IsAppendOnly(Where.Folder.Get()) == false;  // known not to be
}

// Hidden, and random so that saves into one folder do not meet.
std::string NewTempName() {
  std::uint64_t Random = 0;
  if (::getrandom(&Random, sizeof Random, GRND_NONBLOCK) != sizeof Random) {
    Random =
        static_cast<std::uint64_t>(::getpid()) << 32 ^
        static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
  }
  constexpr char kDigits[] = "0123456789abcdefghijklmnopqrstuv";
  std::string Name = ".mirvane-";
  for (int I = 0; I < 12; ++I, Random >>= 5) Name += kDigits[Random & 31];
  return Name;
}

constexpr int kNameTries = 100;

enum class Outcome {
  Saved,
  Failed,       // nothing was left behind, and the old card is as it was
  Unsupported,  // the file system or the process cannot save this way; nothing was done
};

// Gives the unnamed file Fd the name Name in Folder; false with errno EEXIST
// when the name is taken.
bool Link(int Fd, int Folder, const char* Name) {
  const std::string Self = "/proc/self/fd/" + std::to_string(Fd);
  if (::linkat(AT_FDCWD, Self.c_str(), Folder, Name, AT_SYMLINK_FOLLOW) == 0) return true;
  // Without /proc, a process that may read any file can link the descriptor itself.
  return errno != EEXIST && ::linkat(Fd, "", Folder, Name, AT_EMPTY_PATH) == 0;
}

// Links the unnamed file Fd into Folder under a fresh temporary name, which
// Guard then holds. A link cannot take the card's own name while the card
// exists; the rename does that.
bool NameUnnamed(int Fd, int Folder, SaveSignalGuard& Guard, std::string& Name) {
  for (int Try = 0; Try < kNameTries; ++Try) {
    Name = NewTempName();
    Guard.Arm(Folder, Name.c_str());
    if (Link(Fd, Folder, Name.c_str())) return true;
    const int Error = errno;
    Guard.Disarm();
    if (Error != EEXIST) return false;
  }
  return false;
}

Descriptor CreateNamed(int Folder, SaveSignalGuard& Guard, std::string& Name) {
  for (int Try = 0; Try < kNameTries; ++Try) {
    Name = NewTempName();
    Guard.Arm(Folder, Name.c_str());
    Descriptor File(::openat(Folder, Name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
    if (File.Valid()) return File;
    const int Error = errno;
    Guard.Disarm();
    if (Error != EEXIST) break;
  }
  return Descriptor();
}

// A card that was not there when the save began is only ever created: a file
// that appeared at its name since is not replaced unseen. File systems
// without RENAME_NOREPLACE get the plain rename.
bool PutInPlace(int Folder, const std::string& TempName, const Destination& Where) {
  const char* Name = Where.Name.c_str();
  if (!Where.Exists) {
    if (::renameat2(Folder, TempName.c_str(), Folder, Name, RENAME_NOREPLACE) == 0) return true;
    if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP) return false;
  }
  return ::renameat(Folder, TempName.c_str(), Folder, Name) == 0;
}

// Closes the named file File and renames it over the card; on failure its
// name goes again.
Outcome Finish(Descriptor& File, const std::string& TempName, const Destination& Where,
               SaveSignalGuard& Guard) {
  const int Folder = Where.Folder.Get();
  if (File.Close() && PutInPlace(Folder, TempName, Where)) return Outcome::Saved;
  ::unlinkat(Folder, TempName.c_str(), 0);
  Guard.Disarm();
  return Outcome::Failed;
}

// The file is written while it has no name (O_TMPFILE), so that nothing at
// all is left if the process dies then. A new card is then linked straight
// to its name, which fails if the name appeared meanwhile: it never has
// another. A replacement is named for the moment before the rename. Created
// with 0666, the file gets the umask (and a folder's default ACL) from the
// kernel.
Outcome SaveUnnamed(const Destination& Where, const KeptAttributes& Kept,
                    std::span<const unsigned char> Bytes, SaveSignalGuard& Guard) {
  const int Folder = Where.Folder.Get();
  Descriptor File(::openat(Folder, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666));
  if (!File.Valid()) return Outcome::Unsupported;
  // A write that fails here would fail under a name too.
  if (!KeepAttributes(File.Get(), Where, Kept) || !WriteToDisk(File.Get(), Bytes)) {
    return Outcome::Failed;
  }
  if (Where.Exists) {
    std::string TempName;
    if (!NameUnnamed(File.Get(), Folder, Guard, TempName)) return Outcome::Unsupported;
    return Finish(File, TempName, Where, Guard);
  }
  if (Link(File.Get(), Folder, Where.Name.c_str())) {
    if (File.Close()) return Outcome::Saved;
    ::unlinkat(Folder, Where.Name.c_str(), 0);
    return Outcome::Failed;
  }
  return errno == EEXIST ? Outcome::Failed : Outcome::Unsupported;
}

// Where files cannot be made without a name (FAT), or not linked once made
// (no /proc, no privilege): the file is written under a temporary name that
// Guard holds, then renamed. Not in a folder that may be append-only, where
// that name would stay for good: not even a new card is saved there so.
Outcome SaveNamed(const Destination& Where, const KeptAttributes& Kept,
                  std::span<const unsigned char> Bytes, SaveSignalGuard& Guard) {
  if (IsAppendOnly(Where.Folder.Get()) != false) return Outcome::Failed;
  std::string TempName;
  Descriptor File = CreateNamed(Where.Folder.Get(), Guard, TempName);
  if (!File.Valid()) return Outcome::Failed;
  if (KeepAttributes(File.Get(), Where, Kept) && WriteToDisk(File.Get(), Bytes)) {
    return Finish(File, TempName, Where, Guard);
  }
  ::unlinkat(Where.Folder.Get(), TempName.c_str(), 0);
  Guard.Disarm();
  return Outcome::Failed;
}

}  // namespace

bool FileExists(const std::string& Path) {
  struct stat Info;
  if (Path.empty() || ::stat(Path.c_str(), &Info) != 0) return false;
  return !S_ISDIR(Info.st_mode) && Info.st_size > 0;
}

// Opening does not wait (a FIFO would wait for a writer), and nothing but a
// regular file is read; the read itself then waits as usual.
SourceFile::SourceFile(const std::string& Path)
    : Handle_(::open(Path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC)) {
  const int Fd = static_cast<int>(Handle_);
  struct stat Info;
  if (Fd < 0 || ::fstat(Fd, &Info) != 0 || !S_ISREG(Info.st_mode) || Info.st_size < 0) return;
  const int Flags = ::fcntl(Fd, F_GETFL);
  if (Flags < 0 || ::fcntl(Fd, F_SETFL, Flags & ~O_NONBLOCK) != 0) return;
  ::posix_fadvise(Fd, 0, 0, POSIX_FADV_SEQUENTIAL);
  Length_ = static_cast<std::uint64_t>(Info.st_size);
}

SourceFile::~SourceFile() {
  if (Handle_ != -1) ::close(static_cast<int>(Handle_));
}

std::size_t SourceFile::Read(unsigned char* Data, std::size_t Size) const {
  for (;;) {
    const ssize_t Got = ::read(static_cast<int>(Handle_), Data, Size);
    if (Got >= 0 || errno != EINTR) return Got > 0 ? static_cast<std::size_t>(Got) : 0;
  }
}

void* AllocatePages(std::size_t Size) {
  // All pages are mapped at once, as the read fills every one: one pass through
  // the kernel, not a fault per page. No huge pages: where none is free, each
  // fault in a block advised to have them compacts memory first, for seconds.
  void* Block = ::mmap(nullptr, Size, PROT_READ | PROT_WRITE,
                       MAP_PRIVATE | MAP_ANONYMOUS | MAP_POPULATE, -1, 0);
  return Block == MAP_FAILED ? nullptr : Block;
}

void FreePages(void* Block, std::size_t Size) {
  ::munmap(Block, Size);
}

// Besides what file_system.h says: only a regular file is replaced, and not
// one without a write bit even by root; a symbolic link at Path is followed
// (see OpenDestination for links in shared folders) and stays a link while
// the card it names is replaced; a replaced card keeps its owner, group and
// permission bits where the file system and the user allow it, never set-ID
// bits, and its extended attributes or the save fails (see
// kept_attributes_posix.h); a new card never has another name; a signal that
// ends the process during the save leaves no temporary file.
bool ReplaceFileWith(const std::string& Path, std::span<const unsigned char> Bytes,
                     std::string* /*Stranded*/) {
  Destination Where;
  KeptAttributes Kept;
  if (Path.empty() || !OpenDestination(Path, Where) || !MayReplace(Where) ||
      !ReadKeptAttributes(Where, Kept)) {
    return false;
  }
  SaveSignalGuard Guard;
  Outcome Done = SaveUnnamed(Where, Kept, Bytes, Guard);
  if (Done == Outcome::Unsupported) Done = SaveNamed(Where, Kept, Bytes, Guard);
  if (Done != Outcome::Saved) return false;
  Guard.Disarm();
  // The card is in place either way; this only hastens its name to the disk.
  ::fsync(Where.Folder.Get());
  return true;
}

}  // namespace mirvane
