// The main window on Linux: Qt widgets built from the layout table.
#pragma once

#include <QWidget>

#include <array>

#include "window_commands.h"
#include "window_layout.h"

class QLineEdit;
class QPushButton;

namespace mirvane {

// A plain top-level widget, which the window system places as it places any
// new window (a dialog would centre itself). Its keys are a desktop dialog's:
// Enter presses the focused push button, or else the default one; Esc does
// nothing, since this is no dialog to close.
class MainWindowQt : public QWidget, public MainWindowPort {
 public:
  MainWindowQt();
  ~MainWindowQt() override;

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
  // Shows the push button that Enter presses with Focused in the window as
  // the default: the focused one, or else btnStart.
  void FollowFocus(QWidget* Focused);

  QLineEdit* txtSource = nullptr;
  QPushButton* btnStart = nullptr;
};

}  // namespace mirvane
