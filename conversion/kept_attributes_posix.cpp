#include "kept_attributes_posix.h"

#include <endian.h>
#include <fcntl.h>
#include <linux/posix_acl.h>
#include <linux/posix_acl_xattr.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string_view>

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
// EVM): the kernel drops those when a file is written, too. Trusted ones are
// listed to root alone.
bool Travels(std::string_view Name) {
  if (Name == kAccessAcl || Name.starts_with("user.") || Name.starts_with("trusted.")) return true;
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

// The old card as its attributes are read: by a path through the folder's
// descriptor in /proc, which opens nothing and follows no link that took the
// card's name since, or, without /proc, through the card opened for reading.
struct OldCard {
  std::string Path;
  Descriptor File;

  ssize_t List(char* Data, std::size_t Size) const {
    return File.Valid() ? ::flistxattr(File.Get(), Data, Size)
                        : ::llistxattr(Path.c_str(), Data, Size);
  }
  ssize_t Get(const char* Name, char* Data, std::size_t Size) const {
    return File.Valid() ? ::fgetxattr(File.Get(), Name, Data, Size)
                        : ::lgetxattr(Path.c_str(), Name, Data, Size);
  }
  // Whether the name still holds the card that Old looked at.
  bool Is(const struct stat& Old) const {
    struct stat Info;
    const int Got = File.Valid() ? ::fstat(File.Get(), &Info) : ::lstat(Path.c_str(), &Info);
    return Got == 0 && Info.st_dev == Old.st_dev && Info.st_ino == Old.st_ino;
  }
};

OldCard Reach(const Destination& Old) {
  OldCard Card;
  const std::string Folder = "/proc/self/fd/" + std::to_string(Old.Folder.Get());
  if (::access(Folder.c_str(), F_OK) == 0) {
    Card.Path = Folder + "/" + Old.Name;
  } else {
    Card.File = Descriptor(::openat(Old.Folder.Get(), Old.Name.c_str(),
                                    O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  }
  return Card;
}

// The owning group's own entry of an ACL as the kernel keeps it (a version,
// then tag, permissions and id of each entry), as group bits.
mode_t OwningGroupBits(const std::vector<char>& Acl) {
  posix_acl_xattr_entry Entry;
  for (std::size_t At = sizeof(posix_acl_xattr_header); At + sizeof Entry <= Acl.size();
       At += sizeof Entry) {
    std::memcpy(&Entry, Acl.data() + At, sizeof Entry);
    if (le16toh(Entry.e_tag) == ACL_GROUP_OBJ) {
      return static_cast<mode_t>((le16toh(Entry.e_perm) & 7) << 3);
    }
  }
  return 0;
}

// A label that the kernel gave the new file may be one that the user may not
// set, and yet the very one the old card had.
bool Holds(int Fd, const std::string& Name, const std::vector<char>& Value) {
  const auto Get = [&](char* Data, std::size_t Size) {
    return ::fgetxattr(Fd, Name.c_str(), Data, Size);
  };
  std::vector<char> Now;
  return ReadSized(Get, Now) && Now == Value;
}

// Last, so that it holds whatever setting the owner or the ACL changed. With
// an ACL the group bits stand for its mask, which the old card's group bits
// were too.
void KeepModeBestEffort(int Fd, mode_t Mode) {
  struct stat New;
  if (::fstat(Fd, &New) == 0 && (New.st_mode & 07777) != Mode) (void)::fchmod(Fd, Mode);
}

}  // namespace

bool ReadKeptAttributes(const Destination& Old, KeptAttributes& Kept) {
  Kept.clear();
  if (!Old.Exists) return true;
  const OldCard Card = Reach(Old);
  std::vector<char> Names;
  if (!ReadSized([&](char* Data, std::size_t Size) { return Card.List(Data, Size); }, Names)) {
    // A file system without extended attributes has none to lose.
    if (errno != ENOTSUP) return false;
    Names.clear();
  }
  // The list is a run of names, each ending in a NUL; one more ends the run
  // whatever the file system gave.
  Names.push_back('\0');
  for (std::size_t At = 0; At + 1 < Names.size();) {
    const std::string Name(Names.data() + At);
    At += Name.size() + 1;
    if (!Travels(Name)) continue;
    std::vector<char> Value;
    const auto Get = [&](char* Data, std::size_t Size) {
      return Card.Get(Name.c_str(), Data, Size);
    };
    if (ReadSized(Get, Value)) {
      Kept.emplace_back(Name, std::move(Value));
    } else if (errno != ENODATA) {  // one removed since the list was read is not there to keep
      return false;
    }
  }
  return Card.Is(Old.Info);
}

bool KeepAttributes(int Fd, const Destination& Old, const KeptAttributes& Kept) {
  if (!Old.Exists) return true;
  KeepOwnerBestEffort(Fd, Old.Info);
  // An ACL the new file took from its folder's default goes: the card gets
  // the old card's, or none when the old card had none.
  (void)::fremovexattr(Fd, kAccessAcl);
  mode_t Mode = Old.Info.st_mode & 07777 & ~mode_t{S_ISUID | S_ISGID};
  for (const auto& [Name, Value] : Kept) {
    if (::fsetxattr(Fd, Name.c_str(), Value.data(), Value.size(), 0) == 0) continue;
    const int Error = errno;
    if (Holds(Fd, Name, Value)) continue;
    if (Error != ENOTSUP) return false;
    // Without its ACL the group bits would give the owning group the ACL's
    // mask, what named users and groups may do at most.
    if (Name == kAccessAcl) Mode &= ~mode_t{S_IRWXG} | OwningGroupBits(Value);
  }
  KeepModeBestEffort(Fd, Mode);
  return true;
}

}  // namespace mirvane
