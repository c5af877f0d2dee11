// A folder of its own for one fuzz input, removed with everything in it when
// the input is done. It lies in memory (/dev/shm) where that exists, so that
// the writes and syncs of a conversion cost no disk time.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <string>
#include <system_error>

namespace mirvane::fuzz {

class ScratchFolder {
 public:
  ScratchFolder() {
    namespace fs = std::filesystem;
    std::error_code Error;
    const fs::path Memory = "/dev/shm";
    const fs::path Parent = fs::is_directory(Memory, Error) ? Memory : fs::temp_directory_path();
    std::string Template = (Parent / "mirvane-fuzz-XXXXXX").string();
    if (::mkdtemp(Template.data()) != nullptr) Root_ = Template;
  }
  ~ScratchFolder() {
    std::error_code Ignored;
    if (!Root_.empty()) std::filesystem::remove_all(Root_, Ignored);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  // Empty when no folder could be made.
  const std::filesystem::path& Root() const { return Root_; }

 private:
  std::filesystem::path Root_;
};

}  // namespace mirvane::fuzz
