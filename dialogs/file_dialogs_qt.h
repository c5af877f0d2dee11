// The open and save dialogs on Linux, through Qt's own file dialog.
#pragma once

#include <string>

class QWidget;

namespace mirvane {

// The open and the save dialog: each is shown modal to Form1 and blocks until
// it is closed; returns the chosen path (UTF-8) or "". Relative names are
// taken from the working directory, as the Windows dialogs take them.
std::string OpenDialog(QWidget* Form1, const std::string& Filter, const std::string& Title,
                       const std::string& InitDir);
std::string SaveDialog(QWidget* Form1, const std::string& Filter, const std::string& Title,
                       const std::string& InitDir, const std::string& DefaultFilename);

}  // namespace mirvane
