// The shell's parts on Qt: message boxes, clocks, the single-instance lock, the pacing of
// the board and the about box.
#include <gtest/gtest.h>
#include <utime.h>

#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QSysInfo>
#include <QTest>

#include "app/about_box.h"
#include "app/pacer.h"
#include "app/qt_ports.h"
#include "app/single_instance.h"
#include "env_guard.h"
#include "qt_helpers.h"
#include "temp_dir.h"

namespace pyra {
namespace {

TEST(QtDialogs, ShowTheBoxAskedForAndReturnTheAnswer) {
  QWidget main;
  main.show();
  QtDialogs dialogs(&main);
  using Q = QMessageBox;
  const struct {
    MsgButtons buttons;
    MsgIcon icon;
    Q::Icon qtIcon;
    Q::StandardButtons shown;
    Q::StandardButton click;  // NoButton: Esc
    MsgAnswer answer;
  } rows[] = {
      {MsgButtons::Ok, MsgIcon::Exclamation, Q::Warning, Q::Ok, Q::Ok, MsgAnswer::Ok},
      {MsgButtons::Ok, MsgIcon::None, Q::NoIcon, Q::Ok, Q::NoButton, MsgAnswer::Ok},
      {MsgButtons::Ok, MsgIcon::Information, Q::Information, Q::Ok, Q::Ok, MsgAnswer::Ok},
      {MsgButtons::YesNo, MsgIcon::Question, Q::Question, Q::Yes | Q::No, Q::Yes, MsgAnswer::Yes},
      {MsgButtons::YesNo, MsgIcon::Question, Q::Question, Q::Yes | Q::No, Q::No, MsgAnswer::No},
      {MsgButtons::YesNo, MsgIcon::None, Q::NoIcon, Q::Yes | Q::No, Q::NoButton, MsgAnswer::No},
      {MsgButtons::RetryCancel, MsgIcon::Error, Q::Critical, Q::Retry | Q::Cancel, Q::Retry, MsgAnswer::Retry},
      {MsgButtons::RetryCancel, MsgIcon::Exclamation, Q::Warning, Q::Retry | Q::Cancel, Q::Cancel, MsgAnswer::Cancel},
      {MsgButtons::RetryCancel, MsgIcon::Exclamation, Q::Warning, Q::Retry | Q::Cancel, Q::NoButton, MsgAnswer::Cancel}};
  const std::string text = "一行目\n二行目 <b>そのまま</b>\n";
  for (const auto& row : rows) {
    testing::BoxAnswerer boxes;
    const Q::StandardButton first = row.shown & Q::Ok ? Q::Ok : row.shown & Q::Yes ? Q::Yes : Q::Retry;
    bool firstIsDefault = false, overMain = false;
    boxes.answer = [&](QMessageBox* box) {
      firstIsDefault = box->defaultButton() == box->button(first);
      overMain = box->parentWidget() == &main && box->isModal();
      row.click == Q::NoButton ? QTest::keyClick(box, Qt::Key_Escape) : box->button(row.click)->click();
    };
    EXPECT_EQ(dialogs.MessageBox(text, "Pyra3", row.buttons, row.icon), row.answer);
    ASSERT_EQ(boxes.seen.size(), 1u);
    EXPECT_EQ(boxes.seen[0].text, QString::fromStdString(text)) << "plain text, line breaks kept";
    EXPECT_EQ(boxes.seen[0].title, "Pyra3");
    EXPECT_EQ(boxes.seen[0].icon, row.qtIcon);
    EXPECT_EQ(boxes.seen[0].buttons, row.shown);
    EXPECT_TRUE(firstIsDefault && overMain);
  }
  // Before the main window is up, the box stands in the middle of the screen.
  QtDialogs early(nullptr);
  testing::BoxAnswerer boxes;
  QPoint offset;
  boxes.answer = [&](QMessageBox* box) {
    offset = box->frameGeometry().center() - box->screen()->availableGeometry().center();
    box->defaultButton()->click();
  };
  early.MessageBox("Pyra3はすでに実行されています。\n", "Pyra3", MsgButtons::Ok, MsgIcon::Exclamation);
  EXPECT_LE(offset.manhattanLength(), 4);
}

TEST(QtClock, TicksWhileEnabledAndEnablingARunningClockDoesNotRestartIt) {
  QtClock clock(1000);
  int ticks = 0;
  clock.SetTickHandler([&] { ++ticks; });
  clock.SetEnabled(true);
  QTest::qSleep(200);
  clock.SetEnabled(true);
  EXPECT_LT(clock.Timer().remainingTime(), 900);
  clock.SetInterval(0);
  EXPECT_TRUE(QTest::qWaitFor([&] { return ticks > 0; }, 1000));
  clock.SetEnabled(false);
  const int before = ticks;
  for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
  EXPECT_TRUE(ticks == before && !clock.Enabled());
}

TEST(SingleInstance, ALiveCopyHoldsTheLockHoweverOldAndADeadOnesLockIsTakenOver) {
  testing::TempDir dir;
  const QString path = QString::fromStdString(dir.File("pyra3.lock"));
  auto first = std::make_unique<SingleInstance>(path);
  EXPECT_FALSE(first->AnotherInstanceRuns());
  EXPECT_FALSE(first->AnotherInstanceRuns()) << "asking again does not refuse oneself";
  EXPECT_TRUE(first->Held());
  const utimbuf hourAgo{time(nullptr) - 3600, time(nullptr) - 3600};
  ASSERT_EQ(utime(QFile::encodeName(path).constData(), &hourAgo), 0);
  SingleInstance second(path);
  EXPECT_TRUE(second.AnotherInstanceRuns());
  EXPECT_FALSE(second.Held());
  first.reset();
  QProcess dead;
  dead.start("true");
  ASSERT_TRUE(dead.waitForStarted());
  const qint64 pid = dead.processId();
  ASSERT_TRUE(dead.waitForFinished());
  QFile lock(path);
  ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
  lock.write(QByteArray::number(pid) + "\nqt_tests\n" + QSysInfo::machineHostName().toUtf8() + "\n");
  lock.close();
  SingleInstance next(path);
  EXPECT_FALSE(next.AnotherInstanceRuns());
  EXPECT_TRUE(next.Held());
  SingleInstance nowhere(QString::fromStdString(dir.File("missing/pyra3.lock")));
  EXPECT_FALSE(nowhere.AnotherInstanceRuns() || nowhere.Held()) << "no place for a lock: run anyway";

  testing::EnvGuard runtime("XDG_RUNTIME_DIR", dir.Path().c_str()), config("XDG_CONFIG_HOME", dir.File("config").c_str());
  EXPECT_EQ(SingleInstance::DefaultLockPath(), path);
  runtime.Set(nullptr);
  EXPECT_EQ(SingleInstance::DefaultLockPath().toStdString(), dir.File("config/Pyra3/pyra3.lock"));
}

// A pacer on a clock that moves only when the pacer sleeps.
struct Paced {
  using Us = Pacer::Duration;
  Us now{1'000'000};
  std::vector<std::pair<Us, QRegion>> shown;
  int sleeps = 0;
  Pacer pacer{[this](const QRegion& r) { shown.push_back({now, r}); }, [this] { return now; },
              [this](Us d) { now += d, ++sleeps; }};
  static QRect Cell(int i) { return {i % 50 * 32, i / 50 * 32, 32, 32}; }
};

TEST(Pacer, EachFrameOfAPlacementStaysUpAFrameTimeAndABoardDissolvesInHalfASecond) {
  for (const std::vector<int16_t> steps : {std::vector<int16_t>{16, 12, 8, 4, 0}, {0, 4, 8, 12, 16}}) {
    Paced board;
    board.pacer.CellPainted(0, Paced::Cell(1));  // a neighbour repainted first
    for (int16_t step : steps) board.pacer.CellPainted(step, Paced::Cell(2));
    ASSERT_EQ(board.shown.size(), 6u);
    // A growing piece waits before each of its frames; a shrinking one shows its first at once.
    for (size_t i = 1; i < 6; ++i) {
      EXPECT_EQ(board.shown[i].first - board.shown[i - 1].first, i == 1 && steps[0] == 0 ? Paced::Us(0) : Pacer::FrameTime);
      EXPECT_EQ(board.shown[i].second, QRegion(Paced::Cell(2)));
    }
    board.now += std::chrono::milliseconds(500);  // the next move, long after
    board.pacer.CellPainted(16, Paced::Cell(3));
    board.pacer.CellPainted(0, Paced::Cell(4));
    board.pacer.CellPainted(0, Paced::Cell(5));
    EXPECT_EQ(board.sleeps, steps[0] == 0 ? 5 : 6);
  }
  for (int cells : {1, 28, 29, 48, 2500}) {
    Paced board;
    board.pacer.BeginReveal(cells);
    const auto start = board.now;
    QRegion all;
    for (int i = 0; i < cells; ++i) board.pacer.CellPainted(0, Paced::Cell(i)), all += Paced::Cell(i);
    board.pacer.EndReveal();
    EXPECT_LE(board.now - start, Pacer::RevealTime) << cells;
    EXPECT_GE(board.now - start, Pacer::RevealTime - std::chrono::milliseconds(1)) << cells;
    const int batch = (cells + 27) / 28;
    EXPECT_EQ(board.pacer.RevealBatch(), batch);
    EXPECT_EQ(int(board.shown.size()), (cells + batch - 1) / batch) << cells;
    QRegion shown;
    for (const auto& s : board.shown) shown += s.second;
    EXPECT_EQ(shown, all);
  }
  // Switched off: nothing waits, and a reveal shows in one piece at its end.
  Paced board;
  board.pacer.SetEnabled(false);
  board.pacer.BeginReveal(48);
  for (int i = 0; i < 48; ++i) board.pacer.CellPainted(0, Paced::Cell(i));
  EXPECT_TRUE(board.shown.empty());
  board.pacer.EndReveal();
  for (int16_t step : {16, 12, 8, 4, 0}) board.pacer.CellPainted(step, Paced::Cell(1));
  EXPECT_EQ(board.shown.size(), 6u);
  EXPECT_EQ(board.shown[0].second, QRegion(0, 0, 1536, 32));
  EXPECT_EQ(board.sleeps, 0);
}

TEST(AboutBox, ShowsThePictureFromItsCornerAndIsCentredOnlyTheFirstTime) {
  QWidget main;
  main.show();
  QImage picture(300, 200, QImage::Format_RGB32);
  for (int i = 0; i < 300 * 200; ++i) picture.setPixel(i % 300, i / 300, qRgb(i % 300 % 256, i / 300, 99));
  AboutBox box(&main, picture);
  EXPECT_TRUE(box.size() == QSize(299, 192) && box.minimumSize() == box.maximumSize());
  EXPECT_EQ(box.OkButton()->geometry(), QRect(248, 8, 33, 25));
  EXPECT_TRUE(box.OkButton()->text() == "OK" && box.windowTitle().isEmpty());
  box.OkButton()->hide();
  QImage shot(299, 192, QImage::Format_RGB32);
  box.render(&shot);
  box.OkButton()->show();
  EXPECT_EQ(testing::Difference(shot, picture.copy(0, 0, 299, 192)), "");
  const QRect screen = main.screen()->geometry();
  for (QPoint expected : {QPoint(screen.width() / 2 - 149, screen.height() / 2 - 96), QPoint(10, 20)}) {
    bool modal = false;
    QTimer::singleShot(0, [&] {
      modal = QApplication::activeModalWidget() == &box;
      box.OkButton()->click();
    });
    box.Run();
    EXPECT_TRUE(modal && !box.isVisible());
    EXPECT_EQ(box.pos(), expected);
    box.move(10, 20);  // the user's place is kept the next time
  }
}

}  // namespace
}  // namespace pyra
