// The Linux window, shown on Qt's offscreen platform and used as a person
// would: its layout against the table, what a screen reader announces, the
// keyboard, and the three commands with real dialogs and message boxes. The
// QtWindowAtScale tests run again on screens of 1.5 and 2 pixels per
// device-independent pixel (QT_SCALE_FACTOR).
#include "main_window_qt.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAccessible>
#include <QDesktopServices>
#include <QDir>
#include <QDropEvent>
#include <QFontMetricsF>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QUrl>
#include <QtMath>

#include <tuple>

#include "modal_driver.h"
#include "scratch_folder.h"
#include "text_fits_qt.h"
#include "window_geometry.h"
#include "window_layout.h"

// Receives the addresses the window hands to the desktop.
class AddressCatcher : public QObject {
  Q_OBJECT
 public:
  QList<QUrl> Seen;
 public slots:
  void Open(const QUrl& Address) { Seen << Address; }
};

namespace mirvane {
namespace {

using testing::Accept;
using testing::Answer;
using testing::Bytes;
using testing::Cancel;
using ::testing::ElementsAre;
using testing::MakeCard;
using testing::ModalDriver;
using testing::NameField;
using testing::Pattern;
using testing::ReadBytes;
using testing::ScratchFolder;
using testing::Type;
using testing::WriteBytes;

class QtMainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Window.show();
    Window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Window));
  }
  template <typename T>
  T* Control(const char* Name) {
    return Window.findChild<T*>(Name);
  }
  QLineEdit* PathBox() { return Control<QLineEdit>("txtSource"); }
  void Click(const char* Name) { QTest::mouseClick(Control<QWidget>(Name), Qt::LeftButton); }
  // Drags Data over the middle of the control Onto and lets go, through the
  // window as the desktop does; the action the window took, or IgnoreAction.
  Qt::DropAction DropOn(const char* Onto, const QMimeData& Data) {
    QWidget* Target = Control<QWidget>(Onto);
    const QPoint At = Target->mapTo(&Window, Target->rect().center());
    const Qt::DropActions Offered = Qt::CopyAction | Qt::MoveAction | Qt::LinkAction;
    QDragEnterEvent Enter(At, Offered, &Data, Qt::LeftButton, Qt::NoModifier);
    QDragMoveEvent Move(At, Offered, &Data, Qt::LeftButton, Qt::NoModifier);
    QDropEvent Drop(At, Offered, &Data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(Window.windowHandle(), &Enter);
    QApplication::sendEvent(Window.windowHandle(), &Move);
    QApplication::sendEvent(Window.windowHandle(), &Drop);
    return Move.isAccepted() && Drop.isAccepted() ? Drop.dropAction() : Qt::IgnoreAction;
  }

  MainWindowQt Window;
  ModalDriver Driver;
  ScratchFolder Folder;
};

