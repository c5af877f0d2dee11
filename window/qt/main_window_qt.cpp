#include "main_window_qt.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFontInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QUrl>

#include <array>
#include <functional>

#include "artwork.h"
#include "card_drop_qt.h"
#include "file_dialogs_qt.h"
#include "picture_button_qt.h"
#include "text_fits_qt.h"
#include "window_geometry.h"
#include "window_layout.h"

namespace mirvane {

namespace {

QRect RectOf(const ControlEntry& Entry) {
  const PixelRect Rect = ToPixels(Entry.Rect, kBaseDpi);
  return {Rect.Left, Rect.Top, Rect.Width, Rect.Height};
}

// A picture from the artwork, at its own size in the top left corner.
class PictureView : public QWidget {
 public:
  PictureView(std::string_view Name, QWidget* Parent) : QWidget(Parent), Picture_(Name) {}

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter Painter(this);
    Picture_.Draw(Painter, {0, 0});
  }

 private:
  Artwork Picture_;
};

// A label that runs a command when clicked, keeping the ordinary pointer.
class ClickableLabel : public QLabel {
 public:
  ClickableLabel(const QString& Caption, QWidget* Parent, std::function<void()> OnClick)
      : QLabel(Caption, Parent), OnClick_(std::move(OnClick)) {}

 protected:
  void mouseReleaseEvent(QMouseEvent* Event) override {
    if (Event->button() == Qt::LeftButton && rect().contains(Event->position().toPoint())) {
      OnClick_();
    }
  }

 private:
  std::function<void()> OnClick_;
};

// Below this a text is unreadable anyway; it is shown cut instead.
constexpr double kSmallestPoints = 4;

void StyleAsLabel(QLabel* Label, const ControlEntry& Entry) {
  Label->setTextFormat(Qt::PlainText);  // no access keys, no markup
  Label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  Label->setWordWrap(Entry.WordWrap);
  Label->setAutoFillBackground(true);  // opaque, in the window's colour
}

void StyleAsLink(QLabel* Label) {
  QFont Font(kLinkFontFace);
  Font.setPointSizeF(kLinkFontPoints);
  Font.setUnderline(true);
  Font.setBold(false);
  Font.setItalic(false);
  Label->setFont(Font);
  QPalette Colours = Label->palette();
  Colours.setColor(QPalette::WindowText, QColor(kLinkRed, kLinkGreen, kLinkBlue));
  Label->setPalette(Colours);
}

}  // namespace

MainWindowQt::MainWindowQt()
    : QWidget(nullptr, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowCloseButtonHint) {
  setWindowTitle(kWindowCaption);
  setWindowIcon(QIcon(":/art/mirvane.ico"));
  setFixedSize(ClientSize(kBaseDpi).Width, ClientSize(kBaseDpi).Height);
  // The only window: closing it ends the program, tool window or not.
  setAttribute(Qt::WA_QuitOnClose, true);

  std::array<QWidget*, kControls.size()> Widgets{};
  for (std::size_t I = 0; I < kControls.size(); ++I) {
    const ControlEntry& Entry = kControls[I];
    QWidget* Control = nullptr;
    const auto Run = [this, Click = Entry.Click] { RunCommand(Click, *this); };
    switch (Entry.Kind) {
      case ControlKind::PushButton: {
        auto* Button = new QPushButton(QString::fromUtf8(Entry.Text), this);
        connect(Button, &QPushButton::clicked, this, Run);
        Control = Button;
        break;
      }
      case ControlKind::TextBox:
        Control = new QLineEdit(this);
        break;
      case ControlKind::PictureButton: {
        auto* Button = new PictureButton(QString::fromUtf8(Entry.Text), Entry.Name, this);
        Button->setDefault(Entry.DefaultButton);
        connect(Button, &QPushButton::clicked, this, Run);
        Control = Button;
        break;
      }
      case ControlKind::Label:
      case ControlKind::LinkLabel: {
        QLabel* Label = Entry.Kind == ControlKind::LinkLabel
                            ? new ClickableLabel(QString::fromUtf8(Entry.Text), this, Run)
                            : new QLabel(QString::fromUtf8(Entry.Text), this);
        StyleAsLabel(Label, Entry);
        if (Entry.Kind == ControlKind::LinkLabel) StyleAsLink(Label);
        Control = Label;
        break;
      }
      case ControlKind::Picture:
        Control = new PictureView(Entry.Name, this);
        break;
    }
    Control->setObjectName(QString::fromUtf8(Entry.Name));
    Control->setGeometry(RectOf(Entry));
    Control->setFocusPolicy(Entry.TakesFocus ? Qt::StrongFocus : Qt::NoFocus);
    Control->setAccessibleName(QString::fromUtf8(Entry.AccessibleName));
    Control->setAccessibleDescription(QString::fromUtf8(Entry.AccessibleDescription));
    Widgets[I] = Control;
  }
  // A label's buddy is named after the label for screen readers; the label
  // has no access key, so that is all it does.
  constexpr auto Captions = CaptionLabels();
  for (std::size_t I = 0; I < kControls.size(); ++I) {
    if (!Captions[I]) continue;
    if (auto* Caption = qobject_cast<QLabel*>(Widgets[*Captions[I]])) Caption->setBuddy(Widgets[I]);
  }
  txtSource = qobject_cast<QLineEdit*>(Widgets[ControlIndex("txtSource")]);
  btnStart = qobject_cast<QPushButton*>(Widgets[DefaultButtonIndex()]);
  new CardDrop(this, txtSource);
  FitFont(Widgets);

  constexpr auto Order = FocusOrder();
  for (std::size_t I = 1; I < Order.size(); ++I) {
    setTabOrder(Widgets[Order[I - 1]], Widgets[Order[I]]);
  }
  connect(qApp, &QApplication::focusChanged, this,
          [this](QWidget*, QWidget* Focused) { FollowFocus(Focused); });
  txtSource->setFocus();
}

