// The shell's parts on Qt: message boxes, the single-instance lock and the pacing of the board.
#include <gtest/gtest.h>
#include <utime.h>

#include <QScreen>
#include <QTest>

#include "app/pacer.h"
#include "app/qt_ports.h"
#include "app/single_instance.h"
#include "env_guard.h"
#include "qt_helpers.h"
#include "temp_dir.h"

namespace pyra {
namespace {

TEST(QtDialogs, ShowTheBoxAskedForOverTheMainWindowAndReturnTheAnswer) {
  QWidget main;
  main.show();
  using Q = QMessageBox;
  using B = MsgButtons;
  // The first button is the default; Esc (NoButton here) answers with the last.
  const std::tuple<B, MsgIcon, Q::Icon, Q::StandardButton, MsgAnswer> rows[] = {
      {B::Ok, MsgIcon::Exclamation, Q::Warning, Q::Ok, MsgAnswer::Ok},
      {B::Ok, MsgIcon::Information, Q::Information, Q::NoButton, MsgAnswer::Ok},
      {B::YesNo, MsgIcon::Question, Q::Question, Q::Yes, MsgAnswer::Yes},
      {B::YesNo, MsgIcon::None, Q::NoIcon, Q::No, MsgAnswer::No},
      {B::YesNo, MsgIcon::Question, Q::Question, Q::NoButton, MsgAnswer::No},
      {B::RetryCancel, MsgIcon::Error, Q::Critical, Q::Retry, MsgAnswer::Retry},
      {B::RetryCancel, MsgIcon::Exclamation, Q::Warning, Q::Cancel, MsgAnswer::Cancel},
      {B::RetryCancel, MsgIcon::Exclamation, Q::Warning, Q::NoButton, MsgAnswer::Cancel}};
  const Q::StandardButtons shown[] = {Q::Ok, Q::Yes | Q::No, Q::Retry | Q::Cancel};
  const Q::StandardButton first[] = {Q::Ok, Q::Yes, Q::Retry};
  for (const auto& [buttons, icon, qtIcon, click, answer] : rows) {
    testing::BoxAnswerer boxes;
    bool firstIsDefault = false, overMain = false;
    boxes.answer = [&, click = click, buttons = buttons](QMessageBox* box) {
      firstIsDefault = box->defaultButton() == box->button(first[int(buttons)]);
      overMain = box->parentWidget() == &main && box->isModal();
      click == Q::NoButton ? QTest::keyClick(box, Qt::Key_Escape) : box->button(click)->click();
    };
    EXPECT_EQ(QtDialogs(&main).MessageBox("一\n<b>二</b>", "Pyra3", buttons, icon), answer);
    ASSERT_EQ(boxes.seen.size(), 1u);
    EXPECT_TRUE(boxes.seen[0].text == QString::fromUtf8("一\n<b>二</b>") && boxes.seen[0].title == "Pyra3");
    EXPECT_TRUE(boxes.seen[0].icon == qtIcon && boxes.seen[0].buttons == shown[int(buttons)]);
    EXPECT_TRUE(firstIsDefault && overMain);
  }
  // Before the main window is up, the box stands in the middle of the screen.
  testing::BoxAnswerer boxes;
  QPoint offset;
  boxes.answer = [&](QMessageBox* box) {
    offset = box->frameGeometry().center() - box->screen()->availableGeometry().center();
    box->defaultButton()->click();
  };
  QtDialogs(nullptr).MessageBox("x", "Pyra3", MsgButtons::Ok, MsgIcon::Exclamation);
  EXPECT_LE(offset.manhattanLength(), 4);
}

TEST(SingleInstance, TheFirstCopyHoldsTheLockHoweverOldAndTheLockLivesWithTheUser) {
  testing::TempDir dir;
  const QString path = QString::fromStdString(dir.File("pyra3.lock"));
  SingleInstance first(path), second(path), nowhere(QString::fromStdString(dir.File("no/pyra3.lock")));
  EXPECT_FALSE(first.AnotherInstanceRuns() || first.AnotherInstanceRuns()) << "asking twice";
  const utimbuf hourAgo{time(nullptr) - 3600, time(nullptr) - 3600};
  ASSERT_EQ(utime(QFile::encodeName(path).constData(), &hourAgo), 0);
  EXPECT_TRUE(second.AnotherInstanceRuns() && first.Held() && !second.Held());
  EXPECT_FALSE(nowhere.AnotherInstanceRuns() || nowhere.Held()) << "no place for a lock: run anyway";
  testing::EnvGuard runtime("XDG_RUNTIME_DIR", dir.Path().c_str()), config("XDG_CONFIG_HOME", dir.Path().c_str());
  EXPECT_EQ(SingleInstance::DefaultLockPath(), path);
  runtime.Set(nullptr);
  EXPECT_EQ(SingleInstance::DefaultLockPath().toStdString(), dir.File("Pyra3/pyra3.lock"));
}

TEST(Pacer, EachFrameOfAPlacementStaysUpAFrameTimeAndABoardDissolvesInHalfASecond) {
  using Us = Pacer::Duration;
  Us now{1'000'000};
  std::vector<QRegion> shown;
  Pacer pacer([&](const QRegion& r) { shown.push_back(r); }, [&] { return now; }, [&](Us d) { now += d; });
  const auto cell = [](int i) { return QRect(i % 50 * 32, i / 50 * 32, 32, 32); };
  // A growing piece waits before each frame; a shrinking one shows its first frame at once;
  // a repaint after the last frame, or a frame long after the last one, does not wait.
  for (const std::vector<int16_t>& steps : {std::vector<int16_t>{16, 12, 8, 4, 0, 0}, {0, 4, 8, 12, 16, 0}}) {
    pacer.CellPainted(0, cell(1));  // a neighbour repainted first
    const Us start = now;
    for (int16_t step : steps) pacer.CellPainted(step, cell(2));
    EXPECT_TRUE(now - start == 5 * Pacer::FrameTime && shown.back() == QRegion(cell(2)));
    now += std::chrono::milliseconds(500);
  }
  // A reveal of any size takes the reveal time in at most 28 presentations; switched off,
  // it shows in one piece at its end, and nothing waits.
  for (int cells : {1, 28, 29, 2500, 48}) {
    shown.clear();
    pacer.SetEnabled(cells != 48);
    pacer.BeginReveal(cells);
    const Us start = now;
    QRegion all, seen;
    for (int i = 0; i < cells; ++i) pacer.CellPainted(0, cell(i)), all += cell(i);
    pacer.EndReveal();
    for (const QRegion& r : shown) seen += r;
    const int batch = (cells + 27) / 28, presented = cells == 48 ? 1 : (cells + batch - 1) / batch;
    EXPECT_TRUE(seen == all && int(shown.size()) == presented && pacer.RevealBatch() == batch) << cells;
    const Us took = now - start;
    EXPECT_TRUE(cells == 48 ? took == Us(0) : took <= Pacer::RevealTime && took > Pacer::RevealTime - Us(100));
  }
  const Us before = now;
  for (int16_t step : {16, 12, 8, 4, 0}) pacer.CellPainted(step, cell(1));
  EXPECT_TRUE(shown.size() == 6u && now == before);
}

}  // namespace
}  // namespace pyra
