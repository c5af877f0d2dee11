// Faults that only the operating system can cause, on Windows.
#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "convert_card.h"
#include "scratch_folder.h"
#include "scripted_caller.h"

namespace mirvane {
namespace {

using ::testing::ElementsAre;
using testing::MakeCard;
using testing::Pattern;
using testing::ReadBytes;
using testing::ScratchFolder;
using testing::ScriptedCaller;
using testing::WriteBytes;

TEST(FileFaultTest, AReadOnlyCardIsNotReplaced) {
  ScratchFolder Folder;
  const std::string Source = Folder.PathOf("game.mem"), Destination = Folder.PathOf("game.mcd");
  WriteBytes(Source, MakeCard(Pattern(4096, 1)));
  WriteBytes(Destination, Pattern(9000, 2));
  ASSERT_TRUE(::SetFileAttributesA(Destination.c_str(), FILE_ATTRIBUTE_READONLY));

  ScriptedCaller Caller(Destination);
  ConvertCard(Source, Caller);

  EXPECT_THAT(Caller.Messages, ElementsAre(kNotSavedText));
  EXPECT_EQ(ReadBytes(Destination), Pattern(9000, 2));
  EXPECT_THAT(Folder.Names(), ElementsAre("game.mcd", "game.mem"));
  ::SetFileAttributesA(Destination.c_str(), FILE_ATTRIBUTE_NORMAL);
}

}  // namespace
}  // namespace mirvane
