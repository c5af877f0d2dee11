// Saves a picture of the Linux window, as it first shows, into the PNG file
// named on the command line.
#include <QApplication>
#include <QElapsedTimer>
#include <QPixmap>

#include <cstdio>

#include "main_window_qt.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUT.png\n", argv[0]);
    return 2;
  }
  QApplication Application(argc, argv);
  mirvane::MainWindowQt Window;
  Window.show();
  // The focus frame and the active colours are part of the picture.
  Window.activateWindow();
  QElapsedTimer Waited;
  Waited.start();
  while (!Window.isActiveWindow() && Waited.elapsed() < 10000) QApplication::processEvents();
  return Window.grab().save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
