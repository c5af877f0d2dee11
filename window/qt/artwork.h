// A picture of the window's artwork that stays sharp at any screen scale.
#pragma once

#include <QIcon>
#include <QPoint>
#include <QSize>

#include <string_view>

class QPainter;

namespace mirvane {

// The files are named after the control that shows them. Drawn from
// Name.gif on a screen of 1 pixel per device-independent pixel,
// from Name@2x.gif on one of 2, and scaled smoothly from the nearer file in
// between, each time for the screen being painted on.
class Artwork {
 public:
  explicit Artwork(std::string_view Name);

  // In device-independent pixels: the size of the 1x file.
  QSize Size() const { return Size_; }
  void Draw(QPainter& Painter, QPoint At) const;

 private:
  QIcon Files_;
  QSize Size_;
};

}  // namespace mirvane
