#include "file_dialogs_qt.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QStringList>

#include "dialog_request.h"

namespace mirvane {

namespace {

// Qt reads a file type's patterns from the parentheses that end its name,
// and the dialog, told to hide them, shows the rest: the description as
// given. Windows' "*.*" lists every file, names without a dot too: "*" here.
QString NameFilterOf(const FileType& Type) {
  QStringList Patterns = QString::fromStdString(Type.Pattern).split(';');
  for (QString& Pattern : Patterns) {
    if (Pattern == "*.*") Pattern = "*";
  }
  return QString::fromStdString(Type.Description) + " (" + Patterns.join(' ') + ")";
}

// A name as the working directory reads it, as the Windows dialogs take it.
QFileInfo FromWorkingDirectory(const std::string& Name) {
  return QFileInfo(QDir::current(), QString::fromStdString(Name));
}

bool IsFolder(const std::string& Name) {
  return !Name.empty() && FromWorkingDirectory(Name).isDir();
}

// Where the dialog opens: the folder named, the folder of a file path named,
// and otherwise (a Windows folder such as "c:\" among them) the home folder.
QString StartFolderOf(const std::string& InitialFolder) {
  const QFileInfo Named = FromWorkingDirectory(InitialFolder);
  if (IsFolder(InitialFolder)) return Named.absoluteFilePath();
  if (InitialFolder.find('/') != std::string::npos && Named.absoluteDir().exists()) {
    return Named.absolutePath();
  }
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

std::string ShowFileDialog(const DialogRequest& Request, QWidget* Form1) {
  CardFileDialog Dialog(Form1, Request.CreatePrompt);
  Dialog.setOption(QFileDialog::DontUseNativeDialog);
  Dialog.setOption(QFileDialog::HideNameFilterDetails);
  Dialog.setWindowModality(Qt::WindowModal);
  Dialog.setWindowTitle(QString::fromStdString(Request.Title));
  const bool Saving = Request.Kind == DialogKind::Save;
  Dialog.setAcceptMode(Saving ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  Dialog.setFileMode(Request.FileMustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
  Dialog.setOption(QFileDialog::DontConfirmOverwrite, !Request.OverwritePrompt);

  QStringList NameFilters;
  for (const FileType& Type : Request.FileTypes) NameFilters << NameFilterOf(Type);
  Dialog.setNameFilters(NameFilters);
  if (!NameFilters.isEmpty()) Dialog.selectNameFilter(NameFilters.first());

  Dialog.setDirectory(StartFolderOf(Request.InitialFolder));
  const std::string& Name = Request.ProposedName;
  if (!Name.empty()) {
    // A bare name lies in the folder named, any other path in its own folder
    // where that exists; other text stands in the name field as it is.
    const QFileInfo Proposed = FromWorkingDirectory(Name);
    const bool InFolderNamed = Name.find('/') == std::string::npos && IsFolder(Request.InitialFolder);
    const bool InOwnFolder = !InFolderNamed && Proposed.absoluteDir().exists();
    if (InOwnFolder) Dialog.setDirectory(Proposed.absolutePath());
    Dialog.selectFile(InFolderNamed || InOwnFolder ? Proposed.fileName() : QString::fromStdString(Name));
  }

  // The path exactly as Qt gives it: blanks at either end are part of a name
  // here, and the prompts above were shown for that very name.
  if (Dialog.exec() != QDialog::Accepted || Dialog.selectedFiles().isEmpty()) return "";
  return Dialog.selectedFiles().first().toStdString();
}

}  // namespace

std::string OpenDialog(QWidget* Form1, const std::string& Filter, const std::string& Title,
                       const std::string& InitDir) {
  return ShowFileDialog(OpenRequest(Filter, Title, InitDir), Form1);
}

std::string SaveDialog(QWidget* Form1, const std::string& Filter, const std::string& Title,
                       const std::string& InitDir, const std::string& DefaultFilename) {
  return ShowFileDialog(SaveRequest(Filter, Title, InitDir, DefaultFilename), Form1);
}

}  // namespace mirvane
