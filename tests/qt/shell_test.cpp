// The shell's ports on Qt: clocks, message boxes, the single-instance lock, the pacing of
// the board, the about box, and the screen and shell over real windows and painting.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utime.h>

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTranslator>
#include <functional>

#include "app/about_box.h"
#include "app/main_window.h"
#include "app/pacer.h"
#include "app/qt_ports.h"
#include "app/qt_settings_windows.h"
#include "app/single_instance.h"
#include "rules/board.h"
#include "store/load_settings.h"
#include "store/player_records.h"
#include "store/settings_store.h"
#include "view/board_painter.h"
#include "view/companion_windows.h"
#include "view/picture_holder.h"

namespace pyra {
namespace {

TEST(QtClockTest, EnableDisableAndInterval) {
  QtClock clock(500);
  EXPECT_EQ(clock.Interval(), 500);
  EXPECT_FALSE(clock.Enabled()) << "a new clock does not run";
  clock.SetEnabled(true);
  const int id = clock.Timer().timerId();
  clock.SetEnabled(true);
  EXPECT_EQ(clock.Timer().timerId(), id) << "enabling a running clock does not restart it";
  EXPECT_TRUE(clock.Enabled());
  for (int i = 0; i < 2; ++i) {
    clock.SetEnabled(false);
    EXPECT_FALSE(clock.Enabled());
  }
  clock.SetInterval(250);
  EXPECT_EQ(clock.Interval(), 250);
  EXPECT_FALSE(clock.Enabled()) << "changing the interval does not start it";
}

TEST(QtClockTest, TicksOnlyWhileEnabled) {
  QtClock clock(0);  // ticks on every pass of the event loop
  int ticks = 0;
  clock.SetTickHandler([&] { ++ticks; });
  QCoreApplication::processEvents();
  EXPECT_EQ(ticks, 0);
  clock.SetEnabled(true);
  for (int i = 0; i < 3 && ticks == 0; ++i) QCoreApplication::processEvents();
  EXPECT_GT(ticks, 0);
  clock.SetEnabled(false);
  const int before = ticks;
  for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
  EXPECT_EQ(ticks, before);
}

TEST(QtClockTest, AHandlerThatDisablesItsClockGetsOneTick) {
  QtClock clock(0);
  int ticks = 0;
  clock.SetTickHandler([&] {
    ++ticks;
    clock.SetEnabled(false);
  });
  clock.SetEnabled(true);
  for (int i = 0; i < 5; ++i) QCoreApplication::processEvents();
  EXPECT_EQ(ticks, 1);
}

class DialogsTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    translator = new QTranslator;
    ASSERT_TRUE(translator->load(QLocale(QLocale::Japanese, QLocale::Japan), "qtbase", "_",
                                 QLibraryInfo::path(QLibraryInfo::TranslationsPath)));
    QApplication::installTranslator(translator);
  }
  static void TearDownTestSuite() {
    QApplication::removeTranslator(translator);
    delete translator;
  }
  // Runs `handle` on the message box once it is open.
  static void OnBox(std::function<void(QMessageBox*)> handle) {
    QTimer::singleShot(0, [handle] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      ASSERT_NE(box, nullptr);
      handle(box);
    });
  }
  static QTranslator* translator;
};
QTranslator* DialogsTest::translator = nullptr;

