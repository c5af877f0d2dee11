// The main window on Linux: Qt widgets built from the layout table.
#pragma once

#include <QDialog>

#include <array>

#include "window_commands.h"
#include "window_layout.h"

class QLineEdit;

namespace mirvane {

// A QDialog, so that Enter presses the default button from anywhere in it.
class MainWindow : public QDialog, public MainWindowPort {
 public:
  MainWindow();

 protected:
  void keyPressEvent(QKeyEvent* Event) override;

 private:
  // What the commands ask of the window; they reach it only as a port.
  std::string PathText() const override;
  void SetPathText(const std::string& Text) override;
  std::string OpenDialog(const std::string& Filter, const std::string& Title,
                         const std::string& InitDir) override;
  std::string SaveDialog(const std::string& Filter, const std::string& Title,
                         const std::string& InitDir, const std::string& DefaultFilename) override;
  void Inform(const std::string& Text) override;
  void OpenAddress(const std::string& Address) override;

  // Sets the one font of every plain control in Widgets (the table's
  // controls, in its order), once they are in place.
  void FitFont(const std::array<QWidget*, kControls.size()>& Widgets);

  QLineEdit* txtSource = nullptr;
};

}  // namespace mirvane
