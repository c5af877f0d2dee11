#include "main_window_qt.h"

#include <QDesktopServices>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <QUrl>

#include <functional>

#include "file_dialogs_qt.h"
#include "window_layout.h"

namespace mirvane {

namespace {

QString Text(std::string_view Utf8) {
  return QString::fromUtf8(Utf8.data(), qsizetype(Utf8.size()));
}

QRect RectOf(const ControlSpec& Entry) {
  const PixelRect Rect = ToPixels(Entry.Rect, kBaseDpi);
  return {Rect.Left, Rect.Top, Rect.Width, Rect.Height};
}

// A push button showing its picture centred above its caption.
class PictureButton : public QPushButton {
 public:
  PictureButton(const QString& Caption, const QPixmap& Picture, QWidget* Parent)
      : QPushButton(Caption, Parent), Picture_(Picture) {}

 protected:
  void paintEvent(QPaintEvent*) override {
    QStylePainter Painter(this);
    QStyleOptionButton Option;
    initStyleOption(&Option);
    Painter.drawControl(QStyle::CE_PushButtonBevel, Option);
    const int Gap = 2;
    const int Height = Picture_.height() + Gap + fontMetrics().height();
    const int Top = (height() - Height) / 2;
    Painter.drawPixmap((width() - Picture_.width()) / 2, Top, Picture_);
    const QRect Caption(0, Top + Picture_.height() + Gap, width(), fontMetrics().height());
    Painter.drawItemText(Caption, Qt::AlignCenter, palette(), isEnabled(), text(),
                         QPalette::ButtonText);
    if (hasFocus()) {
      QStyleOptionFocusRect Focus;
      Focus.initFrom(this);
      Focus.rect = rect().adjusted(4, 4, -4, -4);
      Painter.drawPrimitive(QStyle::PE_FrameFocusRect, Focus);
    }
  }

 private:
  QPixmap Picture_;
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

void StyleAsLabel(QLabel* Label, const ControlSpec& Entry) {
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

MainWindow::MainWindow()
    : QDialog(nullptr, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowCloseButtonHint) {
  setWindowTitle(kWindowCaption);
  setWindowIcon(QIcon(":/art/mirvane.ico"));
  setFixedSize(TwipsToPixels(kClientWidthTwips, kBaseDpi),
               TwipsToPixels(kClientHeightTwips, kBaseDpi));
  // The platform's own font, at the 8 points that the fixed layout was cut
  // for; desktops default to larger sizes, which would clip the labels.
  QFont Font = font();
  Font.setPointSizeF(8);
  setFont(Font);
  // The only window: closing it ends the program, tool window or not.
  setAttribute(Qt::WA_QuitOnClose, true);

  std::vector<QWidget*> Focusable(kControls.size(), nullptr);
  for (const ControlSpec& Entry : kControls) {
    QWidget* Control = nullptr;
    switch (Entry.Kind) {
      case ControlKind::PushButton:
        Control = btnSource = new QPushButton(Text(Entry.Text), this);
        btnSource->setAutoDefault(false);
        connect(btnSource, &QPushButton::clicked, this, [this] { btnSource_Click(*this); });
        break;
      case ControlKind::TextBox:
        Control = txtSource = new QLineEdit(this);
        break;
      case ControlKind::PictureButton:
        Control = btnStart =
            new PictureButton(Text(Entry.Text), QPixmap(":/art/btnStart.gif"), this);
        btnStart->setDefault(Entry.DefaultButton);
        connect(btnStart, &QPushButton::clicked, this, [this] { btnStart_Click(*this); });
        break;
      case ControlKind::Label:
      case ControlKind::LinkLabel: {
        QLabel* Label = Entry.Kind == ControlKind::LinkLabel
                            ? Label2 = new ClickableLabel(Text(Entry.Text), this,
                                                          [this] { Label2_Click(*this); })
                            : new QLabel(Text(Entry.Text), this);
        StyleAsLabel(Label, Entry);
        if (Entry.Kind == ControlKind::LinkLabel) StyleAsLink(Label);
        Control = Label;
        break;
      }
      case ControlKind::Picture: {
        auto* Picture = new QLabel(this);
        Picture->setPixmap(QPixmap(":/art/Image1.gif"));
        Control = Picture;
        break;
      }
    }
    Control->setObjectName(Text(Entry.Name));
    Control->setGeometry(RectOf(Entry));
    Control->setFocusPolicy(Entry.TakesFocus ? Qt::StrongFocus : Qt::NoFocus);
    if (Entry.TakesFocus) Focusable[std::size_t(Entry.TabIndex)] = Control;
  }

  // Tab order by tab index; the chain closes on itself.
  QWidget* Previous = nullptr;
  for (QWidget* Control : Focusable) {
    if (Control == nullptr) continue;
    if (Previous != nullptr) setTabOrder(Previous, Control);
    Previous = Control;
  }
  txtSource->setFocus();
}

std::string MainWindow::PathText() const {
  return txtSource->text().toStdString();
}

void MainWindow::SetPathText(const std::string& Text) {
  txtSource->setText(QString::fromStdString(Text));
}

std::string MainWindow::OpenDialog(const std::string& Filter, const std::string& Title,
                                   const std::string& InitDir) {
  return mirvane::OpenDialog(this, Filter, Title, InitDir);
}

std::string MainWindow::SaveDialog(const std::string& Filter, const std::string& Title,
                                   const std::string& InitDir, const std::string& DefaultFilename) {
  return mirvane::SaveDialog(this, Filter, Title, InitDir, DefaultFilename);
}

void MainWindow::Inform(const std::string& Text) {
  QMessageBox Box(QMessageBox::Information, windowTitle(), QString::fromStdString(Text),
                  QMessageBox::Ok, this);
  Box.exec();
}

void MainWindow::OpenAddress(const std::string& Address) {
  QDesktopServices::openUrl(QUrl(QString::fromStdString(Address)));
}

void MainWindow::keyPressEvent(QKeyEvent* Event) {
  // Esc closes a dialog, but this is the program's window.
  if (Event->key() == Qt::Key_Escape) return;
  QDialog::keyPressEvent(Event);
}

}  // namespace mirvane