TEST_F(DialogsTest, ShowsTheGivenBoxAndReturnsTheAnswer) {
  QWidget main;
  main.show();
  QtDialogs dialogs(&main);
  const QStringList ok{"OK"}, yesNo{QString::fromUtf8("はい(&Y)"), QString::fromUtf8("いいえ(&N)")},
      retryCancel{QString::fromUtf8("再試行"), QString::fromUtf8("キャンセル")};
  // click: the button the user clicks, or Esc when NoButton.
  struct Row {
    MsgButtons buttons;
    MsgIcon icon;
    QMessageBox::Icon qtIcon;
    QMessageBox::StandardButton click;
    MsgAnswer expected;
    const QStringList& labels;
  };
  using B = MsgButtons;
  using I = MsgIcon;
  using Q = QMessageBox;
  const Row rows[] = {
      {B::Ok, I::Exclamation, Q::Warning, Q::Ok, MsgAnswer::Ok, ok},
      {B::Ok, I::None, Q::NoIcon, Q::NoButton, MsgAnswer::Ok, ok},
      {B::Ok, I::Information, Q::Information, Q::Ok, MsgAnswer::Ok, ok},
      {B::YesNo, I::Question, Q::Question, Q::Yes, MsgAnswer::Yes, yesNo},
      {B::YesNo, I::Question, Q::Question, Q::No, MsgAnswer::No, yesNo},
      {B::YesNo, I::None, Q::NoIcon, Q::NoButton, MsgAnswer::No, yesNo},
      {B::RetryCancel, I::Error, Q::Critical, Q::Retry, MsgAnswer::Retry, retryCancel},
      {B::RetryCancel, I::Exclamation, Q::Warning, Q::Cancel, MsgAnswer::Cancel, retryCancel},
      {B::RetryCancel, I::Exclamation, Q::Warning, Q::NoButton, MsgAnswer::Cancel, retryCancel},
  };
  const std::string text = "一行目\n二行目 <b>そのまま</b>\n";
  for (const Row& row : rows) {
    SCOPED_TRACE(row.labels.join(",").toStdString() + " " +
                 std::to_string(static_cast<int>(row.click)));
    bool seen = false;
    OnBox([&](QMessageBox* box) {
      seen = true;
      EXPECT_EQ(box->windowTitle(), QString("Pyra3"));
      EXPECT_EQ(box->text(), QString::fromStdString(text)) << "plain text, line breaks kept";
      EXPECT_EQ(box->icon(), row.qtIcon);
      QStringList buttons, labels = row.labels;
      for (QAbstractButton* b : box->buttons()) buttons << b->text();
      buttons.sort();
      labels.sort();
      EXPECT_EQ(buttons, labels);
      EXPECT_EQ(box->defaultButton() ? box->defaultButton()->text() : QString(), row.labels.front())
          << "the first button is the default";
      EXPECT_EQ(box->parentWidget(), &main);
      EXPECT_TRUE(box->isModal());
      EXPECT_TRUE(box->isVisible());
      if (row.click == QMessageBox::NoButton) {
        QTest::keyClick(box, Qt::Key_Escape);
      } else {
        box->button(row.click)->click();
      }
    });
    EXPECT_EQ(dialogs.MessageBox(text, "Pyra3", row.buttons, row.icon), row.expected);
    EXPECT_TRUE(seen);
  }
}

TEST_F(DialogsTest, BeforeTheMainWindowIsUpTheBoxIsInTheMiddleOfTheScreen) {
  QWidget hiddenMain;
  QtDialogs dialogs(&hiddenMain);
  QPoint offset;
  OnBox([&](QMessageBox* box) {
    offset = box->frameGeometry().center() - box->screen()->availableGeometry().center();
    box->button(QMessageBox::Ok)->click();
  });
  EXPECT_EQ(dialogs.MessageBox("Pyra3はすでに実行されています。\n", "Pyra3", MsgButtons::Ok,
                               MsgIcon::Exclamation),
            MsgAnswer::Ok);
  EXPECT_LE(offset.manhattanLength(), 4) << "off by at most the frame's width";
}

class SingleInstanceTest : public ::testing::Test {
 protected:
  QString Path() const { return dir.filePath("pyra3.lock"); }
  // A child process that runs `body` and ends without any clean-up, as a crash would.
  static pid_t Child(const std::function<void()>& body) {
    const pid_t pid = fork();
    if (pid == 0) {
      body();
      _exit(0);
    }
    return pid;
  }
  QTemporaryDir dir;
};

TEST_F(SingleInstanceTest, ASecondCopyIsRefusedWhileTheFirstRuns) {
  auto first = std::make_unique<SingleInstance>(Path());
  EXPECT_FALSE(first->AnotherInstanceRuns());
  EXPECT_TRUE(first->Held());
  EXPECT_FALSE(first->AnotherInstanceRuns()) << "asking again does not refuse oneself";
  SingleInstance second(Path());
  EXPECT_TRUE(second.AnotherInstanceRuns());
  EXPECT_FALSE(second.Held());
  first.reset();  // the first copy ends normally
  SingleInstance third(Path());
  EXPECT_FALSE(third.AnotherInstanceRuns());
  EXPECT_TRUE(third.Held());
}

