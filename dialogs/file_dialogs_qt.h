// The open and save dialogs on Linux, through Qt's own file dialog.
#pragma once

#include <string>

#include "dialog_request.h"

class QWidget;

namespace mirvane {

// Shows the dialog modal to Form1 and blocks until it is closed; returns the
// chosen path (UTF-8) or "".
std::string ShowFileDialog(const DialogRequest& Request, QWidget* Form1);

std::string OpenDialog(QWidget* Form1, const std::string& Filter, const std::string& Title,
                       const std::string& InitDir);
std::string SaveDialog(QWidget* Form1, const std::string& Filter, const std::string& Title,
                       const std::string& InitDir, const std::string& DefaultFilename);

}  // namespace mirvane
