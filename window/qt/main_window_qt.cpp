#include "main_window_qt.h"

#include <QDesktopServices>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <QUrl>

#include <array>
#include <functional>

#include "artwork.h"
#include "card_drop_qt.h"
#include "file_dialogs_qt.h"
#include "window_geometry.h"
#include "window_layout.h"

namespace mirvane {

namespace {

QString Text(std::string_view Utf8) {
  return QString::fromUtf8(Utf8.data(), qsizetype(Utf8.size()));
}

QRect RectOf(const ControlEntry& Entry) {
  const PixelRect Rect = ToPixels(Entry.Rect, kBaseDpi);
  return {Rect.Left, Rect.Top, Rect.Width, Rect.Height};
}

// A push button showing its picture centred above its caption.
class PictureButton : public QPushButton {
 public:
  PictureButton(const QString& Caption, std::string_view Name, QWidget* Parent)
      : QPushButton(Caption, Parent), Picture_(Name) {}

 protected:
  void paintEvent(QPaintEvent*) override {
    QStylePainter Painter(this);
    QStyleOptionButton Option;
    initStyleOption(&Option);
    Painter.drawControl(QStyle::CE_PushButtonBevel, Option);
    const ButtonFace Face = PictureButtonFace({0, 0, width(), height()},
                                              {Picture_.Size().width(), Picture_.Size().height()},
                                              fontMetrics().height(), kBaseDpi);
    Picture_.Draw(Painter, {Face.Picture.Left, Face.Picture.Top});
    const QRect Caption(Face.Caption.Left, Face.Caption.Top, Face.Caption.Width,
                        Face.Caption.Height);
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
  Artwork Picture_;
};

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

// The layout's boxes were cut for narrower fonts than desktops have today: a
// text that runs out of its box, as the wrapped description does in three
// lines, is set smaller, a quarter point at a time, until it fits.
void ShrinkToFit(QLabel* Label, QSize Box) {
  const QRectF Room = QRect(QPoint(), Box).marginsRemoved(Label->contentsMargins());
  const int Flags = int(Label->alignment()) | (Label->wordWrap() ? int(Qt::TextWordWrap) : 0);
  const auto Fits = [&](const QFont& Font) {
    return Room.contains(QFontMetricsF(Font, Label).boundingRect(Room, Flags, Label->text()));
  };
  QFont Font = Label->font();
  while (!Fits(Font) && Font.pointSizeF() > kSmallestPoints) {
    Font.setPointSizeF(Font.pointSizeF() - 0.25);
  }
  if (Font != Label->font()) Label->setFont(Font);
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
  setFixedSize(ClientSize(kBaseDpi).Width, ClientSize(kBaseDpi).Height);
  // The platform's own font, at the 8 points that the fixed layout was cut
  // for; desktops default to larger sizes, which would clip the labels.
  QFont Font = font();
  Font.setPointSizeF(8);
  setFont(Font);
  // The only window: closing it ends the program, tool window or not.
  setAttribute(Qt::WA_QuitOnClose, true);

  std::array<QWidget*, kControls.size()> Widgets{};
  for (std::size_t I = 0; I < kControls.size(); ++I) {
    const ControlEntry& Entry = kControls[I];
    QWidget* Control = nullptr;
    const auto Run = [this, Click = Entry.Click] { RunCommand(Click, *this); };
    switch (Entry.Kind) {
      case ControlKind::PushButton: {
        auto* Button = new QPushButton(Text(Entry.Text), this);
        Button->setAutoDefault(false);
        connect(Button, &QPushButton::clicked, this, Run);
        Control = Button;
        break;
      }
      case ControlKind::TextBox:
        Control = new QLineEdit(this);
        break;
      case ControlKind::PictureButton: {
        auto* Button = new PictureButton(Text(Entry.Text), Entry.Name, this);
        Button->setDefault(Entry.DefaultButton);
        connect(Button, &QPushButton::clicked, this, Run);
        Control = Button;
        break;
      }
      case ControlKind::Label:
      case ControlKind::LinkLabel: {
        QLabel* Label = Entry.Kind == ControlKind::LinkLabel
                            ? new ClickableLabel(Text(Entry.Text), this, Run)
                            : new QLabel(Text(Entry.Text), this);
        StyleAsLabel(Label, Entry);
        if (Entry.Kind == ControlKind::LinkLabel) StyleAsLink(Label);
        ShrinkToFit(Label, RectOf(Entry).size());
        Control = Label;
        break;
      }
      case ControlKind::Picture:
        Control = new PictureView(Entry.Name, this);
        break;
    }
    Control->setObjectName(Text(Entry.Name));
    Control->setGeometry(RectOf(Entry));
    Control->setFocusPolicy(Entry.TakesFocus ? Qt::StrongFocus : Qt::NoFocus);
    Control->setAccessibleName(Text(Entry.AccessibleName));
    Control->setAccessibleDescription(Text(Entry.AccessibleDescription));
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
  new CardDrop(this, txtSource);

  constexpr auto Order = FocusOrder();
  for (std::size_t I = 1; I < Order.size(); ++I) {
    setTabOrder(Widgets[Order[I - 1]], Widgets[Order[I]]);
  }
  txtSource->setFocus();
}

std::string MainWindow::PathText() const {
  return txtSource->text().toStdString();
}

void MainWindow::SetPathText(const std::string& Text) {
  txtSource->setText(QString::fromStdString(Text));
}

std::string MainWindow::ShowFileDialog(const DialogRequest& Request) {
  return mirvane::ShowFileDialog(Request, this);
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
