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

// Opens the folder of Path and names the file in it. A symbolic link is
// followed to what it points to, through any chain of links, with a relative
// target read from the link's own folder; a link that points nowhere leads to
// the file it names, which the save then creates. Everything after the first
// folder is opened relative to a descriptor, so no path longer than the
// one given is ever formed. False when Path names no file in an existing
// folder (empty text, a trailing "/", a folder that cannot be opened, a loop
// of links).
bool OpenDestination(const std::string& Path, Destination& Where);

}  // namespace mirvane
