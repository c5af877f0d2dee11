// Sources that are not regular files: reading one must never wait, and the
// Convert command calls it a wrong format.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <future>

#include "card_header.h"
#include "convert_card.h"
#include "file_system.h"
#include "mounted_folder_posix.h"
#include "scratch_folder.h"
#include "scripted_caller.h"

namespace mirvane {
namespace {

using ::testing::ElementsAre;
using testing::FileSystemKind;
using testing::MountedFolder;
using testing::RunQuietly;
using testing::ScratchFolder;
using testing::ScriptedCaller;

// Runs Work on another thread. Work that still waits on the FIFO after a
// limit no working read comes near is let go by a writer at the other end,
// and counts as having waited.
bool FinishesWithoutWaiting(const std::string& Fifo, const std::function<void()>& Work) {
  auto Done = std::async(std::launch::async, Work);
  if (Done.wait_for(std::chrono::seconds(20)) == std::future_status::ready) return true;
  ::close(::open(Fifo.c_str(), O_WRONLY | O_NONBLOCK));
  Done.wait();
  return false;
}

TEST(ReadWholeFileIfLeadMatches, RefusesAFifoWithoutWaitingForAWriter) {
  ScratchFolder Folder;
  const std::string Fifo = Folder.PathOf("card.mem");
  ASSERT_EQ(::mkfifo(Fifo.c_str(), 0644), 0);
  bool Read = true;
  FileContent Content;
  EXPECT_TRUE(FinishesWithoutWaiting(
      Fifo, [&] { Read = ReadWholeFileIfLeadMatches(Fifo, CardHeaderSignature(), Content); }));
  EXPECT_FALSE(Read);
  EXPECT_EQ(Content.Size(), 0u);
}

// A FIFO whose length field says 4096 bytes, written into an ext4 image:
// FileExists takes it for a file, so the Convert command goes on to read it.
TEST(ConvertCard, AFifoThatClaimsALengthIsAWrongFormat) {
  const auto MakeFifo = [](const std::string& Image) {
    return RunQuietly("debugfs -w -R 'mknod card.mem p' '" + Image + "'") &&
           RunQuietly("debugfs -w -R 'sif card.mem size 4096' '" + Image + "'") &&
           RunQuietly("debugfs -w -R 'sif card.mem mode 010644' '" + Image + "'");
  };
  MountedFolder Disk(FileSystemKind::Ext4Image, 4 << 20, MakeFifo);
  if (!Disk.Mounted() && ::geteuid() != 0) GTEST_SKIP() << Disk.Why();
  ASSERT_TRUE(Disk.Mounted()) << Disk.Why();
  const std::string Fifo = Disk.PathOf("card.mem");
  ASSERT_TRUE(FileExists(Fifo));

  ScriptedCaller Caller(Disk.PathOf("card.mcd"));
  EXPECT_TRUE(FinishesWithoutWaiting(Fifo, [&] { ConvertCard(Fifo, Caller); }));
  EXPECT_EQ(Caller.SourceRequests, 0);
  EXPECT_THAT(Caller.Messages, ElementsAre(kWrongFormatText));
  EXPECT_THAT(Disk.Names(), ElementsAre("card.mem", "lost+found"));
}

}  // namespace
}  // namespace mirvane
