// The companion windows: captions, sizes, fonts, what they print, where they go, keys and
// the activation they hand back.
#include "view/companion_windows.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCloseEvent>
#include <QFontInfo>
#include <QKeyEvent>
#include <QMainWindow>
#include <QSpontaneKeyEvent>
#include <QTest>

namespace pyra {
namespace {

// The four companion windows of a main window.
class CompanionWindowsTest : public ::testing::Test {
 protected:
  std::vector<CompanionWindow*> All() {
    return {&windows.NextBox(), &windows.PointBox(), &windows.PointBox2(), &windows.Message()};
  }
  QMainWindow main;
  CompanionWindows windows{&main};
};
using CompanionPlacement = CompanionWindowsTest;
using CompanionWindowsInput = CompanionWindowsTest;

TEST_F(CompanionWindowsTest, CaptionsClientSizesAndStyle) {
  const std::pair<const char*, QSize> rows[] = {
      {"NEXT", {58, 32}}, {"A", {155, 38}}, {"B", {155, 37}}, {"Message", {318, 70}}};
  for (int i = 0; i < 4; ++i) {
    const auto& [caption, client] = rows[i];
    CompanionWindow* w = All()[i];
    SCOPED_TRACE(caption);
    EXPECT_EQ(w->windowTitle(), QString(caption));
    EXPECT_EQ(w->size(), client);
    EXPECT_EQ(w->minimumSize(), client) << "not resizable";
    EXPECT_EQ(w->maximumSize(), client);
    EXPECT_EQ(w->Image().size(), client);
    EXPECT_EQ(w->windowType(), Qt::Tool);
    EXPECT_TRUE(w->windowFlags() & Qt::WindowDoesNotAcceptFocus);
    EXPECT_EQ(w->parentWidget(), &main);
    EXPECT_TRUE(windows.IsCompanion(w));
    EXPECT_FALSE(w->isVisible());
  }
  EXPECT_FALSE(windows.IsCompanion(&main));
  EXPECT_FALSE(windows.IsCompanion(nullptr));
}

TEST(CompanionWindows, FontsAreTheInstalledMetricCompatibleOnes) {
  const QFontInfo score(ScoreFont());
  EXPECT_EQ(score.family(), QString("Liberation Sans"));
  EXPECT_TRUE(score.bold());
  EXPECT_EQ(score.pixelSize(), 32);
  const QFontInfo message(MessageFont());
  EXPECT_EQ(message.family(), QString("IPAGothic"));
  EXPECT_EQ(message.pixelSize(), 18);
  EXPECT_TRUE(QFontMetrics(MessageFont()).inFont(QChar(0x30C7)));  // デ
}

TEST(CompanionWindows, ScoreTextHasASignPlace) {
  const std::pair<int16_t, const char*> rows[] = {
      {0, " 0"},    {7, " 7"},         {-1, "-1"},        {21, " 21"},
      {-88, "-88"}, {32767, " 32767"}, {-32768, "-32768"}};
  for (const auto& [score, text] : rows) EXPECT_EQ(ScoreText(score), QString(text)) << score;
}

// The bounding box of the pixels that differ from the background.
QRect Ink(const QImage& image, QRgb background) {
  QRect box;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (image.pixel(x, y) != background) box |= QRect(x, y, 1, 1);
    }
  }
  return box;
}

TEST_F(CompanionWindowsTest, ScoresArePrintedFromTheTopLeftInTheirColours) {
  for (int side : {0, 1}) {
    SCOPED_TRACE(side);
    ScoreBox& box = windows.Score(side);
    const QRgb background = box.BackgroundColour().rgb();
    const QRgb ink = side == 0 ? main.palette().color(QPalette::WindowText).rgb() : 0xFF000000u;
    EXPECT_EQ(box.TextColour().rgb(), ink);

    box.ShowScore(-88);
    const QRect wide = Ink(box.Image(), background);
    ASSERT_FALSE(wide.isEmpty());
    EXPECT_LT(wide.left(), 6);  // the minus sign starts at the left edge
    EXPECT_LT(wide.top(), 10);  // a 32-pixel font from the top
    EXPECT_LE(wide.bottom(), box.height() - 1);
    int inkPixels = 0;
    for (int i = 0; i < box.Image().width() * box.Image().height(); ++i) {
      inkPixels += box.Image().pixel(i % box.Image().width(), i / box.Image().width()) == ink;
    }
    EXPECT_GT(inkPixels, 40);

    // A score of 0 or more keeps a blank where the sign goes.
    box.ShowScore(8);
    const QRect eight = Ink(box.Image(), background);
    EXPECT_GT(eight.left(), 6);
    EXPECT_LT(eight.right(), wide.right()) << "the old score is cleared";

    // Reprinting is the same as printing on a fresh box.
    ScoreBox fresh(&main, "X", box.size(), box.TextColour());
    fresh.ShowScore(8);
    EXPECT_EQ(fresh.Image(), box.Image());
  }
}

