// Drives Qt's modal dialogs from inside a test: each step waits until a modal
// widget of its kind is up, then acts on it. Actions that close or accept a
// dialog are queued, so that a prompt they open never blocks the driver. The
// driver never lets a test hang: see the constructor.
#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>

#include <deque>
#include <functional>
#include <string>

namespace mirvane::testing {

class ModalDriver {
 public:
  // Each step waits at most LimitMs for its widget; then the driver gives up:
  // the test fails, and what is open is closed so that the call under test
  // returns. A modal widget that no step expects fails the test and is
  // closed too.
  explicit ModalDriver(int LimitMs = 20000) : LimitMs_(LimitMs) {
    QObject::connect(&Timer_, &QTimer::timeout, [this] { Poll(); });
    Timer_.start(10);
    StepClock_.start();
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
    if (Modal != nullptr && !Modal->isVisible()) Modal = nullptr;
    if (GivenUp_) return Close(Modal);
    if (Modal != nullptr && Modal != Acted_.back() && !Steps_.empty() && Steps_.front()(Modal)) {
      Steps_.pop_front();
      Acted_.push_back(Modal);
      StepClock_.restart();
      return;
    }
    if (Modal != nullptr && !Acted_.contains(Modal)) {
      ADD_FAILURE() << "a dialog no step expected: " << Modal->metaObject()->className() << " \""
                    << Modal->windowTitle().toStdString() << "\"";
      Acted_.push_back(Modal);
      return Close(Modal);
    }
    // A step that waits too long, or a dialog acted on that stays open with
    // no step left for it.
    if ((!Steps_.empty() || Modal != nullptr) && StepClock_.elapsed() > LimitMs_) {
      ADD_FAILURE() << "gave up after " << LimitMs_ << " ms, " << Steps_.size()
                    << " step(s) not run";
      Steps_.clear();
      GivenUp_ = true;
      Close(Modal);
    }
  }

  static void Close(QWidget* Modal) {
    if (Modal == nullptr) return;
    Later(Modal, [Modal = QPointer<QWidget>(Modal)] {
      if (auto* Dialog = qobject_cast<QDialog*>(Modal.data())) {
        Dialog->reject();
      } else if (Modal) {
        Modal->close();
      }
    });
  }

  int LimitMs_;
  QTimer Timer_;
  QElapsedTimer StepClock_;
  bool GivenUp_ = false;
  // Every widget acted on, the last one last; a closed one turns null.
  QList<QPointer<QWidget>> Acted_{nullptr};
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
