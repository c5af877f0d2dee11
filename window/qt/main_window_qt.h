// The main window on Linux: Qt widgets built from the layout table.
#pragma once

#include <QDialog>

#include "window_commands.h"

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
  std::string ShowFileDialog(const DialogRequest& Request) override;
  void Inform(const std::string& Text) override;
  void OpenAddress(const std::string& Address) override;

  QLineEdit* txtSource = nullptr;
};

}  // namespace mirvane
