// Where a save lands once the symbolic links that name it are followed.
#pragma once

#include <sys/stat.h>

#include <string>

#include "descriptor_posix.h"

namespace mirvane {

struct Destination {
  Descriptor Folder;  // the folder that holds the card, open
  std::string Name;   // the card's name in Folder, never a symbolic link
  bool Exists = false;
  struct stat Info = {};  // the card's, when it exists
};

// Opens the folder of Path and names the file in it. Path is walked one name
// at a time, each relative to a descriptor of the folder before it, so no
// path longer than the one given is ever formed. A symbolic link anywhere on
// the way is followed to what it points to, through any chain of links, with
// a relative target read from the link's own folder; a last link that points
// nowhere leads to the file it names, which the save then creates.
//
// In a folder that anyone may write to but only owners may delete from (a
// sticky, world-writable one such as /tmp), a link is followed only when it
// belongs to this user or to the folder's owner: the rule of the kernel's
// fs.protected_symlinks, kept whatever the system sets it to, so that
// another user cannot aim the save at one of this user's files.
//
// False when Path names no file in an existing folder (empty text, a
// trailing "/", a folder that cannot be opened, a loop of links) or a link
// on the way may not be followed.
bool OpenDestination(const std::string& Path, Destination& Where);

}  // namespace mirvane
