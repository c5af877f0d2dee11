// Mirvane on Linux: shows the main window and runs until it is closed.
#include <QApplication>

#include "main_window_qt.h"
#include "version.h"

int main(int argc, char** argv) {
  QApplication Application(argc, argv);
  QApplication::setApplicationName("Mirvane");
  QApplication::setApplicationVersion(MIRVANE_VERSION_STRING);
  mirvane::MainWindowQt Window;
  Window.show();
  return QApplication::exec();
}