TEST_F(QtMainWindowTest, IsAFixedToolWindowLaidOutByTheTable) {
  EXPECT_EQ(Window.windowTitle(), "Mirvane");
  EXPECT_EQ(Window.size(), QSize(285, 114));
  EXPECT_EQ(Window.minimumSize(), Window.maximumSize());
  EXPECT_TRUE(Window.windowFlags() & Qt::Tool);
  EXPECT_FALSE(Window.windowFlags() &
               (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
  for (const ControlEntry& Entry : kControls) {
    SCOPED_TRACE(std::string(Entry.Name));
    QWidget* Widget = Control<QWidget>(std::string(Entry.Name).c_str());
    ASSERT_NE(Widget, nullptr);
    const PixelRect Rect = ToPixels(Entry.Rect, kBaseDpi);
    EXPECT_EQ(Widget->geometry(), QRect(Rect.Left, Rect.Top, Rect.Width, Rect.Height));
    QString Shown;
    if (auto* Button = qobject_cast<QAbstractButton*>(Widget)) Shown = Button->text();
    if (auto* Label = qobject_cast<QLabel*>(Widget)) Shown = Label->text();
    if (auto* Edit = qobject_cast<QLineEdit*>(Widget)) Shown = Edit->text();
    EXPECT_EQ(Shown.toStdString(), Entry.Text);
    EXPECT_EQ(Widget->focusPolicy() != Qt::NoFocus, Entry.TakesFocus);
  }
  auto* Link = Control<QLabel>("Label2");
  EXPECT_EQ(Link->font().family(), "Arial");
  EXPECT_DOUBLE_EQ(Link->font().pointSizeF(), 6.75);
  EXPECT_TRUE(Link->font().underline());
  EXPECT_EQ(Link->palette().color(QPalette::WindowText), QColor(0, 0, 255));
  EXPECT_TRUE(Control<QLabel>("Label3")->wordWrap());
  EXPECT_TRUE(Control<QPushButton>("btnStart")->isDefault());
}

TEST_F(QtMainWindowTest, ThePathBoxIsAnnouncedByItsCaptionWithoutAnAccessKey) {
  QAccessibleInterface* Box = QAccessible::queryAccessibleInterface(PathBox());
  ASSERT_NE(Box, nullptr);
  EXPECT_EQ(Box->text(QAccessible::Name), "Virtual Game Station Memory Card:");
  EXPECT_EQ(Box->text(QAccessible::Accelerator), "");
  const auto Labels = Box->relations(QAccessible::Label);
  ASSERT_EQ(Labels.size(), 1);
  EXPECT_EQ(Labels[0].first->object(), Control<QLabel>("Label1"));
}

TEST_F(QtMainWindowTest, TheDotsButtonIsAnnouncedAsBrowse) {
  QAccessibleInterface* Button =
      QAccessible::queryAccessibleInterface(Control<QPushButton>("btnSource"));
  ASSERT_NE(Button, nullptr);
  EXPECT_EQ(Button->text(QAccessible::Name), "Browse");
  EXPECT_EQ(Button->text(QAccessible::Description), "Select a memory card");
  EXPECT_EQ(Control<QPushButton>("btnSource")->text(), "...");
}

TEST_F(QtMainWindowTest, FocusStartsInThePathBoxAndTabGoesRound) {
  EXPECT_EQ(QApplication::focusWidget(), PathBox());
  const char* Order[] = {"btnSource", "btnStart", "txtSource"};
  for (const char* Next : Order) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget()->objectName().toStdString(), Next);
  }
}

// As in a desktop dialog: Enter presses the focused push button, which shows
// as the default, or else Convert; Space presses the focused button.
TEST_F(QtMainWindowTest, KeysPressTheFocusedButtonOrElseConvert) {
  WriteBytes(Folder.PathOf("game.mem"), MakeCard(Pattern(100)));
  // Focused after "...", the key, the dialog that opens ("" none), "..." shown as the default.
  const std::tuple<const char*, Qt::Key, std::string, bool> Rows[] = {
      {"btnSource", Qt::Key_Return, "Select a memory card", true},
      {"btnSource", Qt::Key_Enter, "Select a memory card", true},
      {"btnSource", Qt::Key_Space, "Select a memory card", true},
      {"btnStart", Qt::Key_Return, "Save Bleem Memory Card", false},
      {"txtSource", Qt::Key_Return, "Save Bleem Memory Card", false},
      {"txtSource", Qt::Key_Escape, "", false},
  };
  for (const auto& [Focused, Key, Opens, DotsIsDefault] : Rows) {
    SCOPED_TRACE(Focused + (" key " + std::to_string(Key)));
    Window.activateWindow();  // back from the last dialog, as the desktop makes it
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Window));
    PathBox()->setText(QString::fromStdString(Folder.PathOf("game.mem")));
    Control<QWidget>("btnSource")->setFocus();
    Control<QWidget>(Focused)->setFocus();
    EXPECT_EQ(Control<QPushButton>("btnSource")->isDefault(), DotsIsDefault);
    EXPECT_EQ(Control<QPushButton>("btnStart")->isDefault(), !DotsIsDefault);
    std::string Opened;
    if (!Opens.empty()) {
      Driver.On<QFileDialog>([&](QFileDialog* Dialog) {
        Opened = Dialog->windowTitle().toStdString();
        Cancel(Dialog);
      });
    }
    const auto Pad = Key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier;
    QTest::keyClick(Control<QWidget>(Focused), Key, Pad);
    EXPECT_TRUE(Driver.Finished());
    EXPECT_EQ(Opened, Opens);
  }
  EXPECT_TRUE(Window.isVisible());
  EXPECT_FALSE(Window.geometry().contains(Window.screen()->availableGeometry().center()))
      << "placed by the window system, not centred";
}

