// What a replaced card keeps of the card it replaces.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "destination_posix.h"

namespace mirvane {

// The old card's extended attributes that travel with it, as `cp -a` takes
// them: the access ACL, users' own attributes, security labels and, where
// root saves, trusted ones. Each is a name and its value.
using KeptAttributes = std::vector<std::pair<std::string, std::vector<char>>>;

// Reads them before anything is written, through Old's folder and name
// without opening the card where /proc allows it, so that neither a lease on
// the card nor the descriptor limit is in the way. False when they cannot be
// read, or the card is no longer the one Old looked at.
bool ReadKeptAttributes(const Destination& Old, KeptAttributes& Kept);

// Puts Kept on the new file Fd while it is still empty, with the old card's
// owner and group and then its permission bits, but never set-user-ID or
// set-group-ID: new bytes never make a set-ID program, as the kernel drops
// those bits when a set-ID file is written. Owner, group and mode are best
// effort (a user may not give a file away; FAT takes no modes). False when an
// attribute cannot be set, unless the file system keeps none of its kind.
bool KeepAttributes(int Fd, const Destination& Old, const KeptAttributes& Kept);

}  // namespace mirvane
