// The Windows dialogs: the record that asks for them, field by field, and the
// real dialogs, shown and driven as a user would by a timer on the test's own
// thread.
#include "file_dialogs_win.h"

#include <dlgs.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cctype>
#include <cstddef>
#include <cwchar>
#include <filesystem>
#include <memory>

#include "scratch_folder.h"
#include "utf16_win.h"
#include "win_dialog_driver.h"
#include "windows_shown_win.h"

namespace mirvane {
namespace {

using testing::ComboItems;
using testing::ComboSelection;
using testing::DialogScript;
using ::testing::ElementsAre;
using testing::FileNameField;
using testing::FolderOf;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using testing::MessageText;
using testing::PressButton;
using testing::ScratchFolder;
using testing::SetText;
using testing::TextOf;
using testing::WriteBytes;

using namespace std::string_literals;
namespace fs = std::filesystem;

constexpr char kCardFilter[] = "VGS Memory Card (*.mem)|*.mem|All files (*.*)|*.*";
constexpr char kDestinationFilter[] = "Bleem Memory Cards (*.mcd)|*.mcd";

std::string Lower(std::string Text) {
  for (char& C : Text) C = char(std::tolower(static_cast<unsigned char>(C)));
  return Text;
}

// The list the record points at, up to and including its closing empty
// string, as UTF-8.
std::string FilterList(const wchar_t* List) {
  const wchar_t* End = List;
  while (*End != L'\0') End += std::wcslen(End) + 1;
  return Utf8({List, std::size_t(End + 1 - List)}, BadText::Refuse);
}

TEST(FileDialogRecord, OpenAsksForAnExistingFileFromBlankBuffers) {
  const HWND Owner = reinterpret_cast<HWND>(0x1234);
  const DialogRequest Request = OpenRequest(kCardFilter, "Select a memory card", "c:\\");
  FileDialogRecord Dialog;
  BuildFileDialogRecord(Request, Owner, DialogSystem::Windows, Dialog);
  const OPENFILENAMEW& R = Dialog.Record;

  // 76 bytes in the 32-bit program; the 64-bit build's record has wider pointers.
  const DWORD RecordSize = sizeof(void*) == 4 ? 76 : offsetof(OPENFILENAMEW, lpTemplateName) + 8;
  EXPECT_EQ(R.lStructSize, RecordSize);
  EXPECT_EQ(R.hwndOwner, Owner);
  EXPECT_EQ(R.hInstance, ::GetModuleHandleA(nullptr));
  EXPECT_EQ(FilterList(R.lpstrFilter), "VGS Memory Card (*.mem)\0*.mem\0All files (*.*)\0*.*\0\0"s);
  EXPECT_EQ(R.lpstrCustomFilter, nullptr);
  EXPECT_EQ(R.nMaxCustFilter, 0u);
  EXPECT_EQ(R.nFilterIndex, 0u);
  // Room for any path the system accepts, which is at most 32767 UTF-16 units.
  EXPECT_GE(R.nMaxFile, 32767u + 1);
  // 254 blanks, then nothing but NULs.
  const std::string Blanks = std::string(254, ' ') + std::string(R.nMaxFile - 254, '\0');
  EXPECT_EQ(Utf8({R.lpstrFile, R.nMaxFile}, BadText::Refuse), Blanks);
  EXPECT_EQ(R.nMaxFileTitle, R.nMaxFile);
  EXPECT_EQ(Utf8({R.lpstrFileTitle, R.nMaxFileTitle}, BadText::Refuse), Blanks);
  EXPECT_STREQ(R.lpstrInitialDir, L"c:\\");
  EXPECT_STREQ(R.lpstrTitle, L"Select a memory card");
  EXPECT_EQ(R.Flags, 4100u);
  EXPECT_EQ(R.nFileOffset, 0);
  EXPECT_EQ(R.nFileExtension, 0);
  EXPECT_EQ(R.lpstrDefExt, nullptr);
  EXPECT_EQ(R.lCustData, 0);
  EXPECT_EQ(R.lpfnHook, nullptr);
  EXPECT_EQ(R.lpTemplateName, nullptr);
}

TEST(FileDialogRecord, SaveProposesTheNameOverTheBlanksAndConfirmsBothWays) {
  std::string Long = "C:\\cards\\";
  for (int I = 0; I < 245; ++I) Long += "\xE3\x82\xAB";  // U+30AB: 254 characters in all
  const DialogRequest Request =
      SaveRequest(kDestinationFilter, "Save Bleem Memory Card", "C:\\cards\\g.mcd", Long);
  FileDialogRecord Dialog;
  BuildFileDialogRecord(Request, nullptr, DialogSystem::Windows, Dialog);
  const OPENFILENAMEW& R = Dialog.Record;

  EXPECT_EQ(R.Flags, 8198u);
  EXPECT_EQ(FilterList(R.lpstrFilter), "Bleem Memory Cards (*.mcd)\0*.mcd\0\0"s);
  EXPECT_EQ(Utf8({R.lpstrFile, R.nMaxFile}, BadText::Refuse),
            Long + std::string(R.nMaxFile - 254, '\0'));
  EXPECT_STREQ(R.lpstrInitialDir, L"C:\\cards\\g.mcd");
  EXPECT_STREQ(R.lpstrTitle, L"Save Bleem Memory Card");

  const DialogRequest Short = SaveRequest(kDestinationFilter, "", "", "C:\\g.mcd");
  for (const DialogSystem System : {DialogSystem::Windows, DialogSystem::Wine}) {
    BuildFileDialogRecord(Short, nullptr, System, Dialog);
    // Under Wine the name buffer starts with no blanks.
    const std::string Blanks(System == DialogSystem::Windows ? 246 : 0, ' ');
    EXPECT_EQ(Utf8({Dialog.Record.lpstrFile, Dialog.Record.nMaxFile}, BadText::Refuse),
              "C:\\g.mcd" + Blanks + std::string(Dialog.Record.nMaxFile - 8 - Blanks.size(), '\0'));
  }
}

// Real dialogs, owned by a window of the test and driven by a script.
class WinFileDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    MIRVANE_SKIP_WHERE_WINDOWS_CANNOT_SHOW();
    Owner = ::CreateWindowExA(0, "STATIC", "Owner", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr,
                              nullptr, ::GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(Owner, nullptr);
    Script = std::make_unique<DialogScript>(Owner);
  }
  void TearDown() override {
    if (Script == nullptr) return;  // skipped
    EXPECT_THAT(Script->Failures(), IsEmpty());
    EXPECT_TRUE(Script->Finished());
    Script.reset();
    ::DestroyWindow(Owner);
  }

