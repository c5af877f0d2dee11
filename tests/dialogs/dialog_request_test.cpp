#include "dialog_request.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

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

TEST(SaveRequest, CutsALongProposedNameTo254Characters) {
  const std::string Long = "C:\\" + std::string(297, 'x');
  EXPECT_EQ(SaveRequest(kDestinationFilter, "", "", Long).ProposedName, Long.substr(0, 254));
  EXPECT_EQ(SaveRequest(kDestinationFilter, "", "", Long.substr(0, 254)).ProposedName,
            Long.substr(0, 254));
}

TEST(SaveRequest, CountsTheProposedNameInUtf8CharactersAndNeverCutsOne) {
  const auto Repeat = [](const std::string& Character, std::size_t Count) {
    std::string Text;
    for (std::size_t I = 0; I < Count; ++I) Text += Character;
    return Text;
  };
  const std::string Ka = "\xE3\x82\xAB";  // U+30AB, 3 bytes
  EXPECT_EQ(SaveRequest(kDestinationFilter, "", "", Repeat(Ka, 300)).ProposedName, Repeat(Ka, 254));
  EXPECT_EQ(SaveRequest(kDestinationFilter, "", "", Repeat("x", 253) + Repeat(Ka, 2)).ProposedName,
            Repeat("x", 253) + Ka);
  const std::string Clef = "\xF0\x9D\x84\x9E";  // U+1D11E, 4 bytes
  EXPECT_EQ(SaveRequest(kDestinationFilter, "", "", Repeat(Clef, 255)).ProposedName,
            Repeat(Clef, 254));
}

TEST(DialogResult, TakesTheTextBeforeTheFirstNulAsItIs) {
  std::string Buffer(254, ' ');
  Buffer.replace(0, 8, "C:\\a.mcd");
  Buffer[8] = '\0';  // what the dialog writes after a short name chosen over a longer one
  EXPECT_EQ(DialogResult(true, Buffer + '\0'), "C:\\a.mcd");
  EXPECT_EQ(DialogResult(true, "/home/u/ card.mcd \0junk"s), "/home/u/ card.mcd ");
  EXPECT_EQ(DialogResult(true, "C:\\no terminator.mcd"), "C:\\no terminator.mcd");
  EXPECT_EQ(DialogResult(false, "C:\\a.mcd"), "");
}

}  // namespace
}  // namespace mirvane
