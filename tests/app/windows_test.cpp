// The shell's parts: menus, single-instance lock, board pacing, main window settling once framed.
#include <gtest/gtest.h>
#include <utime.h>

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QTest>

#include "app/about_box.h"
#include "app/main_window.h"
#include "app/menu_accessibility.h"
#include "app/menu_bar.h"
#include "app/pacer.h"
#include "app/qt_session_ports.h"
#include "app/single_instance.h"
#include "env_guard.h"
#include "qt_helpers.h"
#include "temp_dir.h"
#include "view/board_painter.h"
#include "view/companion_windows.h"

namespace pyra {
namespace {

TEST(MainWindow, MenusShowTheirCaptionsInFullInOrderAndEveryTitleCanBeClickedAtEveryWidth) {
  MainWindow window;
  const QList<QAction*> titles = window.menuBar()->actions();
  ASSERT_EQ(titles.size(), 3);
  const QList<QAction*> items = QList<QAction*>{titles[0]} + window.GameMenu()->actions() +
                                QList<QAction*>{titles[1], titles[2]} +
                                window.HelpMenu()->actions();
  QStringList captions;
  for (const QAction* a : items)
    captions << (a->isSeparator() ? "-" : a->text()) + (a->isVisible() ? "" : " (hidden)");
  EXPECT_EQ(
      captions.join(" "),
      QString::fromUtf8("ｹﾞｰﾑ(&G&ｷ) 新規(&N&ﾐ) 中断(&P&ｾ) (hidden) 番付(&H&ｸ) - 終了(&X&ｻ) "
                        "設定(&S&ﾄ)... ﾍﾙﾌﾟ(&H&ｵ) トピックの検索(&H&ｸ) - Pyra3について(&A&ﾁ)..."));
  // With no game wired in, keys, arrows, clicks and menu commands reach nothing (nor crash).
  for (auto key : {Qt::Key_Space, Qt::Key_Left}) QTest::keyClick(&window, key);
  QTest::mouseClick(&window.Board(), Qt::LeftButton, {}, QPoint(5, 5));
  window.Item(MenuItem::NewGame)->trigger();
  // Qt elides a caption with two access-key markers in only the room it measures; menus give more.
  const QFontMetrics metrics(window.HelpMenu()->font());
  const int flags = Qt::TextShowMnemonic | Qt::TextSingleLine;
  for (const QString& text : captions << QString::fromUtf8("再開(&R&ｽ)")) {
    const int room =
        metrics.boundingRect(QRect(), flags, text).width() + MenuCaptionStyle::Room(text, metrics);
    EXPECT_EQ(metrics.elidedText(text, Qt::ElideMiddle, room, flags), text);
  }
  QMenu plain, plainGame;
  plain.addAction(window.AboutAction()->text());
  EXPECT_EQ(window.HelpMenu()->sizeHint().width() - plain.sizeHint().width(),
            MenuCaptionStyle::Room(window.AboutAction()->text(), metrics));
  for (QAction* a : window.GameMenu()->actions()) plainGame.addAction(a->text());
  EXPECT_GT(window.GameMenu()->sizeHint().width(), plainGame.sizeHint().width());
  // A screen reader names an entry by its drawn caption (bus: tests/system/accessibility_test.py).
  EXPECT_EQ(ShownCaption("ｹﾞｰﾑ(&G&ｷ)") + ShownCaption("A&&B\tCtrl+B") + ShownCaption("x&") +
                ShownCaption("&y"),
            QString("ｹﾞｰﾑ(Gｷ)A&Bxy"));
  // Narrow boards wrap menu titles onto more lines; each stays clickable, the board keeps its size.
  window.show();
  auto* bar = qobject_cast<WrappingMenuBar*>(window.menuBar());
  ASSERT_NE(bar, nullptr);
  for (int cols : {5, 4, 3, 2, 1, 7}) {
    window.SetClientSize(QSize(cols * 32, 5 * 32));
    EXPECT_EQ(window.Board().geometry(), QRect(0, bar->height(), cols * 32, 160)) << cols;
    ASSERT_EQ(bar->Titles().size(), 3);
    for (QAction* title : bar->Titles()) {
      const QRect at = bar->TitleGeometry(title);
      // Whatever widget of the window a click there finds.
      const QPoint there = bar->mapTo(&window, at.center());
      auto* line = qobject_cast<QMenuBar*>(window.childAt(there));
      SCOPED_TRACE(std::to_string(cols) + " " + title->text().toStdString());
      ASSERT_NE(line, nullptr);
      EXPECT_TRUE(bar->rect().contains(at));
      EXPECT_EQ(line->actionAt(line->mapFrom(&window, there)), title);
    }
  }
  // Wrapped over the whole window, the menu bar leaves no client area to measure from.
  window.resize(32, 20);
  window.SetClientSize(QSize(32, 32));
  EXPECT_EQ(window.ClientSize(), QSize(32, 32));
}

TEST(SingleInstance, TheFirstCopyHoldsTheLockHoweverOldAndTheLockLivesWithTheUser) {
  testing::TempDir dir;
  const QString path = QString::fromStdString(dir.File("pyra3.lock"));
  SingleInstance first(path), second(path),
      nowhere(QString::fromStdString(dir.File("no/pyra3.lock")));
  EXPECT_EQ(std::tuple(first.AnotherInstanceRuns(), first.AnotherInstanceRuns()),
            std::tuple(false, false))
      << "asking twice";
  const utimbuf hourAgo{time(nullptr) - 3600, time(nullptr) - 3600};
  ASSERT_EQ(utime(QFile::encodeName(path).constData(), &hourAgo), 0);
  EXPECT_EQ(std::tuple(second.AnotherInstanceRuns(), first.Held(), second.Held()),
            std::tuple(true, true, false));
  EXPECT_EQ(std::tuple(nowhere.AnotherInstanceRuns(), nowhere.Held()), std::tuple(false, false))
      << "no place for a lock: run anyway";
  testing::EnvGuard runtime("XDG_RUNTIME_DIR", dir.Path().c_str()),
      config("XDG_CONFIG_HOME", dir.Path().c_str());
  EXPECT_EQ(SingleInstance::DefaultLockPath(), path);
  runtime.Set(nullptr);
  EXPECT_EQ(SingleInstance::DefaultLockPath().toStdString(), dir.File("Pyra3/pyra3.lock"));
}

TEST(Pacer, EachFrameOfAPlacementStaysUpAFrameTimeAndABoardDissolvesInHalfASecond) {
  using Us = Pacer::Duration;
  Us now{1'000'000};
  std::vector<QRegion> shown;
  Pacer pacer([&](const QRegion& r) { shown.push_back(r); }, [&] { return now; },
              [&](Us d) { now += d; });
  const auto cell = [](int i) { return QRect(i % 50 * 32, i / 50 * 32, 32, 32); };
  // A growing piece waits before each frame; a shrinking one shows its first frame at once;
  // a repaint after the last frame, or a frame long after the last one, does not wait.
  for (const std::vector<int16_t>& steps :
       {std::vector<int16_t>{16, 12, 8, 4, 0, 0}, {0, 4, 8, 12, 16, 0}}) {
    pacer.CellPainted(0, cell(1));  // a neighbour repainted first
    const Us start = now;
    for (int16_t step : steps) pacer.CellPainted(step, cell(2));
    EXPECT_EQ(now - start, 5 * Pacer::FrameTime);
    EXPECT_EQ(shown.back(), QRegion(cell(2)));
    now += std::chrono::milliseconds(500);
  }
  // Any reveal takes the reveal time in at most 28 showings; switched off, one at its end, no wait.
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
    EXPECT_EQ(seen, all) << cells;
    EXPECT_EQ(std::tuple(int(shown.size()), pacer.RevealBatch()), std::tuple(presented, batch))
        << cells;
    // It takes the whole reveal time, less at most 100 us; switched off, none at all.
    const Us took = now - start, most = cells == 48 ? Us(0) : Pacer::RevealTime;
    EXPECT_LE(took, most) << cells;
    EXPECT_GT(took, most - (cells == 48 ? Us(1) : Us(100))) << cells;
  }
  const Us before = now;
  for (int16_t step : {16, 12, 8, 4, 0}) pacer.CellPainted(step, cell(1));
  EXPECT_EQ(std::tuple(shown.size(), now), std::tuple(6u, before));
}

// A frame known only once shown: a stored outer size stays; a first-run size keeps whole cells, and
// default companions follow its real edges. Twips follow the screen's DPI, not 15: rerun at 120.
TEST(QtSessionPorts, SettleTheMainWindowOnceItsFrameIsKnown) {
  const int tpp = 1440 / QGuiApplication::primaryScreen()->logicalDotsPerInchY();
  for (bool firstRun : {false, true}) {
    MainWindow window;
    window.setWindowFlag(Qt::FramelessWindowHint, true);
    CompanionWindows companions(&window);
    PictureHolder pictures;
    GameState state;
    BoardPainter painter(state, pictures);
    QtSessionPorts windows(window, companions, pictures, painter);
    ASSERT_TRUE(windows.SetMainWindow({120.0 * tpp, 90.0 * tpp, 300.0 * tpp, 260.0 * tpp}));
    const TwipSize screen = windows.ScreenSize();
    EXPECT_EQ(std::pair(screen.width, screen.height), std::pair(2560.0 * tpp, 1600.0 * tpp));
    const QPoint placed[] = {{420, 90}, {120, 350}, {275, 350}, {120, 350}};
    for (int i = 0; i < 4; ++i)
      windows.MoveCompanion(Companion(i), placed[i].x() * tpp, placed[i].y() * tpp);
    window.setWindowFlag(Qt::FramelessWindowHint, false);
    window.show();
    windows.SettleMainWindow({firstRun, firstRun, firstRun, firstRun, firstRun, firstRun});
    const QRect frame = window.frameGeometry();
    const QSize grown = frame.size() - window.size();
    EXPECT_EQ(frame, QRect(QPoint(120, 90), firstRun ? QSize(300, 260) + grown : QSize(300, 260)));
    const QPoint shifts[] = {QPoint(grown.width(), 0), QPoint(0, grown.height()),
                             QPoint(grown.width(), grown.height()), QPoint(0, grown.height())};
    const CompanionWindow* all[] = {&companions.NextBox(), &companions.ScoreBoxA(),
                                    &companions.ScoreBoxB(), &companions.Message()};
    for (int i = 0; i < 4; ++i)
      EXPECT_EQ(all[i]->PlacedAt(), placed[i] + (firstRun ? shifts[i] : QPoint())) << i;
    // It settles once: a window the player has moved since stays where it is.
    window.move(200, 150), windows.SettleMainWindow({});
    EXPECT_EQ(window.frameGeometry().topLeft(), QPoint(200, 150));
    // The busy cursor of a long load nests, and its end leaves none behind.
    windows.SetBusyCursor(true), windows.SetBusyCursor(true), windows.SetBusyCursor(false);
    EXPECT_NE(QApplication::overrideCursor(), nullptr);
    windows.SetBusyCursor(false), windows.SetBusyCursor(false);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  }
  EXPECT_EQ(testing::RunOfItsOwn({{"QT_FONT_DPI", "120"}, {"QT_ENABLE_HIGHDPI_SCALING", "0"}}), "");
}

// The box clears its title only on X; elsewhere (here the minimal platform) it just opens, closes.
TEST(AboutBox, OpensAndClosesWithoutAnXServer) {
  if (!testing::InRunOfItsOwn()) {
    EXPECT_EQ(testing::RunOfItsOwn({{"QT_QPA_PLATFORM", "minimal"}}), "");
    return;
  }
  AboutBox box(nullptr, QImage(299, 192, QImage::Format_RGB32));
  QTimer::singleShot(0, box.OkButton(), &QPushButton::click);
  box.Run();
  EXPECT_EQ(box.result(), QDialog::Accepted);
}

}  // namespace
}  // namespace pyra
