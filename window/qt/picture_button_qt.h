// The Convert button's kind: a push button showing its picture above its
// caption.
#pragma once

#include <QFontMetricsF>
#include <QPushButton>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <QtMath>

#include <string_view>

#include "artwork.h"
#include "window_geometry.h"
#include "window_layout.h"

namespace mirvane {

// The pixels a line of text in Font takes, rounded up: a box of the rounded
// down height would cut into it.
inline int LineHeight(const QFont& Font, const QWidget* Widget) {
  return qCeil(QFontMetricsF(Font, Widget).height());
}

// A push button showing its picture centred above its caption.
class PictureButton : public QPushButton {
 public:
  PictureButton(const QString& Caption, std::string_view Name, QWidget* Parent)
      : QPushButton(Caption, Parent), Picture_(Name) {}

  // Where the caption goes in a font whose lines are LineHeight tall.
  QRect CaptionBox(int LineHeight) const {
    const PixelRect Caption = Face(LineHeight).Caption;
    return {Caption.Left, Caption.Top, Caption.Width, Caption.Height};
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QStylePainter Painter(this);
    QStyleOptionButton Option;
    initStyleOption(&Option);
    Painter.drawControl(QStyle::CE_PushButtonBevel, Option);
    const PixelRect Picture = Face(LineHeight(font(), this)).Picture;
    Picture_.Draw(Painter, {Picture.Left, Picture.Top});
    Painter.drawItemText(CaptionBox(LineHeight(font(), this)), Qt::AlignCenter, palette(),
                         isEnabled(), text(), QPalette::ButtonText);
    if (hasFocus()) {
      QStyleOptionFocusRect Focus;
      Focus.initFrom(this);
      Focus.rect = rect().adjusted(4, 4, -4, -4);
      Painter.drawPrimitive(QStyle::PE_FrameFocusRect, Focus);
    }
  }

 private:
  ButtonFace Face(int LineHeight) const {
    return PictureButtonFace({0, 0, width(), height()},
                             {Picture_.Size().width(), Picture_.Size().height()}, LineHeight,
                             kBaseDpi);
  }

  Artwork Picture_;
};

}  // namespace mirvane
