// The steps of reading a file that are the same on every system.
#include <algorithm>
#include <limits>
#include <vector>

#include "file_system.h"
#include "read_primitives.h"

namespace mirvane {

bool SourceFile::ReadAll(unsigned char* Data, std::size_t Size) const {
  while (Size > 0) {
    const std::size_t Got = Read(Data, Size);
    if (Got == 0) return false;  // an error, or the file shrank under us
    Data += Got;
    Size -= Got;
  }
  return true;
}

bool FileContent::Allocate(std::size_t Size, std::size_t AlignedOffset) {
  Clear();
  if (Size == 0) return true;
  // Padding the block's start by the rest of a page puts the byte at
  // AlignedOffset on a page boundary, as direct I/O wants it.
  const std::size_t Pad = (kPageSize - AlignedOffset % kPageSize) % kPageSize;
  if (Size > std::numeric_limits<std::size_t>::max() - Pad) return false;
  auto* Block = static_cast<unsigned char*>(AllocatePages(Pad + Size));
  if (Block == nullptr) return false;
  Data_ = Block + Pad;
  Size_ = Size;
  Pad_ = Pad;
  return true;
}

void FileContent::Clear() {
  if (Data_ != nullptr) FreePages(Data_ - Pad_, Pad_ + Size_);
  Data_ = nullptr;
  Size_ = 0;
  Pad_ = 0;
}

bool ReadWholeFileIfLeadMatches(const std::string& Path, std::span<const unsigned char> Lead,
                                FileContent& Content) {
  Content.Clear();
  const SourceFile File(Path);
  const std::optional<std::uint64_t> Length = File.Length();
  if (!Length || *Length > std::numeric_limits<std::size_t>::max()) return false;
  const auto Size = static_cast<std::size_t>(*Length);
  // The lead first, into a small buffer: a file of another kind is refused
  // before the memory for all of it is taken or the rest is read.
  std::vector<unsigned char> Head(Lead.size());
  if (Size < Head.size() || !File.ReadAll(Head.data(), Head.size()) ||
      !std::equal(Head.begin(), Head.end(), Lead.begin())) {
    return false;
  }
  if (!Content.Allocate(Size, Head.size())) return false;
  std::copy(Head.begin(), Head.end(), Content.Data());
  if (File.ReadAll(Content.Data() + Head.size(), Size - Head.size())) return true;
  Content.Clear();
  return false;
}

}  // namespace mirvane
