// Cards dropped on the Linux window from a file manager go into its path box.
#pragma once

#include <QObject>

class QLineEdit;
class QWidget;

namespace mirvane {

// Watches Window and its PathBox for drops. One local file, dropped anywhere
// on the window, replaces the path box's text and takes the focus there;
// plain text that names no local file is the path box's own business, which
// inserts it as any line edit does; anything else is refused, and the cursor
// shows it. Owned by Window.
class CardDrop : public QObject {
 public:
  CardDrop(QWidget* Window, QLineEdit* PathBox);

 protected:
  bool eventFilter(QObject* Watched, QEvent* Event) override;

 private:
  void Take(const QString& Path);

  QWidget* Window_;
  QLineEdit* PathBox_;
};

}  // namespace mirvane
