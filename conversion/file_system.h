// The file operations of a conversion. Paths are UTF-8 text used exactly as
// given, on every system and whatever the ANSI code page of Windows. Each
// operation says whether it worked; none of them shows anything to the user.
#pragma once

#include <cstddef>
#include <span>
#include <string>

namespace mirvane {

// The whole content of one file, held in one block that the read fills in
// place (the system hands the block out zeroed, and nothing else writes to
// it first) and that is written out from where it lies.
class FileContent {
 public:
  FileContent() = default;
  ~FileContent() { Clear(); }
  FileContent(const FileContent&) = delete;
  FileContent& operator=(const FileContent&) = delete;

  // Makes room for Size bytes, dropping what was held; false when the memory
  // cannot be had. The byte at AlignedOffset starts a memory page, so that
  // what follows it can go to the disk straight from memory.
  bool Allocate(std::size_t Size, std::size_t AlignedOffset = 0);
  void Clear();

  unsigned char* Data() { return Data_; }
  std::size_t Size() const { return Size_; }
  std::span<const unsigned char> Bytes() const { return {Data_, Size_}; }

 private:
  unsigned char* Data_ = nullptr;
  std::size_t Size_ = 0;
  std::size_t Pad_ = 0;  // unused bytes before Data_ in the block
};

// True when Path names a file whose length can be read and is above zero.
// Empty text, a folder, a missing file or a bad name all give false.
bool FileExists(const std::string& Path);

// Reads the file at Path whole, at the length it has when opened, but only
// if it begins with Lead: a file that does not fails once its first
// Lead.size() bytes are read, before memory is taken for the rest. The bytes
// after the lead start a memory page. On any failure (cannot open, different
// lead, short read, too large for memory) Content is left empty.
bool ReadWholeFileIfLeadMatches(const std::string& Path, std::span<const unsigned char> Lead,
                                FileContent& Content);

// Puts Bytes in place of the file at Path in one step: the bytes go to a new
// file in the same folder and reach the disk before that file takes Path's
// name, renamed over the old file or, for a new card, renamed or (on Linux,
// written without a name) linked there. A read-only file or a folder at Path
// is never replaced. On failure Path is left as it was and no temporary file
// stays, except where ReplaceFileW (Windows) removed the old file and neither
// it nor a second try put the new one in place: that file, the only copy of
// the new card, is kept and named in Stranded (a full path) when given.
bool ReplaceFileWith(const std::string& Path, std::span<const unsigned char> Bytes,
                     std::string* Stranded = nullptr);

}  // namespace mirvane