MainWindowQt::~MainWindowQt() {
  // The controls lose the focus after this part of the window is gone.
  disconnect(qApp, nullptr, this, nullptr);
}

std::string MainWindowQt::PathText() const {
  return txtSource->text().toStdString();
}

void MainWindowQt::SetPathText(const std::string& Text) {
  txtSource->setText(QString::fromStdString(Text));
}

std::string MainWindowQt::OpenDialog(const std::string& Filter, const std::string& Title,
                                     const std::string& InitDir) {
  return mirvane::OpenDialog(this, Filter, Title, InitDir);
}

std::string MainWindowQt::SaveDialog(const std::string& Filter, const std::string& Title,
                                     const std::string& InitDir, const std::string& DefaultFilename) {
  return mirvane::SaveDialog(this, Filter, Title, InitDir, DefaultFilename);
}

void MainWindowQt::Inform(const std::string& Text) {
  QMessageBox Box(QMessageBox::Information, windowTitle(), QString::fromStdString(Text),
                  QMessageBox::Ok, this);
  Box.exec();
}

void MainWindowQt::OpenAddress(const std::string& Address) {
  QDesktopServices::openUrl(QUrl(QString::fromStdString(Address)));
}

void MainWindowQt::FitFont(const std::array<QWidget*, kControls.size()>& Widgets) {
  // The layout's boxes were cut for narrower fonts than desktops have today
  // (GNOME's Cantarell 11, KDE's Noto Sans 10). Every control but the credit
  // link, which keeps its own font, shows the desktop's font at one size, so
  // that the texts match: the largest, no larger than the desktop's and tried
  // a quarter point at a time, at which every text fits.
  QFont Font = font();
  if (Font.pointSizeF() <= 0) Font.setPointSizeF(QFontInfo(Font).pointSizeF());
  const auto EveryTextFits = [&] {
    for (std::size_t I = 0; I < kControls.size(); ++I) {
      if (kControls[I].Kind != ControlKind::LinkLabel && !TextFits(Widgets[I], Font)) return false;
    }
    return true;
  };
  while (!EveryTextFits() && Font.pointSizeF() > kSmallestPoints) {
    Font.setPointSizeF(Font.pointSizeF() - 0.25);
  }
  setFont(Font);
}

void MainWindowQt::FollowFocus(QWidget* Focused) {
  if (Focused == nullptr || Focused->window() != this) return;
  auto* Pressed = qobject_cast<QPushButton*>(Focused);
  if (Pressed == nullptr) Pressed = btnStart;
  for (auto* Button : findChildren<QPushButton*>()) Button->setDefault(Button == Pressed);
}

void MainWindowQt::keyPressEvent(QKeyEvent* Event) {
  // The focused push button, the default then, takes Enter itself; from the
  // path box, which passes it on, it comes here.
  if (Event->key() == Qt::Key_Return || Event->key() == Qt::Key_Enter) {
    btnStart->click();
    return;
  }
  QWidget::keyPressEvent(Event);
}

}  // namespace mirvane