TEST_F(CompanionWindowsTest, MessagesPrintLineByLineFromTheTopLeftAndShowTheWindow) {
  MessageWindow& message = windows.Message();
  const QString text =
      QString::fromUtf8("ゲームを再開するには\nｹﾞｰﾑ(G)-再開(R)を\n選択してください。");
  message.ShowText(text);
  EXPECT_TRUE(message.isVisible());
  EXPECT_EQ(message.Text(), text);

  // Three bands of rows with ink, all inside the 70-pixel window, starting at the top left.
  const QRgb background = message.BackgroundColour().rgb();
  const QImage& image = message.Image();
  std::vector<bool> inked(image.height(), false);
  int left = image.width();
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (image.pixel(x, y) != background) {
        inked[y] = true;
        left = std::min(left, x);
      }
    }
  }
  int bands = 0;
  int firstRow = -1;
  for (int y = 0; y < image.height(); ++y) {
    if (inked[y] && (y == 0 || !inked[y - 1])) ++bands;
    if (inked[y] && firstRow < 0) firstRow = y;
  }
  EXPECT_EQ(bands, 3);
  EXPECT_LT(firstRow, 8);
  EXPECT_LT(left, 4);
  EXPECT_FALSE(inked[image.height() - 1]) << "the third line fits";

  // A new message replaces the old one completely.
  message.ShowText("A");
  const QRect ink = Ink(message.Image(), background);
  EXPECT_LT(ink.bottom(), 24);
  EXPECT_LT(ink.right(), 20);
}

TEST_F(CompanionPlacement, EachWindowAppearsWhereItWasPlacedAndStaysWhereTheUserPutsIt) {
  main.resize(256, 220);
  main.move(100, 80);
  main.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
  const QPoint places[] = {{366, 80}, {100, 300}, {263, 300}, {100, 300}};
  for (int i = 0; i < 4; ++i) All()[i]->Place(places[i]);
  windows.ShowCompanions();
  windows.Message().ShowText("x");
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(All()[i]->windowTitle().toStdString());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(All()[i]));
    EXPECT_EQ(All()[i]->frameGeometry().topLeft(), places[i]) << "the frame's corner is placed";
    EXPECT_EQ(All()[i]->PlacedAt(), std::optional<QPoint>(places[i]));
  }

  // Moving the main window does not drag them along; a window the user has moved keeps its
  // new place when it is shown again.
  windows.NextBox().move(500, 200);
  windows.HideCompanions();
  main.move(20, 20);
  windows.ShowCompanions();
  EXPECT_EQ(windows.NextBox().frameGeometry().topLeft(), QPoint(500, 200));
  EXPECT_EQ(windows.PointBox().frameGeometry().topLeft(), QPoint(100, 300));
}

TEST_F(CompanionWindowsInput, EveryWindowPassesKeyReleasesOn) {
  std::vector<int> keys;
  windows.SetKeyHandler([&](int key) { keys.push_back(key); });
  for (CompanionWindow* window : All()) {
    SCOPED_TRACE(window->windowTitle().toStdString());
    keys.clear();
    QTest::keyClick(window, Qt::Key_Space);
    QTest::keyClick(window, Qt::Key_Escape);
    QTest::keyClick(window, Qt::Key_B);
    QKeyEvent stray(QEvent::KeyRelease, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(window, &stray);  // its press went elsewhere
    EXPECT_EQ(keys, (std::vector<int>{32, 27, 66}));
  }
}

// Counts the activations a window receives.
class ActivationCounter : public QObject {
 public:
  int count = 0;
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::WindowActivate) ++count;
    return false;
  }
};

TEST_F(CompanionWindowsInput, AnActivatedCompanionHandsTheActivationBack) {
  main.show();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&main));
  for (CompanionWindow* window : All()) {
    SCOPED_TRACE(window->windowTitle().toStdString());
    ActivationCounter counter;
    window->installEventFilter(&counter);
    // This platform activates every window it shows, as a window manager might do with a
    // companion despite its hint.
    window->hide();
    window->show();
    EXPECT_TRUE(QTest::qWaitFor([&] { return counter.count > 0; }, 1000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == &main; }, 1000));
    window->removeEventFilter(&counter);
  }
}

TEST_F(CompanionWindowsInput, TheUserCannotCloseOneOnItsOwn) {
  windows.ShowCompanions();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&windows.PointBox()));
  // The window's close box: a close event from the window system.
  QCloseEvent closeBox;
  QSpontaneKeyEvent::setSpontaneous(&closeBox);
  qApp->notify(&windows.PointBox(), &closeBox);
  EXPECT_FALSE(closeBox.isAccepted());
  EXPECT_TRUE(windows.PointBox().isVisible());
  windows.CloseAll();
  EXPECT_FALSE(windows.PointBox().isVisible());
  EXPECT_FALSE(windows.NextBox().isVisible());
  EXPECT_FALSE(windows.Message().isVisible());
}

TEST_F(CompanionWindowsTest, AWindowMinimisedWithItsMainWindowComesBackNormal) {
  // A window manager minimises the companions with the main window; the game then hides
  // them. Shown again minimised, they would take the main window down with them.
  for (CompanionWindow* w : All()) {
    w->show();
    w->setWindowState(Qt::WindowMinimized);
    w->hide();
  }
  windows.ShowCompanions();
  windows.Message().ShowText("x");
  for (CompanionWindow* w : All()) {
    EXPECT_TRUE(w->isVisible());
    EXPECT_FALSE(w->windowState() & Qt::WindowMinimized) << w->windowTitle().toStdString();
  }
}

}  // namespace
}  // namespace pyra
