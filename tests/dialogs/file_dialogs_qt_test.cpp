// The Qt dialogs, shown for real on Qt's offscreen platform and driven as a
// user would: read what they show, type a name, accept or cancel, answer the
// prompts.
#include "file_dialogs_qt.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QDir>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QWidget>

#include "convert_card.h"
#include "modal_driver.h"
#include "scratch_folder.h"
#include "scripted_caller.h"

namespace mirvane {
namespace {

using testing::Accept;
using testing::Answer;
using testing::Bytes;
using testing::Cancel;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using testing::MakeCard;
using testing::ModalDriver;
using testing::NameField;
using testing::Pattern;
using testing::ReadBytes;
using testing::ScratchFolder;
using testing::Type;
using testing::WriteBytes;

constexpr char kCardFilter[] = "VGS Memory Card (*.mem)|*.mem|All files (*.*)|*.*";

// The file types the dialog shows, as the user reads them.
QStringList TypesShown(QFileDialog* Dialog) {
  const auto* Types = Dialog->findChild<QComboBox*>("fileTypeCombo");
  QStringList Shown;
  for (int I = 0; I < Types->count(); ++I) Shown << Types->itemText(I);
  return Shown;
}

class QtFileDialogTest : public ::testing::Test {
 protected:
  QWidget Owner;
  ModalDriver Driver;
  ScratchFolder Folder;
};

TEST_F(QtFileDialogTest, OpenShowsTheTypesAndTitleAndStartsAtHomeForAWindowsFolder) {
  Driver.On<QFileDialog>([this](QFileDialog* Dialog) {
    EXPECT_EQ(Dialog->windowTitle(), "Select a memory card");
    EXPECT_THAT(TypesShown(Dialog), ElementsAre("VGS Memory Card (*.mem)", "All files (*.*)"));
    EXPECT_EQ(Dialog->selectedNameFilter(), "VGS Memory Card (*.mem)");
    EXPECT_EQ(Dialog->directory().absolutePath(), QDir::homePath());
    EXPECT_EQ(Dialog->acceptMode(), QFileDialog::AcceptOpen);
    EXPECT_EQ(Dialog->parentWidget(), &Owner);
    EXPECT_TRUE(Dialog->isModal());
    Cancel(Dialog);
  });
  EXPECT_EQ(OpenDialog(&Owner, kCardFilter, "Select a memory card", "c:\\"), "");
  EXPECT_TRUE(Driver.Finished());
}

TEST_F(QtFileDialogTest, OpenReturnsTheChosenFileExactly) {
  const std::string Card = Folder.PathOf("my card.mem");
  WriteBytes(Card, {1, 2, 3});
  Driver.On<QFileDialog>([&](QFileDialog* Dialog) {
    EXPECT_EQ(Dialog->directory().absolutePath().toStdString(), Folder.Root().string());
    Type(Dialog, "my card.mem");
    Accept(Dialog);
  });
  EXPECT_EQ(OpenDialog(&Owner, kCardFilter, "Select a memory card", Folder.Root().string()), Card);
  EXPECT_TRUE(Driver.Finished());
}

TEST_F(QtFileDialogTest, OpenRefusesAFileThatDoesNotExist) {
  Driver
      .On<QFileDialog>([](QFileDialog* Dialog) {
        Type(Dialog, "missing.mem");
        Accept(Dialog);
      })
      .On<QMessageBox>([](QMessageBox* Box) {
        EXPECT_THAT(Box->text().toStdString(), HasSubstr("missing.mem"));
        Answer(Box, QMessageBox::Ok);
      })
      .On<QFileDialog>([](QFileDialog* Dialog) {
        EXPECT_EQ(NameField(Dialog), "missing.mem");
        Cancel(Dialog);
      });
  EXPECT_EQ(OpenDialog(&Owner, kCardFilter, "Select a memory card", Folder.Root().string()), "");
  EXPECT_TRUE(Driver.Finished());
}

TEST_F(QtFileDialogTest, SaveProposesTheNameInItsFolderAndConfirmsCreating) {
  const std::string Proposed = Folder.PathOf("game.mcd");
  const auto ExpectAsProposed = [&](QFileDialog* Dialog) {
    EXPECT_EQ(Dialog->windowTitle(), "Save Bleem Memory Card");
    EXPECT_THAT(TypesShown(Dialog), ElementsAre("Bleem Memory Cards (*.mcd)"));
    EXPECT_EQ(Dialog->directory().absolutePath().toStdString(), Folder.Root().string());
    EXPECT_EQ(NameField(Dialog), "game.mcd");
    EXPECT_EQ(Dialog->acceptMode(), QFileDialog::AcceptSave);
  };
  Driver
      .On<QFileDialog>([&](QFileDialog* Dialog) {
        ExpectAsProposed(Dialog);
        Accept(Dialog);
      })
      .On<QMessageBox>([](QMessageBox* Box) {
        EXPECT_THAT(Box->text().toStdString(), HasSubstr("does not exist"));
        Answer(Box, QMessageBox::No);
      })
      .On<QFileDialog>([&](QFileDialog* Dialog) {
        ExpectAsProposed(Dialog);
        Accept(Dialog);
      })
      .On<QMessageBox>([](QMessageBox* Box) { Answer(Box, QMessageBox::Yes); });
  EXPECT_EQ(SaveDialog(&Owner, kDestinationFilter, "Save Bleem Memory Card", Proposed, Proposed),
            Proposed);
  EXPECT_TRUE(Driver.Finished());
  EXPECT_FALSE(std::filesystem::exists(Proposed)) << "the dialog itself writes nothing";
}

TEST_F(QtFileDialogTest, SaveConfirmsReplacingAnExistingFile) {
  const std::string Existing = Folder.PathOf("game.mcd");
  WriteBytes(Existing, {7});
  Driver.On<QFileDialog>([](QFileDialog* Dialog) { Accept(Dialog); })
      .On<QMessageBox>([](QMessageBox* Box) {
        EXPECT_THAT(Box->text().toStdString(), HasSubstr("already exists"));
        Answer(Box, QMessageBox::No);
      })
      .On<QFileDialog>([](QFileDialog* Dialog) {
        EXPECT_EQ(NameField(Dialog), "game.mcd");
        Accept(Dialog);
      })
      .On<QMessageBox>([](QMessageBox* Box) { Answer(Box, QMessageBox::Yes); });
  EXPECT_EQ(SaveDialog(&Owner, kDestinationFilter, "Save", Existing, Existing), Existing);
  EXPECT_TRUE(Driver.Finished());
}

TEST_F(QtFileDialogTest, SaveReturnsAShortNameAsTypedWithoutAddingAnExtension) {
  const std::string Proposed = Folder.PathOf(std::string(200, 'l') + ".mcd");
  Driver
      .On<QFileDialog>([](QFileDialog* Dialog) {
        Type(Dialog, "a");
        Accept(Dialog);
      })
      .On<QMessageBox>([](QMessageBox* Box) { Answer(Box, QMessageBox::Yes); });
  EXPECT_EQ(SaveDialog(&Owner, kDestinationFilter, "Save", Proposed, Proposed), Folder.PathOf("a"));
  EXPECT_TRUE(Driver.Finished());
}

TEST_F(QtFileDialogTest, SaveProposesALongNameWhole) {
  const std::string Long(300, 'n');
  Driver.On<QFileDialog>([&](QFileDialog* Dialog) {
    EXPECT_EQ(NameField(Dialog).toStdString(), Long);
    Cancel(Dialog);
  });
  EXPECT_EQ(SaveDialog(&Owner, kDestinationFilter, "Save", Folder.Root().string(), Long), "");
  EXPECT_TRUE(Driver.Finished());
}

// As on Windows: "*.*" lists every file, and relative names are read from the
// working directory.
TEST_F(QtFileDialogTest, ListsAndPlacesNamesAsWindowsDoes) {
  std::filesystem::create_directory(Folder.PathOf("cards"));
  for (const char* Name : {"CARD", "x.mem", "notes.txt"}) WriteBytes(Folder.PathOf("cards/") + Name, {1});
  const QString Before = QDir::currentPath(), Cards = QString::fromStdString(Folder.PathOf("cards"));
  QDir::setCurrent(QString::fromStdString(Folder.Root().string()));
  const struct {
    bool Save;            // proposing InitDir
    std::string InitDir;
    int Type;
    QString Shown, Name;
    QStringList Listed;
  } Rows[] = {{false, "cards", 0, Cards, "", {"x.mem"}},
              {false, Folder.PathOf("cards"), 1, Cards, "", {"CARD", "notes.txt", "x.mem"}},
              {true, "cards/game.mcd", 1, Cards, "game.mcd", {"CARD", "notes.txt", "x.mem"}},
              {true, "game.mcd", 0, QDir::currentPath(), "game.mcd", {}}};
  for (const auto& Row : Rows) {
    Driver.On<QFileDialog>([&](QFileDialog* Dialog) {
      EXPECT_EQ(Dialog->directory().absolutePath(), Row.Shown) << Row.InitDir;
      EXPECT_EQ(NameField(Dialog), Row.Name) << Row.InitDir;
      Dialog->selectNameFilter(Dialog->nameFilters().at(Row.Type));
      const QStringList Patterns = Dialog->findChild<QFileSystemModel*>()->nameFilters();
      EXPECT_EQ(Dialog->directory().entryList(Patterns, QDir::Files, QDir::Name), Row.Listed);
      Cancel(Dialog);
    });
    if (Row.Save) SaveDialog(&Owner, kCardFilter, "Save", Row.InitDir, Row.InitDir);
    if (!Row.Save) OpenDialog(&Owner, kCardFilter, "Open", Row.InitDir);
  }
  EXPECT_TRUE(Driver.Finished());
  QDir::setCurrent(Before);
}

// A trailing blank makes another name, which does not exist yet: creating it
// is confirmed, and replacing the name without the blank is not asked about.
void ChooseNameWithTrailingBlank(ModalDriver& Driver) {
  Driver
      .On<QFileDialog>([](QFileDialog* Dialog) {
        // Typed into the focused name field, as a user does: only then does
        // the dialog let go of the existing card it proposed and selected.
        QApplication::setActiveWindow(Dialog);
        Dialog->findChild<QLineEdit*>("fileNameEdit")->setFocus();
        Type(Dialog, "card.mcd ");
        Accept(Dialog);
      })
      .On<QMessageBox>([](QMessageBox* Box) {
        EXPECT_THAT(Box->text().toStdString(), HasSubstr("does not exist"));
        Answer(Box, QMessageBox::Yes);
      });
}

TEST_F(QtFileDialogTest, SaveReturnsANameWithATrailingBlankAsTyped) {
  const std::string Existing = Folder.PathOf("card.mcd");
  WriteBytes(Existing, {7});
  ChooseNameWithTrailingBlank(Driver);
  EXPECT_EQ(SaveDialog(&Owner, kDestinationFilter, "Save", Existing, Existing),
            Folder.PathOf("card.mcd "));
  EXPECT_TRUE(Driver.Finished());
}

TEST_F(QtFileDialogTest, ConvertingToANameWithATrailingBlankLeavesTheCardWithoutIt) {
  const Bytes Body = Pattern(8192);
  WriteBytes(Folder.PathOf("card.mem"), MakeCard(Body));
  WriteBytes(Folder.PathOf("card.mcd"), {7});
  ChooseNameWithTrailingBlank(Driver);
  // The Convert command with the real save dialog in place of the window's.
  testing::ScriptedCaller Caller;
  Caller.Answer = [this](const testing::SaveDialogCall& Call) {
    return SaveDialog(&Owner, Call.Filter, Call.Title, Call.InitDir, Call.DefaultFilename);
  };
  ConvertCard(Folder.PathOf("card.mem"), Caller);
  EXPECT_TRUE(Driver.Finished());
  EXPECT_THAT(Caller.Messages, IsEmpty());
  EXPECT_EQ(ReadBytes(Folder.PathOf("card.mcd")), Bytes{7});
  EXPECT_EQ(ReadBytes(Folder.PathOf("card.mcd ")), Body);
}

}  // namespace
}  // namespace mirvane
