// The proposed name: a path ending in ".mem", in any case, gets "mcd" in
// place of "mem"; any other path gets ".mcd" appended; nothing else changes.
#include <algorithm>
#include <cstddef>
#include <string>

#include "output_name.h"
#include "require.h"

using mirvane::fuzz::Require;

namespace {

bool EndsWithMem(const std::string& Path) {
  if (Path.size() < 4) return false;
  std::string Tail = Path.substr(Path.size() - 4);
  std::transform(Tail.begin(), Tail.end(), Tail.begin(),
                 [](char C) { return (C >= 'A' && C <= 'Z') ? char(C - 'A' + 'a') : C; });
  return Tail == ".mem";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* Data, std::size_t Size) {
  const std::string Path(reinterpret_cast<const char*>(Data), Size);
  const std::string Proposed = mirvane::DeriveOutputName(Path);
  if (EndsWithMem(Path)) {
    Require(Proposed == Path.substr(0, Path.size() - 3) + "mcd", "a .mem name becomes .mcd");
  } else {
    Require(Proposed == Path + ".mcd", "any other name gets .mcd appended");
  }
  return 0;
}