TEST_F(QtMainWindowTest, BrowseThenCancelEmptiesThePathBox) {
  PathBox()->setText("/some/card.mem");
  Driver.On<QFileDialog>([](QFileDialog* Dialog) { Cancel(Dialog); });
  Click("btnSource");
  EXPECT_TRUE(Driver.Finished());
  EXPECT_EQ(PathBox()->text(), "");
}

TEST_F(QtMainWindowTest, ConvertWithAnEmptyBoxBrowsesAndConvertsNothing) {
  const std::string Card = Folder.PathOf("game.mem");
  WriteBytes(Card, MakeCard(Pattern(100)));
  Driver.On<QFileDialog>([&](QFileDialog* Dialog) {
    EXPECT_EQ(Dialog->windowTitle(), "Select a memory card");
    // "c:\" is no folder here: the dialog starts in the home folder.
    EXPECT_EQ(Dialog->directory().absolutePath(), QDir::homePath());
    Type(Dialog, Card);
    Accept(Dialog);
  });
  Click("btnStart");
  EXPECT_TRUE(Driver.Finished());
  EXPECT_EQ(PathBox()->text().toStdString(), Card);
  EXPECT_THAT(Folder.Names(), ElementsAre("game.mem"));
}

TEST_F(QtMainWindowTest, EnterInThePathBoxConvertsAndAWrongFileIsReported) {
  WriteBytes(Folder.PathOf("notes.txt"), Pattern(300));
  PathBox()->setText(QString::fromStdString(Folder.PathOf("notes.txt")));
  Driver.On<QMessageBox>([](QMessageBox* Box) {
    EXPECT_EQ(Box->windowTitle(), "Mirvane");
    EXPECT_EQ(Box->text(), "File is in a wrong format.");
    EXPECT_EQ(Box->icon(), QMessageBox::Information);
    EXPECT_EQ(Box->standardButtons(), QMessageBox::Ok);
    Answer(Box, QMessageBox::Ok);
  });
  QTest::keyClick(PathBox(), Qt::Key_Return);
  EXPECT_TRUE(Driver.Finished());
}

TEST_F(QtMainWindowTest, ConvertWritesExactlyTheBodyWhereTheUserSaves) {
  const Bytes Body = Pattern(128 * 1024 + 5);
  WriteBytes(Folder.PathOf("game.mem"), MakeCard(Body));
  PathBox()->setText(QString::fromStdString(Folder.PathOf("game.mem")));
  Driver
      .On<QFileDialog>([](QFileDialog* Dialog) {
        EXPECT_EQ(Dialog->windowTitle(), "Save Bleem Memory Card");
        EXPECT_EQ(NameField(Dialog), "game.mcd");
        Accept(Dialog);
      })
      .On<QMessageBox>([](QMessageBox* Box) { Answer(Box, QMessageBox::Yes); });
  Click("btnStart");
  EXPECT_TRUE(Driver.Finished());
  EXPECT_EQ(ReadBytes(Folder.PathOf("game.mcd")), Body);
  EXPECT_EQ(PathBox()->text().toStdString(), Folder.PathOf("game.mem"));
}

