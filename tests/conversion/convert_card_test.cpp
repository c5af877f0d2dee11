#include "convert_card.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "scratch_folder.h"
#include "scripted_caller.h"

namespace mirvane {
namespace {

using testing::Bytes;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using testing::MakeCard;
using testing::Pattern;
using testing::ReadBytes;
using testing::ScratchFolder;
using testing::ScriptedCaller;
using testing::WriteBytes;

class ConvertCardTest : public ::testing::Test {
 protected:
  ScratchFolder Folder;
};

// Without a usable source the Browse command runs instead and nothing else.
TEST_F(ConvertCardTest, AsksForASourceWhenThereIsNoUsableFile) {
  WriteBytes(Folder.PathOf("empty.mem"), {});
  const std::string Paths[] = {"", Folder.PathOf("missing.mem"), Folder.PathOf("empty.mem"),
                               Folder.Root().string()};
  for (const std::string& Path : Paths) {
    ScriptedCaller Caller(Folder.PathOf("out.mcd"));
    ConvertCard(Path, Caller);
    EXPECT_EQ(Caller.SourceRequests, 1) << Path;
    EXPECT_THAT(Caller.Messages, IsEmpty()) << Path;
    EXPECT_THAT(Caller.SaveDialogs, IsEmpty()) << Path;
  }
  EXPECT_THAT(Folder.Names(), ElementsAre("empty.mem"));
}

TEST_F(ConvertCardTest, RefusesAFileWithoutTheHeader) {
  Bytes Lowercase = MakeCard(Pattern(100));
  Lowercase[0] = 0x76;
  Bytes Short = MakeCard({});
  Short.pop_back();
  WriteBytes(Folder.PathOf("lower.mem"), Lowercase);
  WriteBytes(Folder.PathOf("short.mem"), Short);
  for (const char* Name : {"lower.mem", "short.mem"}) {
    ScriptedCaller Caller(Folder.PathOf("out.mcd"));
    ConvertCard(Folder.PathOf(Name), Caller);
    EXPECT_THAT(Caller.Messages, ElementsAre("File is in a wrong format.")) << Name;
    EXPECT_THAT(Caller.SaveDialogs, IsEmpty()) << Name;
    EXPECT_EQ(Caller.SourceRequests, 0) << Name;
  }
  EXPECT_THAT(Folder.Names(), ElementsAre("lower.mem", "short.mem"));
}

TEST_F(ConvertCardTest, WritesExactlyTheBodyUnderTheChosenName) {
  const Bytes Body = Pattern(128 * 1024 + 3);
  WriteBytes(Folder.PathOf("game.MEM"), MakeCard(Body));
  ScriptedCaller Caller(Folder.PathOf("chosen"));
  ConvertCard(Folder.PathOf("game.MEM"), Caller);

  ASSERT_EQ(Caller.SaveDialogs.size(), 1u);
  const auto& Dialog = Caller.SaveDialogs[0];
  EXPECT_EQ(Dialog.Filter, "Bleem Memory Cards (*.mcd)|*.mcd");
  EXPECT_EQ(Dialog.Title, "Save Bleem Memory Card");
  EXPECT_EQ(Dialog.InitDir, Folder.PathOf("game.mcd"));
  EXPECT_EQ(Dialog.DefaultFilename, Folder.PathOf("game.mcd"));
  EXPECT_THAT(Caller.Messages, IsEmpty());
  EXPECT_EQ(ReadBytes(Folder.PathOf("chosen")), Body);
  EXPECT_THAT(Folder.Names(), ElementsAre("chosen", "game.MEM"));
}

TEST_F(ConvertCardTest, ABareHeaderGivesAnEmptyCard) {
  WriteBytes(Folder.PathOf("bare.mem"), MakeCard({}));
  ScriptedCaller Caller(Folder.PathOf("bare.mcd"));
  ConvertCard(Folder.PathOf("bare.mem"), Caller);
  EXPECT_THAT(Caller.Messages, IsEmpty());
  EXPECT_THAT(Folder.Names(), ElementsAre("bare.mcd", "bare.mem"));
  EXPECT_THAT(ReadBytes(Folder.PathOf("bare.mcd")), IsEmpty());
}

TEST_F(ConvertCardTest, CancellingTheSaveDialogWritesAndShowsNothing) {
  const Bytes Source = MakeCard(Pattern(64));
  WriteBytes(Folder.PathOf("game.mem"), Source);
  WriteBytes(Folder.PathOf("game.mcd"), Pattern(10, 9));
  ScriptedCaller Caller("");
  ConvertCard(Folder.PathOf("game.mem"), Caller);
  EXPECT_EQ(Caller.SaveDialogs.size(), 1u);
  EXPECT_THAT(Caller.Messages, IsEmpty());
  EXPECT_THAT(Folder.Names(), ElementsAre("game.mcd", "game.mem"));
  EXPECT_EQ(ReadBytes(Folder.PathOf("game.mcd")), Pattern(10, 9));
  EXPECT_EQ(ReadBytes(Folder.PathOf("game.mem")), Source);
}

TEST_F(ConvertCardTest, ReplacesALongerExistingCardWithoutKeepingItsTail) {
  const Bytes Body = Pattern(1000);
  WriteBytes(Folder.PathOf("game.mem"), MakeCard(Body));
  WriteBytes(Folder.PathOf("game.mcd"), Pattern(50000, 5));
  ScriptedCaller Caller(Folder.PathOf("game.mcd"));
  ConvertCard(Folder.PathOf("game.mem"), Caller);
  EXPECT_THAT(Caller.Messages, IsEmpty());
  EXPECT_EQ(ReadBytes(Folder.PathOf("game.mcd")), Body);
  EXPECT_THAT(Folder.Names(), ElementsAre("game.mcd", "game.mem"));
}

TEST_F(ConvertCardTest, ChoosingTheSourceItselfReplacesItWithItsBody) {
  const Bytes Body = Pattern(4096, 3);
  WriteBytes(Folder.PathOf("game.mem"), MakeCard(Body));
  ScriptedCaller Caller(Folder.PathOf("game.mem"));
  ConvertCard(Folder.PathOf("game.mem"), Caller);
  EXPECT_THAT(Caller.Messages, IsEmpty());
  EXPECT_EQ(ReadBytes(Folder.PathOf("game.mem")), Body);
  EXPECT_THAT(Folder.Names(), ElementsAre("game.mem"));
}

TEST_F(ConvertCardTest, AFolderAsDestinationIsLeftAloneAndTheUserIsTold) {
  WriteBytes(Folder.PathOf("game.mem"), MakeCard(Pattern(300)));
  std::filesystem::create_directory(Folder.Root() / "game.mcd");
  ScriptedCaller Caller(Folder.PathOf("game.mcd"));
  ConvertCard(Folder.PathOf("game.mem"), Caller);
  EXPECT_THAT(Caller.Messages, ElementsAre("The memory card could not be saved."));
  EXPECT_TRUE(std::filesystem::is_directory(Folder.Root() / "game.mcd"));
  EXPECT_THAT(Folder.Names(), ElementsAre("game.mcd", "game.mem"));
}

TEST_F(ConvertCardTest, ADestinationInAMissingFolderIsReportedAsNotSaved) {
  WriteBytes(Folder.PathOf("game.mem"), MakeCard(Pattern(300)));
  ScriptedCaller Caller(Folder.PathOf("no-such-folder/game.mcd"));
  ConvertCard(Folder.PathOf("game.mem"), Caller);
  EXPECT_THAT(Caller.Messages, ElementsAre("The memory card could not be saved."));
  EXPECT_THAT(Folder.Names(), ElementsAre("game.mem"));
}

}  // namespace
}  // namespace mirvane