TEST_F(SingleInstanceTest, ALockLeftByADeadCopyDoesNotBlock) {
  const std::function<void()> leaveStaleLock[] = {
      [&] {  // a copy that crashes, leaving its lock file behind
        const pid_t pid = Child([&] {
          SingleInstance crashing(Path());
          _exit(crashing.AnotherInstanceRuns() ? 3 : 0);
        });
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        ASSERT_EQ(WEXITSTATUS(status), 0);
        ASSERT_TRUE(QFile::exists(Path()));
      },
      [&] {  // a hand-written lock naming a dead, reaped process
        const pid_t pid = Child([] {});
        ASSERT_EQ(waitpid(pid, nullptr, 0), pid);
        QFile file(Path());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray::number(pid) + "\npyra3\n" + QSysInfo::machineHostName().toUtf8() +
                   "\n");
      }};
  for (const auto& leave : leaveStaleLock) {
    QFile::remove(Path());
    leave();
    SingleInstance next(Path());
    EXPECT_FALSE(next.AnotherInstanceRuns());
    EXPECT_TRUE(next.Held());
  }
}

TEST_F(SingleInstanceTest, ALiveCopyBlocksHoweverOldItsLockIs) {
  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  const pid_t pid = Child([&] {
    SingleInstance running(Path());
    const char c = running.AnotherInstanceRuns() ? 'n' : 'y';
    (void)!write(ready[1], &c, 1);
    pause();
  });
  char c = 0;
  ASSERT_EQ(read(ready[0], &c, 1), 1);
  ASSERT_EQ(c, 'y');
  // An hour old: age alone never makes the lock of a running copy stale.
  const struct utimbuf old { time(nullptr) - 3600, time(nullptr) - 3600 };
  ASSERT_EQ(utime(QFile::encodeName(Path()).constData(), &old), 0);
  {
    SingleInstance second(Path());
    EXPECT_TRUE(second.AnotherInstanceRuns());
  }
  kill(pid, SIGKILL);
  ASSERT_EQ(waitpid(pid, nullptr, 0), pid);
  SingleInstance afterCrash(Path());
  EXPECT_FALSE(afterCrash.AnotherInstanceRuns());
  close(ready[0]);
  close(ready[1]);
}

TEST_F(SingleInstanceTest, NoPlaceForTheLockMeansRunAnyway) {
  SingleInstance nowhere(dir.filePath("missing/folder/pyra3.lock"));
  EXPECT_FALSE(nowhere.AnotherInstanceRuns());
  EXPECT_FALSE(nowhere.Held());
}

