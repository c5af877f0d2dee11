#include "card_drop_qt.h"

#include <QDropEvent>
#include <QFileInfo>
#include <QLineEdit>
#include <QMimeData>
#include <QUrl>

namespace mirvane {

namespace {

// What a drop holds, as far as the window is concerned.
struct Dropped {
  enum { Card, Text, Other } Kind;
  QString Path;  // the card's local path, for a Card
};

// A card is a local file that exists and is no folder.
Dropped CardOrOther(const QString& Path) {
  const QFileInfo File(Path);
  if (Path.isEmpty() || !File.exists() || File.isDir()) return {Dropped::Other, {}};
  return {Dropped::Card, Path};
}

Dropped WhatIsIn(const QMimeData& Data) {
  // File managers send URLs (text/uri-list), percent-encoded, often with a
  // plain-text copy: the URLs decide, and only the first counts.
  if (Data.hasUrls()) {
    const QList<QUrl> Urls = Data.urls();
    return Urls.isEmpty() ? Dropped{Dropped::Other, {}} : CardOrOther(Urls.first().toLocalFile());
  }
  if (!Data.hasText()) return {Dropped::Other, {}};
  // Plain text that names a local file, by its path or a file: URL.
  const QString Text = Data.text().trimmed();
  const QString Path = Text.startsWith(QLatin1String("file:")) ? QUrl(Text).toLocalFile() : Text;
  if (QFileInfo(Path).isAbsolute() && QFileInfo::exists(Path)) return CardOrOther(Path);
  return {Dropped::Text, {}};
}

// A copy, or a link where the source offers no copy; never a move, which
// would let the file manager delete the card once it is dropped.
Qt::DropAction CardAction(Qt::DropActions Offered) {
  if (Offered & Qt::CopyAction) return Qt::CopyAction;
  if (Offered & Qt::LinkAction) return Qt::LinkAction;
  return Qt::IgnoreAction;
}

}  // namespace

CardDrop::CardDrop(QWidget* Window, QLineEdit* PathBox)
    : QObject(Window), Window_(Window), PathBox_(PathBox) {
  // Drops on controls that take none (labels, pictures, buttons) go to the
  // window; the path box takes them itself, through this filter first.
  Window->setAcceptDrops(true);
  Window->installEventFilter(this);
  PathBox->installEventFilter(this);
}

bool CardDrop::eventFilter(QObject* Watched, QEvent* Event) {
  const QEvent::Type Type = Event->type();
  if (Type != QEvent::DragEnter && Type != QEvent::DragMove && Type != QEvent::Drop) return false;
  // The drag events are drop events with less to them.
  auto* Drag = static_cast<QDropEvent*>(Event);
  const Dropped What = WhatIsIn(*Drag->mimeData());
  if (What.Kind == Dropped::Text && Watched == PathBox_) return false;
  const Qt::DropAction Action =
      What.Kind == Dropped::Card ? CardAction(Drag->possibleActions()) : Qt::IgnoreAction;
  if (Action == Qt::IgnoreAction) {
    Drag->ignore();
    return true;
  }
  Drag->setDropAction(Action);
  Drag->accept();
  if (Type == QEvent::Drop) Take(What.Path);
  return true;
}

void CardDrop::Take(const QString& Path) {
  PathBox_->setText(Path);
  if (!Window_->isActiveWindow()) Window_->activateWindow();
  PathBox_->setFocus(Qt::OtherFocusReason);
}

}  // namespace mirvane
