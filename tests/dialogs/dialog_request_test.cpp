#include "dialog_request.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "chosen_path.h"

namespace mirvane {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

using namespace std::string_literals;

constexpr char kCardFilter[] = "VGS Memory Card (*.mem)|*.mem|All files (*.*)|*.*";
constexpr char kDestinationFilter[] = "Bleem Memory Cards (*.mcd)|*.mcd";

TEST(FilterToApi, TurnsBarsIntoTheNulSeparatedList) {
  EXPECT_EQ(FilterToApi(kCardFilter), "VGS Memory Card (*.mem)\0*.mem\0All files (*.*)\0*.*\0"s);
  EXPECT_EQ(FilterToApi(kDestinationFilter), "Bleem Memory Cards (*.mcd)\0*.mcd\0"s);
  EXPECT_EQ(FilterToApi("Cards|*.mcd|"), "Cards\0*.mcd\0"s);
  EXPECT_EQ(FilterToApi(""), "\0"s);
}

TEST(FileTypesOf, ListsTheTypesInOrder) {
  EXPECT_THAT(FileTypesOf(kCardFilter), ElementsAre(FileType{"VGS Memory Card (*.mem)", "*.mem"},
                                                    FileType{"All files (*.*)", "*.*"}));
  EXPECT_THAT(FileTypesOf(kDestinationFilter),
              ElementsAre(FileType{"Bleem Memory Cards (*.mcd)", "*.mcd"}));
  EXPECT_THAT(FileTypesOf("Cards|*.mcd|"), ElementsAre(FileType{"Cards", "*.mcd"}));
  EXPECT_THAT(FileTypesOf(""), IsEmpty());
  EXPECT_THAT(FileTypesOf("Cards|*.mcd|Orphan"), ElementsAre(FileType{"Cards", "*.mcd"}));
}

TEST(OpenRequest, AsksForAnExistingFileWithoutAReadOnlyBox) {
  const DialogRequest Request = OpenRequest(kCardFilter, "Select a memory card", "c:\\");
  EXPECT_EQ(Request.Kind, DialogKind::Open);
  EXPECT_EQ(Request.Title, "Select a memory card");
  EXPECT_EQ(Request.InitialFolder, "c:\\");
  EXPECT_EQ(Request.FileTypes.size(), 2u);
  EXPECT_THAT(Request.ProposedName, IsEmpty());
  EXPECT_TRUE(Request.FileMustExist);
  EXPECT_TRUE(Request.HideReadOnly);
  EXPECT_FALSE(Request.CreatePrompt);
  EXPECT_FALSE(Request.OverwritePrompt);
}

TEST(SaveRequest, ConfirmsCreatingAndReplacingAndProposesTheName) {
  const DialogRequest Request =
      SaveRequest(kDestinationFilter, "Save Bleem Memory Card", "C:\\a\\g.mcd", "C:\\a\\g.mcd");
  EXPECT_EQ(Request.Kind, DialogKind::Save);
  EXPECT_EQ(Request.ProposedName, "C:\\a\\g.mcd");
  EXPECT_EQ(Request.InitialFolder, "C:\\a\\g.mcd");
  EXPECT_FALSE(Request.FileMustExist);
  EXPECT_TRUE(Request.HideReadOnly);
  EXPECT_TRUE(Request.CreatePrompt);
  EXPECT_TRUE(Request.OverwritePrompt);
}

// A name longer than a name field of 254 characters is proposed as its file
// name in its folder, and not at all when the file name alone is longer: a
// name cut short names another file.
TEST(FitProposal, ProposesALongPathAsItsFolderAndItsNameButNeverCutsIt) {
  const auto Repeat = [](const std::string& Character, std::size_t Count) {
    std::string Text;
    for (std::size_t I = 0; I < Count; ++I) Text += Character;
    return Text;
  };
  const std::string Ka = "\xE3\x82\xAB";  // U+30AB, 3 bytes
  const std::string Root = std::string(1, std::filesystem::path::preferred_separator);
  const std::string Deep = Root + Repeat("a", 200) + Root;
  const struct {
    std::string Path, Folder, Name;
  } Cases[] = {
      {Repeat(Ka, 254), "C:\\in", Repeat(Ka, 254)},
      {Deep + Repeat("b", 60) + ".mcd", Deep, Repeat("b", 60) + ".mcd"},
      {Root + "f" + Root + Repeat(Ka, 250) + ".mcd", Root + "f" + Root, Repeat(Ka, 250) + ".mcd"},
      {Root + "f" + Root + Repeat("b", 251) + ".mcd", Root + "f" + Root, ""},
      {Repeat(Ka, 255), "C:\\in", ""},
  };
  for (const auto& Case : Cases) {
    DialogRequest Request = SaveRequest(kDestinationFilter, "", "C:\\in", Case.Path);
    EXPECT_EQ(Request.ProposedName, Case.Path) << "proposed whole";
    FitProposal(Request, 254);
    EXPECT_EQ(Request.InitialFolder, Case.Folder) << Case.Path;
    EXPECT_EQ(Request.ProposedName, Case.Name) << Case.Path;
  }
}

TEST(ChosenPath, TakesTheTextBeforeTheFirstNulWithoutBlanks) {
  std::string Buffer(254, ' ');
  Buffer.replace(0, 8, "C:\\a.mcd");
  Buffer[8] = '\0';  // what the dialog writes after a short name chosen over a longer one
  EXPECT_EQ(ChosenPath(Buffer + '\0'), "C:\\a.mcd");
  EXPECT_EQ(ChosenPath("  C:\\my card.mcd  \0junk"s), "C:\\my card.mcd");
  EXPECT_EQ(ChosenPath("C:\\no terminator.mcd"), "C:\\no terminator.mcd");
  EXPECT_EQ(ChosenPath(std::string(254, ' ')), "");
}

}  // namespace
}  // namespace mirvane