TEST_F(QtMainWindowTest, TheCreditLinkHandsTheHomePageToTheDesktop) {
  AddressCatcher Catcher;
  QDesktopServices::setUrlHandler("https", &Catcher, "Open");
  Click("Label2");
  QDesktopServices::unsetUrlHandler("https");
  EXPECT_THAT(Catcher.Seen, ElementsAre(QUrl(kHomePageAddress)));
}

// File managers send a file's URL, percent-encoded, in text/uri-list, often
// with a plain-text copy.
TEST_F(QtMainWindowTest, TakesOneLocalFileDroppedAnywhereAndNothingElse) {
  const std::string Card = Folder.PathOf("My Card \u00E9\u30AB.mem");
  WriteBytes(Card, {});
  const auto UrlOf = [](const std::string& Path) {
    return QUrl::fromLocalFile(QString::fromStdString(Path)).toEncoded();
  };
  const QByteArray Url = UrlOf(Card), Second = UrlOf(Folder.PathOf("b.mem")),
                   Dir = UrlOf(Folder.Root().string()), Web = "https://example.org/a.mem";
  ASSERT_TRUE(Url.endsWith("/My%20Card%20%C3%A9%E3%82%AB.mem"));
  // Onto, text/uri-list, text/plain, the path box after, the action taken.
  const std::tuple<const char*, QByteArray, QByteArray, std::string, Qt::DropAction> Rows[] = {
      {"txtSource", Url + "\r\n", "", Card, Qt::CopyAction},
      {"Label3", Url + "\r\n", Url, Card, Qt::CopyAction},
      {"Image1", Url + "\r\n" + Second + "\r\n", "", Card, Qt::CopyAction},
      {"btnStart", "", QByteArray::fromStdString(Card), Card, Qt::CopyAction},
      {"btnSource", Dir + "\r\n", "", "old", Qt::IgnoreAction},
      {"txtSource", Dir + "\r\n", Dir, "old", Qt::IgnoreAction},
      {"txtSource", Web + "\r\n", Web, "old", Qt::IgnoreAction},
      {"Label1", "", "words", "old", Qt::IgnoreAction},
      {"txtSource", "", " words", "old words", Qt::CopyAction},
  };
  Driver.On<QDialog>([](QDialog* Opened) {
    ADD_FAILURE() << Opened->windowTitle().toStdString() << " opened";
    Opened->reject();
  });
  for (const auto& [Onto, UriList, Text, After, Taken] : Rows) {
    SCOPED_TRACE(Onto + (" " + UriList + Text).toStdString());
    PathBox()->setText("old");
    Control<QWidget>("btnSource")->setFocus();
    QMimeData Data;
    if (!UriList.isEmpty()) Data.setData("text/uri-list", UriList);
    if (!Text.isEmpty()) Data.setData("text/plain", Text);
    EXPECT_EQ(DropOn(Onto, Data), Taken);
    EXPECT_EQ(PathBox()->text().toStdString(), After);
    EXPECT_TRUE(After != Card || QApplication::focusWidget() == PathBox());
  }
  EXPECT_FALSE(Driver.Finished()) << "nothing opened";
}

// The tests that depend on the screen's scale.
class QtWindowAtScale : public QtMainWindowTest {};

QString ArtPath(const QString& File) {
  return QStringLiteral(MIRVANE_ART_DIR "/") + File;
}

// Where the picture button draws its picture and caption.
ButtonFace FaceOf(QPushButton* Button) {
  const QSize Picture = QImageReader(ArtPath(Button->objectName() + ".gif")).size();
  return PictureButtonFace({0, 0, Button->width(), Button->height()},
                           {Picture.width(), Picture.height()},
                           qCeil(QFontMetricsF(Button->font(), Button).height()), kBaseDpi);
}

