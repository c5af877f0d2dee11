// A fresh file system of a chosen kind, mounted on a folder for one test and
// unmounted afterwards, so that faults come from the real file system.
// Mounting needs root (and /dev/fuse for FAT through FUSE); Why() says what
// went wrong when it could not be mounted.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "scratch_folder.h"

namespace mirvane::testing {

// Every name in Folder, sorted; shows leftovers such as temporary files.
std::vector<std::string> NamesIn(const std::string& Folder);

enum class FileSystemKind {
  Tmpfs,           // in memory, Size bytes
  FatThroughFuse,  // a FAT image of Size bytes served by fusefat
  Ext4Image,       // an ext4 image of Size bytes on a loop device
};

class MountedFolder {
 public:
  // Prepare, when given, works on the image file before it is mounted.
  MountedFolder(FileSystemKind Kind, std::size_t Size,
                const std::function<bool(const std::string& Image)>& Prepare = {});
  ~MountedFolder();
  MountedFolder(const MountedFolder&) = delete;
  MountedFolder& operator=(const MountedFolder&) = delete;

  bool Mounted() const { return Mounted_; }
  const std::string& Why() const { return Why_; }

  const std::string& Root() const { return Root_; }
  std::string PathOf(const std::string& Name) const { return Root_ + "/" + Name; }
  // Every name at the top of the file system, sorted.
  std::vector<std::string> Names() const { return NamesIn(Root_); }

 private:
  ScratchFolder Scratch_;  // holds the image and the mount point
  std::string Root_;
  bool Mounted_ = false;
  std::string Why_;
};

// Runs a shell command quietly; true when it exits with 0.
bool RunQuietly(const std::string& Command);

}  // namespace mirvane::testing
