#include "file_dialogs_qt.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QStringList>

namespace mirvane {

namespace {

QString FromUtf8(const std::string& Text) {
  return QString::fromUtf8(Text.data(), qsizetype(Text.size()));
}

// Qt reads a file type's patterns from the parentheses that end its name.
QString NameFilterOf(const FileType& Type) {
  const QString Description = FromUtf8(Type.Description);
  QString Patterns = FromUtf8(Type.Pattern);
  Patterns.replace(';', ' ');
  if (Description.endsWith("(" + Patterns + ")")) return Description;
  return Description + " (" + Patterns + ")";
}

// Where the dialog opens: the folder named, the folder of a file path named,
// and otherwise (a Windows folder such as "c:\" among them) the home folder.
QString StartFolderOf(const std::string& InitialFolder) {
  const QFileInfo Named(FromUtf8(InitialFolder));
  if (InitialFolder.empty() || Named.isRelative()) return QDir::homePath();
  if (Named.isDir()) return Named.absoluteFilePath();
  if (Named.absoluteDir().exists()) return Named.absolutePath();
  return QDir::homePath();
}

// Qt's dialog confirms replacing a file itself; this one also confirms
// creating one, and declining either keeps the dialog open as it was.
class CardFileDialog : public QFileDialog {
 public:
  CardFileDialog(QWidget* Owner, bool CreatePrompt)
      : QFileDialog(Owner), CreatePrompt_(CreatePrompt) {}

  void accept() override {
    const QStringList Chosen = selectedFiles();
    if (CreatePrompt_ && acceptMode() == AcceptSave && !Chosen.isEmpty() &&
        !QFileInfo::exists(Chosen.first()) && !ConfirmCreate(Chosen.first())) {
      return;
    }
    QFileDialog::accept();
  }

 private:
  bool ConfirmCreate(const QString& Path) {
    const QString Question = tr("%1\nThis file does not exist.\nDo you want to create it?")
                                 .arg(QDir::toNativeSeparators(Path));
    return QMessageBox::question(this, windowTitle(), Question, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
  }

  bool CreatePrompt_;
};

}  // namespace

std::string ShowFileDialog(const DialogRequest& Request, QWidget* Form1) {
  CardFileDialog Dialog(Form1, Request.CreatePrompt);
  Dialog.setOption(QFileDialog::DontUseNativeDialog);
  Dialog.setWindowModality(Qt::WindowModal);
  Dialog.setWindowTitle(FromUtf8(Request.Title));
  const bool Saving = Request.Kind == DialogKind::Save;
  Dialog.setAcceptMode(Saving ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  Dialog.setFileMode(Request.FileMustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
  Dialog.setOption(QFileDialog::DontConfirmOverwrite, !Request.OverwritePrompt);

  QStringList NameFilters;
  for (const FileType& Type : Request.FileTypes) NameFilters << NameFilterOf(Type);
  Dialog.setNameFilters(NameFilters);
  if (!NameFilters.isEmpty()) Dialog.selectNameFilter(NameFilters.first());

  Dialog.setDirectory(StartFolderOf(Request.InitialFolder));
  if (!Request.ProposedName.empty()) {
    const QFileInfo Proposed(FromUtf8(Request.ProposedName));
    // A full path whose folder exists proposes its name in that folder; any
    // other text stands in the name field as it is.
    const bool InFolder = Proposed.isAbsolute() && Proposed.absoluteDir().exists();
    Dialog.selectFile(InFolder ? Proposed.fileName() : FromUtf8(Request.ProposedName));
  }

  // The path exactly as Qt gives it: blanks at either end are part of a name
  // here, and the prompts above were shown for that very name.
  if (Dialog.exec() != QDialog::Accepted || Dialog.selectedFiles().isEmpty()) return "";
  return Dialog.selectedFiles().first().toUtf8().toStdString();
}

std::string OpenDialog(QWidget* Form1, const std::string& Filter, const std::string& Title,
                       const std::string& InitDir) {
  return ShowFileDialog(OpenRequest(Filter, Title, InitDir), Form1);
}

std::string SaveDialog(QWidget* Form1, const std::string& Filter, const std::string& Title,
                       const std::string& InitDir, const std::string& DefaultFilename) {
  return ShowFileDialog(SaveRequest(Filter, Title, InitDir, DefaultFilename), Form1);
}

}  // namespace mirvane
