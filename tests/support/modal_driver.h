// Drives Qt's modal dialogs from inside a test: each step waits until a modal
// widget of its kind is up, then acts on it. Actions that close or accept a
// dialog are queued, so that a prompt they open never blocks the driver.
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>

#include <deque>
#include <functional>
#include <string>

namespace mirvane::testing {

class ModalDriver {
 public:
  ModalDriver() {
    QObject::connect(&Timer_, &QTimer::timeout, [this] { Poll(); });
    Timer_.start(10);
  }

  // Waits for a modal widget of type T other than the one acted on last.
  template <typename T>
  ModalDriver& On(std::function<void(T*)> Action) {
    Steps_.push_back([Action](QWidget* Modal) {
      auto* Typed = qobject_cast<T*>(Modal);
      if (Typed == nullptr) return false;
      Action(Typed);
      return true;
    });
    return *this;
  }

  bool Finished() const { return Steps_.empty(); }

  static void Later(QObject* Target, std::function<void()> Action) {
    QMetaObject::invokeMethod(Target, std::move(Action), Qt::QueuedConnection);
  }

 private:
  void Poll() {
    QWidget* Modal = QApplication::activeModalWidget();
    if (Steps_.empty() || Modal == nullptr || !Modal->isVisible()) return;
    if (Steps_.front()(Modal)) Steps_.pop_front();
  }

  QTimer Timer_;
  std::deque<std::function<bool(QWidget*)>> Steps_;
};

// What a user does in the dialogs: type a name, press Open/Save or Cancel,
// answer a prompt. The presses are queued, as the driver's own actions are.
inline QString NameField(QFileDialog* Dialog) {
  return Dialog->findChild<QLineEdit*>("fileNameEdit")->text();
}
inline void Type(QFileDialog* Dialog, const std::string& Name) {
  Dialog->findChild<QLineEdit*>("fileNameEdit")->setText(QString::fromStdString(Name));
}
inline void Accept(QFileDialog* Dialog) {
  QMetaObject::invokeMethod(Dialog, "accept", Qt::QueuedConnection);
}
inline void Cancel(QFileDialog* Dialog) {
  QMetaObject::invokeMethod(Dialog, "reject", Qt::QueuedConnection);
}
inline void Answer(QMessageBox* Box, QMessageBox::StandardButton Button) {
  ModalDriver::Later(Box, [Box, Button] { Box->button(Button)->click(); });
}

}  // namespace mirvane::testing
