#include "file_system.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <vector>

#include "scratch_folder.h"

namespace mirvane {
namespace {

using testing::Bytes;
using ::testing::ElementsAre;
using testing::Pattern;
using testing::ReadBytes;
using testing::ScratchFolder;
using testing::WriteBytes;

Bytes Held(const FileContent& Content) {
  return Bytes(Content.Bytes().begin(), Content.Bytes().end());
}

TEST(FileExists, NeedsAFileOfAtLeastOneByte) {
  ScratchFolder Folder;
  WriteBytes(Folder.PathOf("one"), {0x00});
  WriteBytes(Folder.PathOf("empty"), {});
  EXPECT_TRUE(FileExists(Folder.PathOf("one")));
  EXPECT_FALSE(FileExists(Folder.PathOf("empty")));
  EXPECT_FALSE(FileExists(Folder.PathOf("missing")));
  EXPECT_FALSE(FileExists(Folder.Root().string()));
  EXPECT_FALSE(FileExists(""));
  EXPECT_FALSE(FileExists(Folder.PathOf("one") + "\n"));
}

TEST(ReadWholeFileIfLeadMatches, ReadsEveryByte) {
  ScratchFolder Folder;
  const Bytes Content = Pattern(3 * 1024 * 1024 + 17);
  WriteBytes(Folder.PathOf("big"), Content);
  FileContent Read;
  ASSERT_TRUE(ReadWholeFileIfLeadMatches(Folder.PathOf("big"), {}, Read));
  EXPECT_EQ(Held(Read), Content);
}

TEST(ReadWholeFileIfLeadMatches, LeavesNothingBehindWhenTheFileIsGone) {
  ScratchFolder Folder;
  WriteBytes(Folder.PathOf("card.mem"), Pattern(100));
  FileContent Read;
  ASSERT_TRUE(ReadWholeFileIfLeadMatches(Folder.PathOf("card.mem"), {}, Read));
  // Removed after the existence check, before the next read.
  ASSERT_TRUE(FileExists(Folder.PathOf("card.mem")));
  std::filesystem::remove(Folder.PathOf("card.mem"));
  EXPECT_FALSE(ReadWholeFileIfLeadMatches(Folder.PathOf("card.mem"), {}, Read));
  EXPECT_EQ(Read.Size(), 0u);
  EXPECT_FALSE(ReadWholeFileIfLeadMatches(Folder.Root().string(), {}, Read));
  EXPECT_EQ(Read.Size(), 0u);
}

// The lead is checked before the rest is read: a sparse file far larger than
// memory that does not begin with it is refused, not read.
TEST(ReadWholeFileIfLeadMatches, ReadsOnlyAFileThatBeginsWithTheLead) {
  ScratchFolder Folder;
  const Bytes Lead = {0x56, 0x67, 0x73, 0x4D};
  const Bytes Card = {0x56, 0x67, 0x73, 0x4D, 1, 2, 3};
  WriteBytes(Folder.PathOf("card"), Card);
  WriteBytes(Folder.PathOf("other"), {0x56, 0x67, 0x73, 0x4E, 1, 2, 3});
  WriteBytes(Folder.PathOf("short"), {0x56, 0x67, 0x73});
  WriteBytes(Folder.PathOf("huge"), {0x00});
  std::filesystem::resize_file(Folder.PathOf("huge"), 1ull << 34);

  FileContent Read;
  ASSERT_TRUE(ReadWholeFileIfLeadMatches(Folder.PathOf("card"), Lead, Read));
  EXPECT_EQ(Held(Read), Card);
  for (const char* Name : {"other", "short", "huge"}) {
    EXPECT_FALSE(ReadWholeFileIfLeadMatches(Folder.PathOf(Name), Lead, Read)) << Name;
    EXPECT_EQ(Read.Size(), 0u) << Name;
  }
}

TEST(FileContent, PutsTheAlignedOffsetOnAPageBoundary) {
  FileContent Content;
  for (const std::size_t Offset : {0u, 1u, 64u, 4095u, 4096u, 5000u}) {
    ASSERT_TRUE(Content.Allocate(10000, Offset));
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(Content.Data() + Offset) % 4096, 0u) << Offset;
  }
}

TEST(FileContent, RefusesASizeNoMemoryCanHold) {
  FileContent Content;
  EXPECT_FALSE(Content.Allocate(std::numeric_limits<std::size_t>::max() - 4096));
  EXPECT_EQ(Content.Size(), 0u);
  EXPECT_TRUE(Content.Allocate(10));
  EXPECT_EQ(Content.Size(), 10u);
}

// A 32-bit process cannot hold 3 GiB: such a source counts as unreadable.
// (A 64-bit one could, so there the test would only cost time and memory.)
TEST(ReadWholeFileIfLeadMatches, FailsCleanlyOnASourceTooLargeForMemory) {
  if (sizeof(void*) != 4) GTEST_SKIP() << "only a 32-bit process runs out of address space";
  ScratchFolder Folder;
  const std::string Huge = Folder.PathOf("huge.mem");
  WriteBytes(Huge, {0x56});
  std::filesystem::resize_file(Huge, 3ull << 30);  // sparse: no disk space taken
  FileContent Read;
  EXPECT_FALSE(ReadWholeFileIfLeadMatches(Huge, {}, Read));
  EXPECT_EQ(Read.Size(), 0u);
}

TEST(ReplaceFileWith, CreatesOrReplacesWithExactlyTheBytes) {
  ScratchFolder Folder;
  const Bytes First = Pattern(5000, 1), Second = Pattern(20, 2);
  ASSERT_TRUE(ReplaceFileWith(Folder.PathOf("card.mcd"), First));
  EXPECT_EQ(ReadBytes(Folder.PathOf("card.mcd")), First);
  ASSERT_TRUE(ReplaceFileWith(Folder.PathOf("card.mcd"), Second));
  EXPECT_EQ(ReadBytes(Folder.PathOf("card.mcd")), Second);
  ASSERT_TRUE(ReplaceFileWith(Folder.PathOf("card.mcd"), {}));
  EXPECT_EQ(std::filesystem::file_size(Folder.PathOf("card.mcd")), 0u);
  EXPECT_THAT(Folder.Names(), ElementsAre("card.mcd"));
}

TEST(ReplaceFileWith, RefusesEmptyTextAndAFolder) {
  ScratchFolder Folder;
  std::filesystem::create_directory(Folder.Root() / "sub");
  EXPECT_FALSE(ReplaceFileWith("", Pattern(10)));
  EXPECT_FALSE(ReplaceFileWith(Folder.PathOf("sub"), Pattern(10)));
  EXPECT_TRUE(std::filesystem::is_directory(Folder.Root() / "sub"));
  EXPECT_THAT(Folder.Names(), ElementsAre("sub"));
}

}  // namespace
}  // namespace mirvane
