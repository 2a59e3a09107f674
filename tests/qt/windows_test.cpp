// The windows and the shell's parts on their own: the menus, the companion windows' captions,
// sizes and print, message boxes, the single-instance lock and the pacing of the board.
#include <gtest/gtest.h>
#include <utime.h>

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QScreen>
#include <QTest>

#include "app/main_window.h"
#include "app/pacer.h"
#include "app/qt_ports.h"
#include "app/single_instance.h"
#include "env_guard.h"
#include "qt_helpers.h"
#include "temp_dir.h"
#include "view/companion_windows.h"

namespace pyra {
namespace {

// Records the menu commands, in the order given.
struct Commands : WindowInputs {
  std::string given;
  void MenuCommand(Command c) override { given += "NPHXSIA"[int(c)]; }
  void MouseUp(MouseButton, int, int) override {}
  void KeyUp(int) override {}
  void CloseRequested() override {}
  void LostFocus() override {}
  void GotFocus() override {}
  void Minimised() override {}
  void Restored() override {}
};

TEST(MainWindow, MenusShowTheirCaptionsInFullInOrderAndRunTheirCommands) {
  MainWindow window;
  Commands commands;
  window.SetInputs(&commands);
  const QList<QAction*> bar = window.menuBar()->actions();
  ASSERT_EQ(bar.size(), 3);
  const QList<QAction*> items = QList<QAction*>{bar[0]} + window.GameMenu()->actions() +
                                QList<QAction*>{bar[1], bar[2]} + window.HelpMenu()->actions();
  const auto item = [&](MenuItem i) { return window.Item(i); };
  const std::tuple<QAction*, const char*, bool> rows[] = {
      {bar[0], "ｹﾞｰﾑ(&G&ｷ)", true}, {item(MenuItem::NewGame), "新規(&N&ﾐ)", true},
      {item(MenuItem::Pause), "中断(&P&ｾ)", false}, {item(MenuItem::Hiscore), "番付(&H&ｸ)", true},
      {item(MenuItem::Jimi), "", true}, {item(MenuItem::ExitGame), "終了(&X&ｻ)", true},
      {window.GameSetAction(), "設定(&S&ﾄ)...", true}, {bar[2], "ﾍﾙﾌﾟ(&H&ｵ)", true},
      {window.IndexAction(), "トピックの検索(&H&ｸ)", true}, {window.Tipic1Action(), "", true},
      {window.AboutAction(), "Pyra3について(&A&ﾁ)...", true}};
  ASSERT_EQ(items.size(), 11);
  EXPECT_TRUE(bar[0]->menu() == window.GameMenu() && bar[2]->menu() == window.HelpMenu());
  // Qt elides a caption with two access-key markers unless it gets more room than it
  // measures; the menus give each caption that room.
  const QFontMetrics metrics(window.HelpMenu()->font());
  const int flags = Qt::TextShowMnemonic | Qt::TextSingleLine;
  for (int i = 0; i < 11; ++i) {
    const auto& [action, caption, visible] = rows[i];
    EXPECT_TRUE(items[i] == action && action->text() == QString::fromUtf8(caption)) << caption;
    EXPECT_TRUE(action->isSeparator() == !*caption && action->isVisible() == visible) << caption;
    action->trigger();
    for (const QString text : {action->text(), QString::fromUtf8("再開(&R&ｽ)")}) {
      const int room = metrics.boundingRect(QRect(), flags, text).width() + MenuCaptionStyle::Room(text, metrics);
      EXPECT_EQ(metrics.elidedText(text, Qt::ElideMiddle, room, flags), text);
    }
  }
  EXPECT_EQ(commands.given, "NPHXSIA");
  QMenu plain;
  plain.addAction(window.AboutAction()->text());
  EXPECT_EQ(window.HelpMenu()->sizeHint().width() - plain.sizeHint().width(),
            MenuCaptionStyle::Room(window.AboutAction()->text(), metrics));
}

QImage Printed(const QWidget& w, const QFont& font, QColor ink, const QString& text) {
  QImage image(w.size(), QImage::Format_RGB32);
  image.fill(w.palette().color(QPalette::Button));
  QPainter painter(&image);
  painter.setFont(font);
  painter.setPen(ink);
  painter.drawText(image.rect(), Qt::AlignLeft | Qt::AlignTop, text);
  return image;
}

TEST(CompanionWindows, HaveTheirCaptionsAndSizesAndPrintFromTheTopLeft) {
  MainWindow window;
  CompanionWindows companions(&window);
  const std::tuple<CompanionWindow*, const char*, QSize> rows[] = {{&companions.NextBox(), "NEXT", {58, 32}},
      {&companions.PointBox(), "A", {155, 38}}, {&companions.PointBox2(), "B", {155, 37}},
      {&companions.Message(), "Message", {318, 70}}};
  for (const auto& [w, caption, size] : rows) {
    EXPECT_TRUE(w->windowTitle() == caption && w->minimumSize() == size && w->maximumSize() == size) << caption;
    EXPECT_EQ(testing::Difference(w->Image(), Printed(*w, QFont(), Qt::black, "")), "") << caption;
    EXPECT_TRUE(w->windowType() == Qt::Tool && w->windowFlags() & Qt::WindowDoesNotAcceptFocus) << caption;
    EXPECT_TRUE(companions.IsCompanion(w) && !w->isVisible()) << caption;
  }
  EXPECT_FALSE(companions.IsCompanion(&window) || companions.IsCompanion(nullptr));
  const std::pair<int16_t, const char*> scores[] = {{0, " 0"}, {7, " 7"}, {-1, "-1"}, {-32768, "-32768"}};
  for (const auto& [score, text] : scores) EXPECT_EQ(ScoreText(score), text);
  const QFontInfo score(ScoreFont()), message(MessageFont());
  EXPECT_TRUE(score.family() == "Liberation Sans" && score.bold() && score.pixelSize() == 32);
  EXPECT_TRUE(message.family() == "IPAGothic" && message.bold() && message.pixelSize() == 18);
  // Side A in the window text colour, side B in black; the old score goes.
  const QColor inks[] = {window.palette().color(QPalette::WindowText), Qt::black};
  for (int side : {0, 1}) {
    for (int16_t s : {int16_t(-88), int16_t(8)}) {
      companions.Score(side).ShowScore(s);
      const QImage want = Printed(companions.Score(side), ScoreFont(), inks[side], ScoreText(s));
      EXPECT_EQ(testing::Difference(companions.Score(side).Image(), want), "") << side << " " << s;
    }
  }
  const QString text = QString::fromUtf8("ゲームを再開するには\nｹﾞｰﾑ(G)-再開(R)を\n選択してください。");
  MessageWindow& m = companions.Message();
  m.ShowText(text);
  EXPECT_TRUE(m.isVisible() && m.Text() == text);
  EXPECT_EQ(testing::Difference(m.Image(), Printed(m, MessageFont(), m.palette().color(QPalette::ButtonText), text)), "");
  m.Clear();
  EXPECT_EQ(testing::Difference(m.Image(), Printed(m, QFont(), Qt::black, "")), "");
}

TEST(QtDialogs, ShowTheBoxAskedForOverTheMainWindowAndReturnTheAnswer) {
  QWidget main;
  main.show();
  using Q = QMessageBox;
  // The first button is the default; Esc (NoButton here) answers with the last.
  const std::tuple<MsgButtons, MsgIcon, Q::Icon, Q::StandardButton, MsgAnswer> rows[] = {
      {MsgButtons::Ok, MsgIcon::Information, Q::Information, Q::NoButton, MsgAnswer::Ok},
      {MsgButtons::YesNo, MsgIcon::Question, Q::Question, Q::No, MsgAnswer::No},
      {MsgButtons::YesNo, MsgIcon::None, Q::NoIcon, Q::NoButton, MsgAnswer::No},
      {MsgButtons::RetryCancel, MsgIcon::Error, Q::Critical, Q::Retry, MsgAnswer::Retry},
      {MsgButtons::RetryCancel, MsgIcon::Exclamation, Q::Warning, Q::NoButton, MsgAnswer::Cancel}};
  const Q::StandardButton first[] = {Q::Ok, Q::Yes, Q::Retry}, last[] = {Q::Ok, Q::No, Q::Cancel};
  for (const auto& [buttons, icon, qtIcon, click, answer] : rows) {
    testing::BoxAnswerer boxes;
    bool asked = false;
    boxes.answer = [&, click = click, b = int(buttons)](QMessageBox* box) {
      asked = box->defaultButton() == box->button(first[b]) && box->parentWidget() == &main && box->isModal() &&
              box->standardButtons() == (first[b] | last[b]) && box->textFormat() == Qt::PlainText;
      click == Q::NoButton ? QTest::keyClick(box, Qt::Key_Escape) : box->button(click)->click();
    };
    EXPECT_EQ(QtDialogs(&main).MessageBox("一\n二", "Pyra3", buttons, icon), answer);
    ASSERT_EQ(boxes.seen.size(), 1u);
    EXPECT_TRUE(asked && boxes.seen[0].text == QString::fromUtf8("一\n二") && boxes.seen[0].icon == qtIcon);
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
