#include "kept_attributes_posix.h"

#include <fcntl.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <string_view>
#include <vector>

namespace mirvane {

namespace {

constexpr char kAccessAcl[] = "system.posix_acl_access";

// Root may hand the file to the old card's owner; anyone else may at most
// give it a group of their own.
void KeepOwnerBestEffort(int Fd, const struct stat& Old) {
  if (::fchown(Fd, Old.st_uid, Old.st_gid) != 0) {
    (void)::fchown(Fd, static_cast<uid_t>(-1), Old.st_gid);
  }
}

// The attributes that travel with a card, as `cp -a` takes them. Not those
// that grant privileges (file capabilities) or vouch for the old bytes (IMA,
// EVM): the kernel drops those when a file is written, too.
bool Travels(std::string_view Name) {
  if (Name == kAccessAcl || Name.starts_with("user.")) return true;
  return Name.starts_with("security.") && Name != "security.capability" && Name != "security.ima" &&
         Name != "security.evm";
}

// Fills Buffer with what Read(Data, Size) gives, asking for the size first;
// the attribute may grow in between, so the size is asked again then.
template <typename ReadCall>
bool ReadSized(const ReadCall& Read, std::vector<char>& Buffer) {
  for (int Try = 0; Try < 3; ++Try) {
    const ssize_t Size = Read(nullptr, 0);
    if (Size < 0) return false;
    Buffer.resize(static_cast<std::size_t>(Size));
    const ssize_t Got = Read(Buffer.data(), Buffer.size());
    if (Got >= 0) {
      Buffer.resize(static_cast<std::size_t>(Got));
      return true;
    }
    if (errno != ERANGE) return false;
  }
  return false;
}

void CopyAttributes(int From, int To) {
  std::vector<char> Names, Value;
  if (!ReadSized([&](char* Data, std::size_t Size) { return ::flistxattr(From, Data, Size); },
                 Names)) {
    return;
  }
  // The list is a run of names, each ending in a NUL; one more ends the run
  // whatever the file system gave.
  Names.push_back('\0');
  for (std::size_t At = 0; At + 1 < Names.size();) {
    const std::string_view Name(Names.data() + At);
    At += Name.size() + 1;
    const auto Get = [&](char* Data, std::size_t Size) {
      return ::fgetxattr(From, Name.data(), Data, Size);
    };
    if (Travels(Name) && ReadSized(Get, Value)) {
      (void)::fsetxattr(To, Name.data(), Value.data(), Value.size(), 0);
    }
  }
}

// The old card is read through a descriptor of its own, which must be the
// card that was looked at: a file put in its place meanwhile gives nothing.
void CopyAttributesOf(const Destination& Old, int To) {
  const Descriptor File(::openat(Old.Folder.Get(), Old.Name.c_str(),
                                 O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  struct stat Info;
  if (File.Valid() && ::fstat(File.Get(), &Info) == 0 && Info.st_dev == Old.Info.st_dev &&
      Info.st_ino == Old.Info.st_ino) {
    CopyAttributes(File.Get(), To);
  }
}

// Last, so that it holds whatever setting the owner or the ACL changed. With
// an ACL the group bits stand for its mask, which the old card's group bits
// were too.
void KeepModeBestEffort(int Fd, const struct stat& Old) {
  struct stat New;
  if (::fstat(Fd, &New) != 0) return;
  mode_t Mode = Old.st_mode & 07777;
  if (New.st_uid != Old.st_uid || New.st_gid != Old.st_gid) Mode &= ~mode_t{S_ISUID | S_ISGID};
  if ((New.st_mode & 07777) != Mode) (void)::fchmod(Fd, Mode);
}

}  // namespace

void KeepAttributesBestEffort(int Fd, const Destination& Old) {
  KeepOwnerBestEffort(Fd, Old.Info);
  // An ACL the new file took from its folder's default goes: the card gets
  // the old card's, or none when the old card had none.
  (void)::fremovexattr(Fd, kAccessAcl);
  CopyAttributesOf(Old, Fd);
  KeepModeBestEffort(Fd, Old.Info);
}

}  // namespace mirvane