  HWND Owner = nullptr;
  std::unique_ptr<DialogScript> Script;
  ScratchFolder Folder;
};

TEST_F(WinFileDialogTest, OpenShowsTitleTypesAndFolderAndCancelGivesNothing) {
  std::string Title, StartFolder;
  std::vector<std::string> Types;
  int Selected = -1;
  Script->OnDialog([&](HWND Dialog) {
    Title = TextOf(Dialog);
    Types = ComboItems(::GetDlgItem(Dialog, cmb1));
    Selected = ComboSelection(::GetDlgItem(Dialog, cmb1));
    StartFolder = FolderOf(Dialog);
    PressButton(Dialog, IDCANCEL);
  });
  EXPECT_EQ(OpenDialog(Owner, kCardFilter, "Select a memory card", "c:\\"), "");
  EXPECT_EQ(Title, "Select a memory card");
  EXPECT_THAT(Types, ElementsAre("VGS Memory Card (*.mem)", "All files (*.*)"));
  EXPECT_EQ(Selected, 0);
  EXPECT_EQ(Lower(StartFolder), "c:\\");
}

TEST_F(WinFileDialogTest, OpenRefusesAMissingFileAndReturnsAnExistingOneExactly) {
  const std::string Card = Folder.PathOf("game.mem");
  WriteBytes(Card, {1, 2, 3});
  std::string Prompt, NameAfterRefusal;
  Script
      ->OnDialog([&](HWND Dialog) {
        SetText(FileNameField(Dialog), Folder.PathOf("missing.mem"));
        PressButton(Dialog, IDOK);
      })
      .OnPrompt([&](HWND Box) {
        Prompt = MessageText(Box);
        PressButton(Box, IDOK);
      })
      .OnDialog([&](HWND Dialog) {
        NameAfterRefusal = TextOf(FileNameField(Dialog));
        SetText(FileNameField(Dialog), Card);
        PressButton(Dialog, IDOK);
      });
  EXPECT_EQ(OpenDialog(Owner, kCardFilter, "Select a memory card", "c:\\"), Card);
  EXPECT_THAT(Prompt, HasSubstr("not exist"));
  EXPECT_THAT(NameAfterRefusal, HasSubstr("missing.mem"));
}

TEST_F(WinFileDialogTest, SaveReturnsAShortNameChosenOverALongProposedOne) {
  const std::string Proposed = Folder.PathOf(std::string(150, 'l') + ".mcd");
  const std::string Chosen = Folder.PathOf("a");
  std::string Title, ProposedShown;
  Script->OnDialog([&](HWND Dialog) {
    Title = TextOf(Dialog);
    ProposedShown = TextOf(FileNameField(Dialog));
    SetText(FileNameField(Dialog), Chosen);
    PressButton(Dialog, IDOK);
  });
  EXPECT_EQ(SaveDialog(Owner, kDestinationFilter, "Save Bleem Memory Card", Proposed, Proposed),
            Chosen)
      << "no extension added, no blanks, nothing left of the longer name";
  EXPECT_EQ(Title, "Save Bleem Memory Card");
  EXPECT_THAT(ProposedShown, HasSubstr(std::string(150, 'l') + ".mcd"));
}

TEST_F(WinFileDialogTest, SaveAsksBeforeReplacingAnExistingFile) {
  const std::string Existing = Folder.PathOf("game.mcd");
  WriteBytes(Existing, {7});
  std::string Prompt;
  Script
      ->OnDialog([&](HWND Dialog) {
        SetText(FileNameField(Dialog), Existing);
        PressButton(Dialog, IDOK);
      })
      .OnPrompt([&](HWND Box) {
        Prompt = MessageText(Box);
        PressButton(Box, IDNO);
      })
      .OnDialog([&](HWND Dialog) { PressButton(Dialog, IDOK); })
      .OnPrompt([&](HWND Box) { PressButton(Box, IDYES); });
  EXPECT_EQ(SaveDialog(Owner, kDestinationFilter, "Save", Existing, Existing), Existing);
  EXPECT_THAT(Prompt, HasSubstr("already exists"));
}

// A path of 258 characters: beyond the name buffer's 254 blanks, and within
// the 259 that Wine's dialog itself takes.
TEST_F(WinFileDialogTest, SaveReturnsAPathBeyond254BytesWhole) {
  const std::string InFolder = Folder.PathOf("");
  const std::string Chosen = InFolder + std::string(254 - InFolder.size(), 'n') + ".mcd";
  Script->OnDialog([&](HWND Dialog) {
    SetText(FileNameField(Dialog), Chosen);
    PressButton(Dialog, IDOK);
  });
  EXPECT_EQ(SaveDialog(Owner, kDestinationFilter, "Save", Folder.PathOf("g.mcd"), ""), Chosen);
}

// A dialog that fails, and a name chosen that is not UTF-16 (a lone
// surrogate: NTFS allows one), are told and not taken for a cancel.
TEST_F(WinFileDialogTest, AFailureOrAnUnusableNameIsToldAndNotTakenForACancel) {
  const struct {
    std::wstring Typed;
    DWORD BufferChars;
    std::string Told;
  } Rows[] = {{std::wstring(60, L'n') + L".mcd", 40,  // FNERR_BUFFERTOOSMALL
               "The file dialog failed (error 0x3003)."},
              {L"n\xD800.mcd", DWORD(kDialogBufferChars),
               "The name of the file chosen is not valid Unicode and cannot be used."}};
  for (const auto& Row : Rows) {
    const DialogRequest Request = SaveRequest(kDestinationFilter, "Save", Folder.PathOf(""), "");
    FileDialogRecord Dialog;
    BuildFileDialogRecord(Request, Owner, DialogSystemHere(), Dialog);
    Dialog.Record.nMaxFile = Row.BufferChars;
    const std::wstring Typed = Folder.Root().wstring() + L"\\" + Row.Typed;
    std::string Told;
    Script
        ->OnDialog([&](HWND Shown) {
          ::SendMessageW(FileNameField(Shown), WM_SETTEXT, 0, LPARAM(Typed.c_str()));
          PressButton(Shown, IDOK);
        })
        .OnDialog([&](HWND Box) {
          Told = MessageText(Box);
          PressButton(Box, IDOK);
        });
    EXPECT_EQ(RunFileDialog(Request.Kind, Dialog), "");
    EXPECT_EQ(Told, Row.Told);
  }
}

// Wine's dialog joins its folder and a typed name in an array of MAX_PATH
// characters on its stack: a longer name is refused, and the dialog stays.
TEST_F(WinFileDialogTest, UnderWineANameTypedBeyondMaxPathIsRefused) {
  if (DialogSystemHere() != DialogSystem::Wine) GTEST_SKIP() << "Wine's dialog only";
  const std::string Long = std::string(300, 'n') + ".mcd", Start = Folder.PathOf("");
  const struct {
    bool Open;
    std::string Typed;
  } Rows[] = {{true, Long}, {false, Long}, {true, Start + Long}, {false, Start + Long}};
  for (const auto& Row : Rows) {
    std::string Told;
    Script
        ->OnDialog([&](HWND Dialog) {
          SetText(FileNameField(Dialog), Row.Typed);
          PressButton(Dialog, IDOK);
        })
        .OnPrompt([&](HWND Box) {
          Told = MessageText(Box);
          PressButton(Box, IDOK);
        })
        .OnDialog([&](HWND Dialog) { PressButton(Dialog, IDCANCEL); });
    EXPECT_EQ(Row.Open ? OpenDialog(Owner, kCardFilter, "Open", Start)
                       : SaveDialog(Owner, kDestinationFilter, "Save", Start, ""),
              "");
    EXPECT_EQ(Told, "The file name is too long.") << Row.Typed;
  }
}

// Wine's dialog joins its folder and the name box's text in an array of
// MAX_PATH characters, which a folder this deep and 254 blanks overflow. The
// dialogs move the working directory into the folders browsed.
TEST_F(WinFileDialogTest, OpenInADeepFolderWithTheNameUntouchedKeepsTheWorkingDirectory) {
  const fs::path Before = fs::current_path();
  fs::current_path(Folder.Root());
  std::string Untouched, Shown;
  Script
      ->OnDialog([&](HWND Dialog) {
        Untouched = TextOf(FileNameField(Dialog));
        SetText(FileNameField(Dialog), "C:\\windows\\system32");
        PressButton(Dialog, IDOK);
      })
      .OnDialog([&](HWND Dialog) {
        Shown = FolderOf(Dialog);
        SetText(FileNameField(Dialog), Untouched);
        PressButton(Dialog, IDOK);
      })
      .OnDialog([&](HWND Dialog) { PressButton(Dialog, IDCANCEL); });
  EXPECT_EQ(OpenDialog(Owner, kCardFilter, "Select a memory card", "c:\\"), "");
  EXPECT_EQ(Lower(Shown), "c:\\windows\\system32");
  EXPECT_EQ(fs::current_path(), Folder.Root());
  fs::current_path(Before);
}

// Saves accepted as proposed, from a working folder of 227 characters that
// holds a file of the filter's type: Wine starts there unless told
// otherwise. Wine's dialog joins the folder it shows and the name box's text
// in an array of MAX_PATH UTF-16 units: a proposal longer than that, relative
// or absolute, comes without a name; a folder beyond MAX_PATH is left out.
TEST_F(WinFileDialogTest, SaveAcceptedAsProposedSavesTheNameInTheFolderShown) {
  const fs::path Before = fs::current_path();
  const fs::path Deep = Folder.Root() / std::string(226 - Folder.Root().string().size(), 'd');
  fs::create_directory(Deep);
  ASSERT_EQ(Deep.string().size(), 227u);
  WriteBytes((Deep / "old.mcd").string(), {1});
  fs::current_path(Deep);
  std::wstring Smiles;
  for (int I = 0; I < 120; ++I) Smiles += L"\U0001F600";
  const struct {
    std::string Proposed;
    fs::path Shown;
    std::string Name;  // in the name box
  } Proposals[] = {
      {"n.mcd", Deep, "n.mcd"},
      {(Deep / std::string(150, 'f') / "n.mcd").string(), Deep, "n.mcd"},
      {std::string(40, 'n') + ".mcd", Deep, ""},
      {Utf8((Folder.Root() / (Smiles + L".mcd")).wstring(), BadText::Refuse), Folder.Root(), ""}};
  for (const auto& Row : Proposals) {
    SCOPED_TRACE(Row.Proposed);
    std::string Shown, NameShown;
    Script->OnDialog([&](HWND Dialog) {
      Shown = FolderOf(Dialog);
      NameShown = TextOf(FileNameField(Dialog));
      PressButton(Dialog, IDOK);
      PressButton(Dialog, IDCANCEL);  // where OK takes no name
    });
    const std::string Chosen =
        SaveDialog(Owner, kDestinationFilter, "Save", Row.Proposed, Row.Proposed);
    EXPECT_EQ(Lower(Shown), Lower(Row.Shown.string()));
    EXPECT_EQ(NameShown, Row.Name);
    EXPECT_EQ(Chosen, Row.Name.empty() ? "" : Shown + "\\" + Row.Name);
  }
  EXPECT_EQ(fs::current_path(), Deep);
  fs::current_path(Before);
}

}  // namespace
}  // namespace mirvane
