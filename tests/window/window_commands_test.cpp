// The three commands over a stand-in window that records every call.
#include "window_commands.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <vector>

#include "scratch_folder.h"

namespace mirvane {
namespace {

using testing::Bytes;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using testing::MakeCard;
using testing::Pattern;
using testing::ReadBytes;
using testing::ScratchFolder;
using testing::WriteBytes;

struct DialogCall {
  std::string Filter, Title, InitDir, DefaultFilename;
  bool operator==(const DialogCall&) const = default;
};

class FakeWindow : public MainWindowPort {
 public:
  std::string PathText() const override { return Path; }
  void SetPathText(const std::string& Text) override { Path = Text; }
  std::string OpenDialog(const std::string& Filter, const std::string& Title,
                         const std::string& InitDir) override {
    OpenCalls.push_back({Filter, Title, InitDir, ""});
    return OpenAnswer;
  }
  std::string SaveDialog(const std::string& Filter, const std::string& Title,
                         const std::string& InitDir, const std::string& DefaultFilename) override {
    SaveCalls.push_back({Filter, Title, InitDir, DefaultFilename});
    return SaveAnswer;
  }
  void Inform(const std::string& Text) override { Messages.push_back(Text); }
  void OpenAddress(const std::string& Address) override { Addresses.push_back(Address); }

  std::string Path, OpenAnswer, SaveAnswer;
  std::vector<DialogCall> OpenCalls, SaveCalls;
  std::vector<std::string> Messages, Addresses;
};

const DialogCall kBrowse{"VGS Memory Card (*.mem)|*.mem|All files (*.*)|*.*",
                         "Select a memory card", "c:\\", ""};

TEST(btnSource_Click, PutsTheChosenPathInTheBoxAndEmptiesItOnCancel) {
  FakeWindow Form;
  Form.Path = "old text";
  Form.OpenAnswer = "/cards/game.mem";
  btnSource_Click(Form);
  EXPECT_EQ(Form.Path, "/cards/game.mem");
  Form.OpenAnswer = "";
  btnSource_Click(Form);
  EXPECT_EQ(Form.Path, "");
  EXPECT_THAT(Form.OpenCalls, ElementsAre(kBrowse, kBrowse));
}

TEST(btnStart_Click, WithoutASourceBrowsesAndConvertsNothing) {
  ScratchFolder Folder;
  const std::string Card = Folder.PathOf("game.mem");
  WriteBytes(Card, MakeCard(Pattern(100)));
  FakeWindow Form;
  Form.OpenAnswer = Card;
  Form.SaveAnswer = Folder.PathOf("game.mcd");
  btnStart_Click(Form);
  EXPECT_THAT(Form.OpenCalls, ElementsAre(kBrowse));
  EXPECT_EQ(Form.Path, Card);
  EXPECT_THAT(Form.SaveCalls, IsEmpty());
  EXPECT_THAT(Folder.Names(), ElementsAre("game.mem"));
}

TEST(btnStart_Click, TellsOfAWrongFileInTheWindowsInformationBox) {
  ScratchFolder Folder;
  WriteBytes(Folder.PathOf("notes.txt"), Pattern(200));
  FakeWindow Form;
  Form.Path = Folder.PathOf("notes.txt");
  btnStart_Click(Form);
  EXPECT_THAT(Form.Messages, ElementsAre("File is in a wrong format."));
  EXPECT_THAT(Form.SaveCalls, IsEmpty());
}

TEST(btnStart_Click, SavesTheBodyWhereTheSaveDialogSays) {
  ScratchFolder Folder;
  const Bytes Body = Pattern(5000);
  WriteBytes(Folder.PathOf("game.mem"), MakeCard(Body));
  FakeWindow Form;
  Form.Path = Folder.PathOf("game.mem");
  Form.SaveAnswer = Folder.PathOf("chosen.mcd");
  btnStart_Click(Form);
  const std::string Proposed = Folder.PathOf("game.mcd");
  EXPECT_THAT(Form.SaveCalls,
              ElementsAre(DialogCall{"Bleem Memory Cards (*.mcd)|*.mcd", "Save Bleem Memory Card",
                                     Proposed, Proposed}));
  EXPECT_EQ(ReadBytes(Folder.PathOf("chosen.mcd")), Body);
  EXPECT_THAT(Form.Messages, IsEmpty());
  EXPECT_EQ(Form.Path, Folder.PathOf("game.mem")) << "the path box keeps its text";
}

TEST(RunCommand, RunsTheCommandTheTableBindsToAClick) {
  FakeWindow Form;
  Form.Path = "kept";
  RunCommand(Command::None, Form);
  EXPECT_EQ(Form.Path, "kept");
  RunCommand(ControlNamed("Label2").Click, Form);
  EXPECT_THAT(Form.Addresses, ElementsAre(kHomePageAddress));
  RunCommand(ControlNamed("btnSource").Click, Form);
  EXPECT_THAT(Form.OpenCalls, ElementsAre(kBrowse));
  EXPECT_EQ(Form.Path, "");
  Form.OpenAnswer = "chosen";
  RunCommand(ControlNamed("btnStart").Click, Form);  // no source yet: browses
  EXPECT_THAT(Form.OpenCalls, ElementsAre(kBrowse, kBrowse));
  EXPECT_EQ(Form.Path, "chosen");
}

TEST(Label2_Click, OpensTheHomePage) {
  FakeWindow Form;
  Label2_Click(Form);
  EXPECT_THAT(Form.Addresses, ElementsAre(kHomePageAddress));
  EXPECT_THAT(std::string(kHomePageAddress), ::testing::StartsWith("https://"));
}

}  // namespace
}  // namespace mirvane
