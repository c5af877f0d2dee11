// What the portable read in file_system.cpp asks of each system's own calls.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace mirvane {

// Memory pages: what the system hands out, and what direct I/O aligns to.
inline constexpr std::size_t kPageSize = 4096;

// A regular file open for reading, closed when it goes.
class SourceFile {
 public:
  explicit SourceFile(const std::string& Path);
  ~SourceFile();
  SourceFile(const SourceFile&) = delete;
  SourceFile& operator=(const SourceFile&) = delete;

  // Its length when opened; none when it did not open or the system cannot tell.
  std::optional<std::uint64_t> Length() const { return Length_; }
  // The next Size bytes into Data, over Read (file_system.cpp); false if short.
  bool ReadAll(unsigned char* Data, std::size_t Size) const;
  // Up to Size next bytes into Data: how many, none on an error or at the end.
  std::size_t Read(unsigned char* Data, std::size_t Size) const;

 private:
  std::intptr_t Handle_ = -1;  // the descriptor or HANDLE; -1 is neither
  std::optional<std::uint64_t> Length_;
};

// Size bytes of zeroed whole pages, or nullptr when the memory cannot be had.
void* AllocatePages(std::size_t Size);
void FreePages(void* Block, std::size_t Size);

}  // namespace mirvane
