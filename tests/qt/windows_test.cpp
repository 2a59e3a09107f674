// The windows on their own: the menus, key releases, and the companion windows' captions,
// sizes and print.
#include <gtest/gtest.h>

#include <QAction>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>

#include "app/main_window.h"
#include "qt_helpers.h"
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

TEST(KeyReleases, PassOnceEachAndOnlyAfterTheirPressInTheSameWindow) {
  KeyReleaseFilter filter;
  std::vector<int> passed;
  // p: press, r: release, P and R: their automatic repeats, f: the window lost the keyboard.
  const std::pair<char, int> steps[] = {
      {'p', Qt::Key_Space}, {'r', Qt::Key_Space}, {'p', Qt::Key_Escape}, {'r', Qt::Key_Escape}, {'p', Qt::Key_A},
      {'r', Qt::Key_A}, {'p', Qt::Key_Return}, {'r', Qt::Key_Return}, {'p', Qt::Key_F1}, {'r', Qt::Key_F1},
      {'r', Qt::Key_Escape}, {'p', Qt::Key_Space}, {'R', Qt::Key_Space}, {'P', Qt::Key_Space},
      {'R', Qt::Key_Space}, {'r', Qt::Key_Space}, {'p', Qt::Key_B}, {'f', 0}, {'r', Qt::Key_B}};
  for (const auto& [what, key] : steps) {
    const bool press = what == 'p' || what == 'P';
    const QKeyEvent event(press ? QEvent::KeyPress : QEvent::KeyRelease, key, Qt::NoModifier, QString(),
                          what == 'P' || what == 'R');
    if (what == 'f') filter.Forget();
    if (press) filter.Pressed(event);
    if (!press && what != 'f') passed.push_back(filter.Released(event).value_or(-1));
  }
  EXPECT_EQ(passed, (std::vector<int>{32, 27, 65, 0, 0, -1, -1, -1, 32, -1}));
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

}  // namespace
}  // namespace pyra
