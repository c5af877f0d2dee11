// What a replaced card keeps of the card it replaces.
#pragma once

#include "destination_posix.h"

namespace mirvane {

// Best effort, on the new file Fd while it is still empty: it takes the old
// card's owner and group, its extended attributes (the access ACL, users'
// own attributes, security labels) and then its permission bits, as `cp -a`
// would. Each step may be refused without harm to the save: a file system
// without them (FAT), a user who may not give a file away, an old card that
// cannot be read. Set-user-ID and set-group-ID bits come over only when the
// owner and the group both did, so that a save never makes a new set-ID file.
void KeepAttributesBestEffort(int Fd, const Destination& Old);

}  // namespace mirvane
