#include "text_fits_qt.h"

#include <QFontMetricsF>
#include <QLabel>
#include <QStyleOptionButton>

#include "picture_button_qt.h"

namespace mirvane {

namespace {

// Whether Text, laid out with Flags in Room in Font, stays inside Room.
bool FitsIn(const QFont& Font, QWidget* Widget, const QRect& Room, int Flags, const QString& Text) {
  return QRectF(Room).contains(QFontMetricsF(Font, Widget).boundingRect(QRectF(Room), Flags, Text));
}

}  // namespace

bool TextFits(QWidget* Control, const QFont& Font) {
  if (auto* Label = qobject_cast<QLabel*>(Control)) {
    const int Wrap = Label->wordWrap() ? int(Qt::TextWordWrap) : 0;
    return FitsIn(Font, Label, Label->contentsRect(), int(Label->alignment()) | Wrap,
                  Label->text());
  }
  auto* Button = qobject_cast<QPushButton*>(Control);
  if (Button == nullptr) return true;  // no text of its own
  QStyleOptionButton Option;
  Option.initFrom(Button);
  Option.text = Button->text();
  QRect Room = Button->style()->subElementRect(QStyle::SE_PushButtonContents, &Option, Button);
  if (auto* Picture = dynamic_cast<PictureButton*>(Button)) {
    Room &= Picture->CaptionBox(LineHeight(Font, Button));
  }
  return FitsIn(Font, Button, Room, Qt::AlignCenter | Qt::TextShowMnemonic, Button->text());
}

}  // namespace mirvane
