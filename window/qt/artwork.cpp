#include "artwork.h"

#include <QPainter>
#include <QPixmap>

namespace mirvane {

namespace {

QString ArtPath(std::string_view Name, const char* Suffix) {
  return QStringLiteral(":/art/") + QString::fromUtf8(Name) + QLatin1String(Suffix);
}

}  // namespace

Artwork::Artwork(std::string_view Name) {
  const QPixmap OneX(ArtPath(Name, ".gif"));
  Size_ = OneX.size();
  Files_.addPixmap(OneX);
  Files_.addFile(ArtPath(Name, "@2x.gif"));
}

void Artwork::Draw(QPainter& Painter, QPoint At) const {
  Painter.drawPixmap(At, Files_.pixmap(Size_, Painter.device()->devicePixelRatioF()));
}

}  // namespace mirvane
