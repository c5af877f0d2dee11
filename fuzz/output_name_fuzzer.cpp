// The proposed name: a path ending in ".mem", in any case, gets "mcd" in
// place of "mem"; any other path gets ".mcd" appended; nothing else changes.
// Which paths end in ".mem" is told by the spellings below, written out.
#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>

#include "output_name.h"
#include "require.h"

using mirvane::fuzz::Require;

namespace {

constexpr std::string_view kMemSpellings[] = {".mem", ".meM", ".mEm", ".mEM",
                                              ".Mem", ".MeM", ".MEm", ".MEM"};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* Data, std::size_t Size) {
  const std::string Path(reinterpret_cast<const char*>(Data), Size);
  const std::string Proposed = mirvane::DeriveOutputName(Path);
  Require(Proposed.ends_with("mcd"), "the name ends in mcd");
  if (std::any_of(std::begin(kMemSpellings), std::end(kMemSpellings),
                  [&](std::string_view Spelling) { return Path.ends_with(Spelling); })) {
    Require(Proposed.size() == Path.size() && Path.starts_with(Proposed.substr(0, Size - 3)),
            "a .mem name keeps all but its last three characters");
  } else {
    Require(Proposed == Path + ".mcd", "any other name gets .mcd appended");
  }
  return 0;
}
