// The window's three commands, written once over what each front end
// provides.
#pragma once

#include <string>

#include "window_layout.h"

namespace mirvane {

inline constexpr char kSourceFilter[] = "VGS Memory Card (*.mem)|*.mem|All files (*.*)|*.*";
inline constexpr char kSourceTitle[] = "Select a memory card";
inline constexpr char kSourceFolder[] = "c:\\";
inline constexpr char kHomePageAddress[] = "https://mirvane.github.io/";

// What the commands need of the main window.
class MainWindowPort {
 public:
  virtual ~MainWindowPort() = default;

  virtual std::string PathText() const = 0;
  virtual void SetPathText(const std::string& Text) = 0;
  // The open and the save dialog, modal to the window (Form1); each returns
  // the chosen path, "" when cancelled.
  virtual std::string OpenDialog(const std::string& Filter, const std::string& Title,
                                 const std::string& InitDir) = 0;
  virtual std::string SaveDialog(const std::string& Filter, const std::string& Title,
                                 const std::string& InitDir,
                                 const std::string& DefaultFilename) = 0;
  // An information box owned by the window, titled with its current caption,
  // with a single OK button.
  virtual void Inform(const std::string& Text) = 0;
  // Hands a web address to the desktop; whether that worked is not shown.
  virtual void OpenAddress(const std::string& Address) = 0;
};

// Browse: the open dialog's result, empty when cancelled, goes to the path box.
void btnSource_Click(MainWindowPort& Form);
// Convert: converts the card named in the path box.
void btnStart_Click(MainWindowPort& Form);
// The credit link: opens the home page.
void Label2_Click(MainWindowPort& Form);

// Runs the command that the layout table binds to a control's click.
void RunCommand(Command Click, MainWindowPort& Form);

}  // namespace mirvane
