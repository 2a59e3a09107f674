// The whole program on the offscreen platform: the game wired to the real windows, driven
// through them as a person would.
#include "app/program.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QSpontaneKeyEvent>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "rules/board.h"

namespace pyra {
namespace {

// Answers the next message box with its default button and remembers what it said. It
// looks for the box on every pass of the event loop, since the game may run the loop
// before it opens the box.
struct BoxAnswer {
  QString text, title;
  bool seen = false;
  QTimer poll;
  void Arm() {
    poll.setInterval(0);
    QObject::connect(&poll, &QTimer::timeout, [this] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (box == nullptr || !box->isVisible()) return;
      poll.stop();
      seen = true;
      text = box->text();
      title = box->windowTitle();
      box->defaultButton()->click();
    });
    poll.start();
  }
};

bool AllWhite(const QImage& image) {
  for (int i = 0; i < image.width() * image.height(); ++i) {
    if (image.pixel(i % image.width(), i / image.width()) != qRgb(255, 255, 255)) return false;
  }
  return true;
}

class ProgramTest : public ::testing::Test {
 protected:
  ProgramTest() {
    program.TheGame().seedOnLoad = false;
    program.Screen().SetPacing(false);
  }
  void Release(Qt::MouseButton button, QPoint at) {
    BoardWidget& board = program.Window().Board();
    QMouseEvent press(QEvent::MouseButtonPress, at, board.mapToGlobal(at), button, button,
                      Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, at, board.mapToGlobal(at), button, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(&board, &press);
    QApplication::sendEvent(&board, &release);
  }
  // The program has ended: every window gone, both clocks stopped, the loop no longer runs.
  void ExpectEnded() {
    EXPECT_TRUE(program.Shell().Quitting());
    for (QWidget* w : std::initializer_list<QWidget*>{
             &program.Window(), &program.Companions().NextBox(), &program.Companions().PointBox(),
             &program.Companions().PointBox2(), &program.Companions().Message()}) {
      EXPECT_FALSE(w->isVisible()) << w->windowTitle().toStdString();
    }
    EXPECT_FALSE(program.Comtimer().Enabled());
    EXPECT_FALSE(program.Mantimer().Enabled());
    EXPECT_FALSE(program.Screen().ProcessPendingEvents());
  }
  bool CloseBox() {
    QCloseEvent event;
    QSpontaneKeyEvent::setSpontaneous(&event);
    qApp->notify(&program.Window(), &event);
    return event.isAccepted();
  }
  // Each test starts on an empty store of its own.
  QTemporaryDir storeFolder;
  Program program{storeFolder.filePath("store.sqlite3").toStdString()};
};

TEST_F(ProgramTest, ASecondCopyShowsWhyAndEnds) {
  BoxAnswer answer;
  answer.Arm();
  EXPECT_FALSE(program.Start(true));
  EXPECT_TRUE(answer.seen);
  EXPECT_EQ(answer.title, QString("Pyra3"));
  EXPECT_EQ(answer.text, QString::fromUtf8("Pyra3はすでに実行されています。\n"));
  ExpectEnded();
}

TEST_F(ProgramTest, StartsWithTheDemoAndASpaceStartsARealGame) {
  ASSERT_TRUE(program.Start(false));
  MainWindow& window = program.Window();
  CompanionWindows& companions = program.Companions();
  GameState& state = program.State();

  // The demo: the board drawn, the companion windows up, the notice showing, the computer's
  // clock at double speed, no pause item.
  EXPECT_TRUE(window.isVisible());
  EXPECT_EQ(window.windowTitle(), QString("Pyra3"));
  EXPECT_EQ(window.ClientSize(), QSize(256, 192));
  EXPECT_EQ(state.BoardCols, 8);
  EXPECT_EQ(state.BoardRows, 6);
  EXPECT_TRUE(state.DemoMode);
  EXPECT_FALSE(AllWhite(program.Painter().Image()));
  EXPECT_TRUE(companions.NextBox().isVisible());
  EXPECT_TRUE(companions.PointBox().isVisible());
  EXPECT_TRUE(companions.PointBox2().isVisible());
  EXPECT_TRUE(companions.Message().isVisible());
  EXPECT_EQ(companions.Message().Text(),
            QString::fromUtf8("現在デモ実行中です。\nスペースキーを押してください。"));
  EXPECT_TRUE(program.Comtimer().Enabled());
  EXPECT_EQ(program.Comtimer().Interval(), 250);
  EXPECT_FALSE(window.Item(MenuItem::Pause)->isVisible());

  // Clicks do nothing during the demo.
  const auto boardBefore = state.Board;
  Release(Qt::LeftButton, QPoint(40, 40));
  EXPECT_EQ(state.Board, boardBefore);

  // One tick of the computer's clock, then the space bar in the NEXT window: a real game,
  // announced in a box; A (a person) opens.
  program.TheGame().comtimer_Timer();
  BoxAnswer answer;
  answer.Arm();
  QTest::keyClick(&companions.NextBox(), Qt::Key_Space);
  EXPECT_TRUE(answer.seen);
  EXPECT_EQ(answer.text, QString::fromUtf8("一番勝負です。頑張りましょう。"));
  EXPECT_FALSE(state.DemoMode);
  EXPECT_FALSE(companions.Message().isVisible());
  EXPECT_EQ(state.Turn, SideA);
  EXPECT_TRUE(program.Mantimer().Enabled());
  EXPECT_FALSE(program.Comtimer().Enabled());
  EXPECT_EQ(program.Comtimer().Interval(), 500);
  EXPECT_TRUE(window.Item(MenuItem::Pause)->isVisible());
  EXPECT_EQ(companions.PointBox().windowTitle(), QString(">A - Player A"));
  EXPECT_EQ(companions.PointBox2().windowTitle(), QString::fromUtf8(" B - コンピュータ"));

  // A left-button release over an empty cell places A's piece there; B's clock starts.
  int empty = -1;
  for (int i = 0; i < state.CellCount() && empty < 0; ++i) {
    if (state.Board[i] == Empty) empty = i;
  }
  ASSERT_GE(empty, 0);
  const int column = CellColumn(state, empty);
  const int row = CellRow(state, empty);
  Release(Qt::LeftButton, QPoint(column * 32 + 31, row * 32 + 31));
  EXPECT_EQ(state.Turn, SideB);
  EXPECT_TRUE(program.Comtimer().Enabled());
  EXPECT_FALSE(program.Mantimer().Enabled());
  EXPECT_EQ(companions.PointBox2().windowTitle(), QString::fromUtf8(">B - コンピュータ"));
}

TEST_F(ProgramTest, MinimisingPutsTheGameAsideAndRestoringBringsItBack) {
  ASSERT_TRUE(program.Start(false));
  CompanionWindows& companions = program.Companions();
  ASSERT_TRUE(program.Comtimer().Enabled());
  program.Window().setWindowState(Qt::WindowMinimized);
  QCoreApplication::processEvents();
  EXPECT_FALSE(companions.NextBox().isVisible());
  EXPECT_FALSE(companions.PointBox().isVisible());
  EXPECT_FALSE(companions.Message().isVisible());
  EXPECT_FALSE(program.Comtimer().Enabled());
  program.Window().setWindowState(Qt::WindowNoState);
  QCoreApplication::processEvents();
  EXPECT_TRUE(companions.NextBox().isVisible());
  EXPECT_TRUE(companions.PointBox2().isVisible());
  EXPECT_TRUE(companions.Message().isVisible());
  EXPECT_TRUE(program.Comtimer().Enabled());
}

TEST_F(ProgramTest, TheCloseBoxEndsTheProgramOnce) {
  ASSERT_TRUE(program.Start(false));
  EXPECT_TRUE(CloseBox());
  ExpectEnded();

  // The shut-down cleared the windows once; a second close does not run it again.
  QImage& next = program.Companions().NextBox().Image();
  next.fill(Qt::red);
  EXPECT_TRUE(CloseBox());
  EXPECT_EQ(next.pixel(0, 0), qRgb(255, 0, 0));
}

TEST_F(ProgramTest, EscEndsTheProgramFromAnyWindow) {
  ASSERT_TRUE(program.Start(false));
  QTest::keyClick(&program.Companions().PointBox(), Qt::Key_Escape);
  ExpectEnded();
}

}  // namespace
}  // namespace pyra
