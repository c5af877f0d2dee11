#include "destination_posix.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

namespace mirvane {

namespace {

// As many links as the kernel itself follows in one path.
constexpr int kMaxLinks = 40;

// Adds the names of Text to Pending, which holds the names still to walk
// with the next one last. A trailing "/" leaves an empty last name: such a
// text names a folder. A leading "/" leaves an empty first one, which the
// walk passes over once it has gone back to the root.
void AddNames(const std::string& Text, std::vector<std::string>& Pending) {
  std::vector<std::string> Names;
  for (std::size_t Start = 0;;) {
    const auto Slash = Text.find('/', Start);
    Names.push_back(Text.substr(Start, Slash == std::string::npos ? Slash : Slash - Start));
    if (Slash == std::string::npos) break;
    Start = Slash + 1;
  }
  Pending.insert(Pending.end(), Names.rbegin(), Names.rend());
}

Descriptor OpenStart(const std::string& Text) {
  return Descriptor(::open(Text.starts_with('/') ? "/" : ".", O_PATH | O_DIRECTORY | O_CLOEXEC));
}

bool ReadLink(int Folder, const std::string& Name, off_t Size, std::string& Target) {
  // A link's size is its target's length, except on file systems that give 0.
  Target.assign(Size > 0 ? static_cast<std::size_t>(Size) + 1 : 4096, '\0');
  const ssize_t Got = ::readlinkat(Folder, Name.c_str(), Target.data(), Target.size());
  if (Got <= 0 || static_cast<std::size_t>(Got) >= Target.size()) return false;
  Target.resize(static_cast<std::size_t>(Got));
  return true;
}

// See the sticky-folder rule in the header.
bool MayFollow(int Folder, const struct stat& Link) {
  struct stat Info;
  if (::fstat(Folder, &Info) != 0) return false;
  constexpr mode_t kShared = S_ISVTX | S_IWOTH;
  return (Info.st_mode & kShared) != kShared || Link.st_uid == ::geteuid() ||
         Link.st_uid == Info.st_uid;
}

// The walk opens folders for nothing but looking names up; the card's own
// folder is opened again for reading where possible, so that it can be
// synced after the rename and its flags read. One that may be entered but
// not listed is still usable.
bool Arrive(Destination& Where, std::string Name, const struct stat* Info) {
  Descriptor Readable(::openat(Where.Folder.Get(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (Readable.Valid()) Where.Folder = std::move(Readable);
  Where.Name = std::move(Name);
  Where.Exists = Info != nullptr;
  if (Info != nullptr) Where.Info = *Info;
  return true;
}

}  // namespace

bool OpenDestination(const std::string& Path, Destination& Where) {
  std::vector<std::string> Pending;
  AddNames(Path, Pending);
  Where.Folder = OpenStart(Path);
  for (int Links = 0; Where.Folder.Valid() && !Pending.empty();) {
    const std::string Name = std::move(Pending.back());
    Pending.pop_back();
    const bool Last = Pending.empty();
    if (Name.empty()) {
      if (Last) return false;
      continue;
    }
    const int Folder = Where.Folder.Get();
    struct stat Info;
    if (::fstatat(Folder, Name.c_str(), &Info, AT_SYMLINK_NOFOLLOW) != 0) {
      return Last && errno == ENOENT && Arrive(Where, Name, nullptr);
    }
    if (S_ISLNK(Info.st_mode)) {
      std::string Target;
      if (++Links > kMaxLinks || !MayFollow(Folder, Info) ||
          !ReadLink(Folder, Name, Info.st_size, Target)) {
        return false;
      }
      AddNames(Target, Pending);
      if (Target.starts_with('/')) Where.Folder = OpenStart(Target);
    } else if (Last) {
      return Arrive(Where, Name, &Info);
    } else {
      // Should a link take the folder's place meanwhile, the open fails
      // instead of following it unchecked.
      Where.Folder =
          Descriptor(::openat(Folder, Name.c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    }
  }
  return false;
}

}  // namespace mirvane