TEST(SingleInstancePath, RuntimeFolderFirstThenTheConfigurationFolder) {
  struct SavedVariable {
    const char* name;
    QByteArray value = qgetenv(name);
    ~SavedVariable() { value.isNull() ? qunsetenv(name) : qputenv(name, value); }
  } savedRuntime{"XDG_RUNTIME_DIR"}, savedConfig{"XDG_CONFIG_HOME"};
  QTemporaryDir runtime, config;
  QFile::setPermissions(runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  qputenv("XDG_RUNTIME_DIR", runtime.path().toUtf8());
  qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
  EXPECT_EQ(SingleInstance::DefaultLockPath(), runtime.path() + "/pyra3.lock");
  qunsetenv("XDG_RUNTIME_DIR");
  EXPECT_EQ(SingleInstance::DefaultLockPath(), config.path() + "/Pyra3/pyra3.lock");
}

using std::chrono::milliseconds;
using Us = Pacer::Duration;

// A pacer on a fake clock that only moves when the pacer sleeps.
struct PacedBoard {
  struct Shown {
    Us at;
    QRegion area;
  };
  Us now{1'000'000};
  int sleeps = 0;
  std::vector<Shown> shown;
  Pacer pacer{[this](const QRegion& r) {
                shown.push_back({now, r});
              },
              [this] { return now; },
              [this](Us d) {
                now += d;
                ++sleeps;
              }};
  QRect Cell(int c, int r) const { return {c * 32, r * 32, 32, 32}; }
};

TEST(PacerTest, TheFramesOfAPlacementStayUpOneFrameTimeEach) {
  struct Row {
    std::vector<int16_t> steps;
    const char* what;
  };
  const Row rows[] = {{{16, 12, 8, 4, 0}, "a piece growing in"},
                      {{0, 4, 8, 12, 16}, "a piece shrinking away"}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    PacedBoard board;
    board.pacer.CellPainted(0, board.Cell(2, 2));  // a neighbour repainted first
    for (int16_t step : row.steps) board.pacer.CellPainted(step, board.Cell(3, 3));
    ASSERT_EQ(board.shown.size(), 6u);
    for (size_t i = 0; i < board.shown.size(); ++i) {
      EXPECT_EQ(board.shown[i].area, QRegion(i == 0 ? board.Cell(2, 2) : board.Cell(3, 3)));
    }
    // Every frame after the first of the effect waits a frame time; the growing piece also
    // leaves the neighbour a frame time before it starts.
    const int waits = row.steps.front() == 0 ? 4 : 5;
    EXPECT_EQ(board.sleeps, waits);
    for (size_t i = 1; i < board.shown.size(); ++i) {
      const Us gap = board.shown[i].at - board.shown[i - 1].at;
      if (i == 1 && waits == 4) {
        EXPECT_EQ(gap, Us(0));
      } else {
        EXPECT_GE(gap, milliseconds(15));
        EXPECT_LE(gap, milliseconds(20));
      }
    }
  }
}

TEST(PacerTest, OrdinaryRepaintsAndLateFramesDoNotWait) {
  PacedBoard board;
  for (int i = 0; i < 8; ++i) board.pacer.CellPainted(0, board.Cell(i, 0));
  EXPECT_EQ(board.sleeps, 0);
  board.pacer.CellPainted(16, board.Cell(1, 1));
  EXPECT_EQ(board.sleeps, 1) << "a frame right after a repaint waits";
  board.now += milliseconds(500);  // the next move comes long after
  board.pacer.CellPainted(16, board.Cell(2, 1));
  EXPECT_EQ(board.sleeps, 1) << "a frame long after the last one does not";
  board.pacer.CellPainted(0, board.Cell(3, 1));
  EXPECT_EQ(board.sleeps, 2) << "the frame right after a frame waits";
  board.pacer.CellPainted(0, board.Cell(4, 1));
  EXPECT_EQ(board.sleeps, 2) << "a repaint after the last frame does not";
}

TEST(PacerTest, ABoardDissolvesInWithinHalfASecondWhateverItsSize) {
  for (int cells : {1, 2, 30, 48, 64, 400, 1000, 2499, 2500}) {
    SCOPED_TRACE(cells);
    PacedBoard board;
    board.pacer.BeginReveal(cells);
    const Us start = board.now;
    QRegion all;
    for (int i = 0; i < cells; ++i) {
      board.pacer.CellPainted(0, board.Cell(i % 50, i / 50));
      all += board.Cell(i % 50, i / 50);
    }
    board.pacer.EndReveal();
    const Us total = board.now - start;
    EXPECT_GE(total, milliseconds(300));
    EXPECT_LE(total, milliseconds(600));
    // Every cell reaches the screen, in at most a few dozen presentations of k cells each.
    QRegion shown;
    for (const auto& s : board.shown) shown += s.area;
    EXPECT_EQ(shown, all);
    EXPECT_LE(board.shown.size(), static_cast<size_t>(Pacer::RevealPresentations));
    EXPECT_EQ(static_cast<int>(board.shown.size()),
              (cells + board.pacer.RevealBatch() - 1) / board.pacer.RevealBatch());
    if (cells <= Pacer::RevealPresentations) {
      EXPECT_EQ(board.pacer.RevealBatch(), 1) << "small boards: one cell at a time";
    }
  }
}

TEST(PacerTest, PaintingTimeCountsTowardsTheReveal) {
  PacedBoard board;
  board.pacer.BeginReveal(2500);
  const Us start = board.now;
  for (int i = 0; i < 2500; ++i) {
    board.now += Us(100);  // 0.1 ms of painting a cell
    board.pacer.CellPainted(0, board.Cell(i % 50, i / 50));
  }
  board.pacer.EndReveal();
  EXPECT_LE(board.now - start, milliseconds(460));
}

TEST(PacerTest, SwitchedOffNothingWaitsAndARevealIsShownInOnePiece) {
  PacedBoard board;
  board.pacer.SetEnabled(false);
  board.pacer.BeginReveal(48);
  for (int i = 0; i < 48; ++i) board.pacer.CellPainted(0, board.Cell(i % 8, i / 8));
  EXPECT_TRUE(board.shown.empty());
  board.pacer.EndReveal();
  ASSERT_EQ(board.shown.size(), 1u);
  EXPECT_EQ(board.shown[0].area, QRegion(0, 0, 256, 192));
  for (int16_t step : {16, 12, 8, 4, 0}) board.pacer.CellPainted(step, board.Cell(1, 1));
  EXPECT_EQ(board.shown.size(), 6u);
  EXPECT_EQ(board.sleeps, 0);
}

TEST(AboutBoxTest, LayoutPictureAndOkButton) {
  QWidget main;
  QImage picture(300, 200, QImage::Format_RGB32);
  for (int i = 0; i < 300 * 200; ++i)
    picture.setPixel(i % 300, i / 300, qRgb(i % 300 % 256, i / 300, 99));
  AboutBox box(&main, picture);
  EXPECT_EQ(box.size(), QSize(299, 192));
  EXPECT_EQ(box.minimumSize(), box.maximumSize()) << "fixed size";
  EXPECT_EQ(box.OkButton()->geometry(), QRect(248, 8, 33, 25));
  EXPECT_EQ(box.OkButton()->text(), QString("OK"));
  EXPECT_TRUE(box.windowTitle().isEmpty());

  // The picture from the top-left corner, cut off by the client area, under the button.
  box.OkButton()->hide();
  QImage shot(299, 192, QImage::Format_RGB32);
  box.render(&shot);
  box.OkButton()->show();
  EXPECT_EQ(shot, picture.copy(0, 0, 299, 192));
}

TEST(AboutBoxTest, OkClosesItAndItIsCentredOnlyTheFirstTime) {
  QWidget main;
  main.show();
  AboutBox box(&main, QImage(300, 200, QImage::Format_RGB32));
  bool wasModal = false;
  QTimer::singleShot(0, [&] {
    wasModal = QApplication::activeModalWidget() == &box;
    box.OkButton()->click();
  });
  box.Run();  // returns once OK is clicked
  EXPECT_TRUE(wasModal);
  EXPECT_FALSE(box.isVisible());
  const QRect screen = main.screen()->geometry();
  EXPECT_EQ(box.pos(), QPoint(screen.width() / 2 - 299 / 2, screen.height() / 2 - 192 / 2));

  box.move(10, 20);
  QTimer::singleShot(0, [&] { box.OkButton()->click(); });
  box.Run();
  EXPECT_EQ(box.pos(), QPoint(10, 20)) << "the next opening leaves it where it was";
}

class ScreenTest : public ::testing::Test {
 protected:
  ScreenTest() {
    options = GameOptions::Defaults();
    screen.SetPacing(false);
  }
  QImage BoardShot() {
    QImage shot(window.Board().size(), QImage::Format_RGB32);
    window.Board().render(&shot);
    return shot;
  }
  GameState state;
  GameOptions options;
  MainWindow window;
  CompanionWindows companions{&window};
  PictureHolder pictures;
  BoardPainter painter{state, pictures};
  QtScreen screen{window, companions, painter, pictures, options};
  QtDialogs dialogs{&window};
  QtClock comtimer{500}, mantimer{1000};
  SqliteSettingsStore store{":memory:"};
  PlayerRecords records{store, options, dialogs};
  QtSettingsWindows settingsWindows{window, companions, pictures, painter};
  SettingsSession session{settingsWindows, store, state, options, records};
  QtShell shell{window,   companions, screen,  pictures,       comtimer,
                mantimer, store,      session, settingsWindows};
};

TEST_F(ScreenTest, FirstRunLayoutGivesAnEightBySixBoardAndTheImageFollowsTheSize) {
  shell.LoadSettings();
  EXPECT_EQ(screen.ClientWidth(), 256);
  EXPECT_EQ(screen.ClientHeight(), 192);
  EXPECT_EQ(state.BoardCols, 8);
  EXPECT_EQ(state.BoardRows, 6);
  EXPECT_EQ(state.Turn, TurnNone);
  EXPECT_TRUE(window.screen()->availableGeometry().contains(window.geometry()));
  shell.ShowMainWindow();
  EXPECT_TRUE(window.isVisible());
  EXPECT_TRUE(screen.WindowIsNormal());
  EXPECT_EQ(painter.Image().size(), QSize(256, 192));
  // The board image follows the client size.
  for (QSize size : {QSize(320, 96), QSize(32, 64), QSize(640, 480), QSize(256, 192)}) {
    screen.SetClientSize(size.width(), size.height());
    EXPECT_EQ(screen.ClientWidth(), size.width());
    EXPECT_EQ(screen.ClientHeight(), size.height());
    EXPECT_EQ(painter.Image().size(), size);
  }
}

TEST_F(ScreenTest, PaintedCellsAreOnTheScreenAtOnce) {
  shell.ShowMainWindow();
  screen.SetClientSize(256, 192);
  state.BoardCols = 8;
  state.BoardRows = 6;
  state.Board.fill(Empty);
  state.Board[CellIndex(state, 2, 1)] = Water;
  screen.PrepareBackground();
  screen.ClearBoard();
  screen.PaintCell(2, 1, 0);
  const QImage shot = BoardShot();
  EXPECT_EQ(shot.copy(64, 32, 32, 32), painter.Image().copy(64, 32, 32, 32));
  EXPECT_NE(painter.Image().copy(64, 32, 32, 32), painter.Image().copy(96, 32, 32, 32))
      << "the water piece is drawn";
  // A reveal paints every cell once.
  screen.BeginReveal(48);
  for (int i = 0; i < 48; ++i) screen.PaintCell(i / 6, i % 6, 0);
  screen.EndReveal();
  EXPECT_EQ(BoardShot(), painter.Image());
}

TEST_F(ScreenTest, TitlePictureFillsTheClientArea) {
  shell.ShowMainWindow();
  screen.SetClientSize(256, 192);
  const QImage& title = pictures.TitlePicture();
  ASSERT_GE(title.width(), 299);
  ASSERT_GE(title.height(), 192);
  screen.ShowTitlePicture();
  // Stretched: the corners come from the corners of the about box's 299 x 192 view.
  EXPECT_EQ(painter.Image().pixel(0, 0), title.pixel(0, 0));
  EXPECT_EQ(painter.Image().pixel(255, 191), title.pixel(298, 191));
  EXPECT_EQ(BoardShot(), painter.Image());

  // Without stretching the picture is copied as it is from the top-left corner.
  screen.SetClientSize(352, 224);
  painter.Clear();
  painter.SetRasterCanStretch(false);
  screen.ShowTitlePicture();
  EXPECT_EQ(painter.Image().copy(0, 0, 299, 192), title.copy(0, 0, 299, 192));
  EXPECT_EQ(painter.Image().pixel(300, 200), qRgb(255, 255, 255));
}

TEST_F(ScreenTest, CaptionsMenusScoresAndNextPieces) {
  screen.SetCaption("あと3秒です。");
  EXPECT_EQ(window.windowTitle(), QString::fromUtf8("あと3秒です。"));
  EXPECT_EQ(screen.Caption(), "あと3秒です。");

  screen.SetMenuCaption(MenuItem::Pause, "再開(&R&ｽ)");
  EXPECT_EQ(window.Item(MenuItem::Pause)->text(), QString::fromUtf8("再開(&R&ｽ)"));
  for (MenuItem item : {MenuItem::NewGame, MenuItem::Pause, MenuItem::Jimi, MenuItem::ExitGame}) {
    screen.SetMenuVisible(item, false);
    EXPECT_FALSE(window.Item(item)->isVisible());
    screen.SetMenuVisible(item, true);
    EXPECT_TRUE(window.Item(item)->isVisible());
  }

  screen.SetScoreCaption(0, ">A - Player A");
  screen.SetScoreCaption(1, " B");
  EXPECT_EQ(companions.PointBox().windowTitle(), QString(">A - Player A"));
  EXPECT_EQ(companions.PointBox2().windowTitle(), QString(" B"));
  ScoreBox reference(&window, "r", companions.PointBox2().size(), Qt::black);
  reference.ShowScore(-5);
  screen.ShowScore(1, -5);
  EXPECT_EQ(companions.PointBox2().Image(), reference.Image());

  const QImage blank = companions.NextBox().Image();
  screen.DrawNextPieces({Fire, Oil, Water});
  EXPECT_NE(companions.NextBox().Image(), blank);
  EXPECT_EQ(companions.NextBox().Image().size(), QSize(58, 32));
}

TEST_F(ScreenTest, CompanionAndMessageVisibility) {
  shell.LoadSettings();
  shell.ShowMainWindow();
  const auto expectCompanions = [&](bool visible) {
    for (QWidget* w : std::initializer_list<QWidget*>{&companions.NextBox(), &companions.PointBox(),
                                                      &companions.PointBox2()}) {
      EXPECT_EQ(w->isVisible(), visible) << w->windowTitle().toStdString();
    }
  };
  screen.ShowCompanions();
  expectCompanions(true);
  EXPECT_FALSE(screen.MessageVisible());
  const char* demo = "現在デモ実行中です。\nスペースキーを押してください。";
  screen.ShowMessage(demo);
  EXPECT_TRUE(screen.MessageVisible());
  EXPECT_EQ(companions.Message().Text(), QString::fromUtf8(demo));
  screen.HideMessage();
  EXPECT_FALSE(screen.MessageVisible());
  screen.ShowMessageWindow();
  EXPECT_TRUE(screen.MessageVisible());
  EXPECT_EQ(companions.Message().Text(), QString::fromUtf8(demo));
  screen.HideCompanions();
  expectCompanions(false);
  EXPECT_TRUE(screen.MessageVisible()) << "the message window is the game's own business";
}

TEST_F(ScreenTest, QuitEndsEverythingOnce) {
  shell.LoadSettings();
  shell.ShowMainWindow();
  screen.ShowCompanions();
  screen.ShowMessage("x");
  comtimer.SetEnabled(true);
  mantimer.SetEnabled(true);
  EXPECT_TRUE(screen.ProcessPendingEvents());
  shell.Quit();
  EXPECT_TRUE(shell.Quitting());
  EXPECT_FALSE(screen.ProcessPendingEvents());
  EXPECT_FALSE(comtimer.Enabled());
  EXPECT_FALSE(mantimer.Enabled());
  EXPECT_FALSE(window.isVisible());
  EXPECT_FALSE(companions.NextBox().isVisible());
  EXPECT_FALSE(companions.Message().isVisible());
  EXPECT_TRUE(window.Closing());
  // Drawing after the end changes nothing and shows nothing.
  screen.ShowMessage("y");
  EXPECT_FALSE(companions.Message().isVisible());
}

TEST_F(ScreenTest, ClearWindowsClearsEveryWindow) {
  shell.LoadSettings();
  screen.ShowScore(0, 12);
  screen.ShowMessage("z");
  screen.DrawNextPieces({Fire, Oil, Water});
  screen.ShowTitlePicture();
  shell.ClearWindows();
  for (CompanionWindow* w : {static_cast<CompanionWindow*>(&companions.NextBox()),
                             static_cast<CompanionWindow*>(&companions.PointBox()),
                             static_cast<CompanionWindow*>(&companions.Message())}) {
    QImage blank(w->Image().size(), QImage::Format_RGB32);
    blank.fill(w->BackgroundColour());
    EXPECT_EQ(w->Image(), blank) << w->windowTitle().toStdString();
  }
  QImage white(painter.Image().size(), QImage::Format_RGB32);
  white.fill(Qt::white);
  EXPECT_EQ(painter.Image(), white);
}

}  // namespace
}  // namespace pyra
