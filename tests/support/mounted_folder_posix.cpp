#include "mounted_folder_posix.h"

#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace mirvane::testing {

namespace fs = std::filesystem;

bool RunQuietly(const std::string& Command) {
  return std::system((Command + " >/dev/null 2>&1").c_str()) == 0;
}

namespace {

std::string Quoted(const std::string& Path) {
  return "'" + Path + "'";
}

bool OnItsOwnDevice(const std::string& Folder) {
  struct stat Mount, Parent;
  return ::stat(Folder.c_str(), &Mount) == 0 &&
         ::stat(fs::path(Folder).parent_path().c_str(), &Parent) == 0 &&
         Mount.st_dev != Parent.st_dev;
}

}  // namespace

MountedFolder::MountedFolder(FileSystemKind Kind, std::size_t Size,
                             const std::function<bool(const std::string& Image)>& Prepare)
    : Root_(Scratch_.PathOf("mnt")) {
  fs::create_directory(Root_);
  if (::geteuid() != 0) {
    Why_ = "mounting a file system needs root";
    return;
  }
  const std::string Image = Scratch_.PathOf("image");
  if (Kind == FileSystemKind::Tmpfs) {
    const std::string Options = "size=" + std::to_string(Size);
    Mounted_ = ::mount("tmpfs", Root_.c_str(), "tmpfs", 0, Options.c_str()) == 0;
    if (!Mounted_) Why_ = "cannot mount tmpfs";
    return;
  }
  { std::ofstream(Image).close(); }
  fs::resize_file(Image, Size);
  const bool Fat = Kind == FileSystemKind::FatThroughFuse;
  if (!RunQuietly((Fat ? "mkfs.vfat " : "mkfs.ext4 -q ") + Quoted(Image))) {
    Why_ = Fat ? "mkfs.vfat failed (dosfstools)" : "mkfs.ext4 failed (e2fsprogs)";
    return;
  }
  if (Prepare && !Prepare(Image)) {
    Why_ = "could not prepare the image";
    return;
  }
  const std::string Mount = Fat ? "fusefat -o rw+ " + Quoted(Image) + " " + Quoted(Root_)
                                : "mount -t ext4 -o loop " + Quoted(Image) + " " + Quoted(Root_);
  // fusefat returns once the file system is mounted and serving.
  Mounted_ = RunQuietly(Mount) && OnItsOwnDevice(Root_);
  if (!Mounted_) Why_ = "could not mount: " + Mount;
}

MountedFolder::~MountedFolder() {
  if (Mounted_) ::umount2(Root_.c_str(), MNT_DETACH);
}

std::vector<std::string> NamesIn(const std::string& Folder) {
  std::vector<std::string> Result;
  for (const auto& Entry : fs::directory_iterator(Folder)) {
    Result.push_back(Entry.path().filename().string());
  }
  std::sort(Result.begin(), Result.end());
  return Result;
}

}  // namespace mirvane::testing
