// The name proposed for the converted card.
#pragma once

#include <string>

namespace mirvane {

// "game.mem" (any case of "mem") becomes "game.mcd"; any other path gets
// ".mcd" appended. The path is otherwise kept exactly as given.
std::string DeriveOutputName(const std::string& SourcePath);

}  // namespace mirvane