// Whether every control's text fits it, in the control's font, by the
// window's own rule.
::testing::AssertionResult EveryTextFits(QWidget& Window) {
  for (const ControlEntry& Entry : kControls) {
    auto* Widget = Window.findChild<QWidget*>(QString::fromUtf8(Entry.Name));
    if (!TextFits(Widget, Widget->font())) return ::testing::AssertionFailure() << Entry.Name;
  }
  return ::testing::AssertionSuccess();
}

TEST_F(QtWindowAtScale, TextFitsEveryControl) {
  EXPECT_TRUE(EveryTextFits(Window));
}

// Desktops set larger fonts than the layout was cut for: GNOME Cantarell 11,
// KDE Noto Sans 10. Every control but the credit link shows the desktop's font
// at one size, the largest up to the desktop's at which every text fits.
class QtWindowUnderADesktopFont : public ::testing::TestWithParam<double> {};

TEST_P(QtWindowUnderADesktopFont, LettersItsControlsAtOneSizeTheLargestThatFits) {
  const QFont Usual = QApplication::font();
  QFont Desktop = Usual;
  Desktop.setPointSizeF(GetParam());
  QApplication::setFont(Desktop);
  MainWindowQt Window;
  QApplication::setFont(Usual);
  QFont Shown = Window.font();
  EXPECT_EQ(Shown.family(), Desktop.family());
  EXPECT_LT(Shown.pointSizeF(), GetParam()) << "each size is more than the layout holds";
  for (const ControlEntry& Entry : kControls) {
    const QFont Font = Window.findChild<QWidget*>(QString::fromUtf8(Entry.Name))->font();
    EXPECT_EQ(Font == Shown, Entry.Kind != ControlKind::LinkLabel) << Entry.Name;
  }
  EXPECT_TRUE(EveryTextFits(Window));
  Shown.setPointSizeF(Shown.pointSizeF() + 0.25);
  Window.setFont(Shown);
  EXPECT_FALSE(EveryTextFits(Window)) << "a quarter point larger, a text is cut";
}

INSTANTIATE_TEST_SUITE_P(Sizes, QtWindowUnderADesktopFont,
                         ::testing::Values(8.0, 10.0, 11.0, 14.0));

// Compares the opaque pixels of the artwork file that suits the widget's
// screen with what the widget shows with its top left corner at At.
::testing::AssertionResult ShowsArtwork(QWidget* Widget, QPoint At) {
  const qreal Ratio = Widget->devicePixelRatioF();
  if (Ratio != 1 && Ratio != 2) {
    return ::testing::AssertionFailure() << "the artwork is drawn at 1x and 2x only";
  }
  const QString File = Widget->objectName() + (Ratio == 2 ? "@2x.gif" : ".gif");
  const QImage Art = QImage(ArtPath(File)).convertToFormat(QImage::Format_ARGB32);
  if (Art.isNull()) return ::testing::AssertionFailure() << "cannot read " << File.toStdString();
  const QImage Shown = Widget->grab().toImage().convertToFormat(QImage::Format_ARGB32);
  int Differing = 0;
  for (int Y = 0; Y < Art.height(); ++Y) {
    for (int X = 0; X < Art.width(); ++X) {
      if (qAlpha(Art.pixel(X, Y)) == 0) continue;
      const QPoint On = At * Ratio + QPoint(X, Y);
      if (!Shown.valid(On) || Shown.pixel(On) != Art.pixel(X, Y)) ++Differing;
    }
  }
  if (Differing == 0) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << Differing << " pixels differ from " << File.toStdString() << " at " << Ratio << "x";
}

TEST_F(QtWindowAtScale, PicturesShowTheArtworkPixelForPixel) {
  EXPECT_TRUE(ShowsArtwork(Control<QWidget>("Image1"), {0, 0}));
  auto* Button = Control<QPushButton>("btnStart");
  const PixelRect Picture = FaceOf(Button).Picture;
  EXPECT_TRUE(ShowsArtwork(Button, {Picture.Left, Picture.Top}));
}

}  // namespace
}  // namespace mirvane

#include "main_window_qt_test.moc"
