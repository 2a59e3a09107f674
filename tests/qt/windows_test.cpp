// The main window and its companion windows on their own: menus, the board as client area,
// mouse, keys, activation, window states, captions, sizes and what the companions print.
#include <gtest/gtest.h>

#include <QAction>
#include <QDialog>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QSpontaneKeyEvent>
#include <QTest>

#include "app/main_window.h"
#include "qt_helpers.h"
#include "view/companion_windows.h"

namespace pyra {
namespace {

using Calls = std::vector<std::string>;

// Records what the windows report to the game, one short line each.
struct FakeInputs : WindowInputs {
  Calls calls;
  std::function<void()> onClose;
  void MouseUp(MouseButton b, int x, int y) override {
    calls.push_back(std::string("MouseUp ") + "LRM"[int(b)] + " " + std::to_string(x) + " " + std::to_string(y));
  }
  void KeyUp(int code) override { calls.push_back("KeyUp " + std::to_string(code)); }
  void MenuCommand(Command c) override {
    calls.push_back(std::string("Menu ") + "NPHXSIA"[int(c)]);
  }
  void CloseRequested() override {
    calls.push_back("Close");
    if (onClose) onClose();
  }
  void LostFocus() override { calls.push_back("LostFocus"); }
  void GotFocus() override { calls.push_back("GotFocus"); }
  void Minimised() override { calls.push_back("Minimised"); }
  void Restored() override { calls.push_back("Restored"); }
  Calls Take() { return std::exchange(calls, {}); }
};

class Windows : public ::testing::Test {
 protected:
  Windows() {
    window.SetInputs(&inputs);
    window.SetCompanionTest([this](const QWidget* w) { return companions.IsCompanion(w); });
    companions.SetKeyHandler([this](int key) { inputs.KeyUp(key); });
  }
  void Show() {
    window.show();
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    inputs.Take();
  }
  MainWindow window;
  CompanionWindows companions{&window};
  FakeInputs inputs;
};

TEST_F(Windows, MenusShowTheirCaptionsInFullInOrderAndRunTheirCommands) {
  const QList<QAction*> bar = window.menuBar()->actions();
  ASSERT_EQ(bar.size(), 3);
  EXPECT_EQ(bar[0]->menu(), window.GameMenu());
  EXPECT_EQ(bar[1], window.GameSetAction());
  EXPECT_EQ(bar[2]->menu(), window.HelpMenu());
  const struct {
    QAction* action;
    const char* caption;  // empty for a separator
    bool visible;
    const char* command;
  } rows[] = {{bar[0], "ｹﾞｰﾑ(&G&ｷ)", true, ""},
              {window.Item(MenuItem::NewGame), "新規(&N&ﾐ)", true, "Menu N"},
              {window.Item(MenuItem::Pause), "中断(&P&ｾ)", false, "Menu P"},
              {window.Item(MenuItem::Hiscore), "番付(&H&ｸ)", true, "Menu H"},
              {window.Item(MenuItem::Jimi), "", true, ""},
              {window.Item(MenuItem::ExitGame), "終了(&X&ｻ)", true, "Menu X"},
              {bar[1], "設定(&S&ﾄ)...", true, "Menu S"},
              {bar[2], "ﾍﾙﾌﾟ(&H&ｵ)", true, ""},
              {window.IndexAction(), "トピックの検索(&H&ｸ)", true, "Menu I"},
              {window.Tipic1Action(), "", true, ""},
              {window.AboutAction(), "Pyra3について(&A&ﾁ)...", true, "Menu A"}};
  EXPECT_EQ(window.GameMenu()->actions(),
            (QList<QAction*>{rows[1].action, rows[2].action, rows[3].action, rows[4].action, rows[5].action}));
  EXPECT_EQ(window.HelpMenu()->actions(), (QList<QAction*>{rows[8].action, rows[9].action, rows[10].action}));
  EXPECT_EQ(window.windowTitle(), "Pyra3");
  for (const auto& row : rows) {
    SCOPED_TRACE(row.caption);
    EXPECT_EQ(row.action->text(), QString::fromUtf8(row.caption));
    EXPECT_EQ(row.action->isSeparator(), *row.caption == 0);
    EXPECT_EQ(row.action->isVisible(), row.visible);
    if (*row.command == 0) continue;
    row.action->trigger();
    EXPECT_EQ(inputs.Take(), Calls{row.command});
  }
  // Qt elides a caption with two access-key markers unless it gets more room than it
  // measures; the menus give each caption that room.
  for (QMenu* menu : {window.GameMenu(), window.HelpMenu()}) {
    const QFontMetrics metrics(menu->font());
    QStringList captions{QString::fromUtf8("再開(&R&ｽ)")};
    for (const QAction* a : menu->actions()) captions << a->text();
    for (const QString& caption : captions) {
      const int flags = Qt::TextShowMnemonic | Qt::TextSingleLine;
      const int width = metrics.boundingRect(QRect(), flags, caption).width() + MenuCaptionStyle::Room(caption, metrics);
      EXPECT_EQ(metrics.elidedText(caption, Qt::ElideMiddle, width, flags), caption);
    }
  }
  QMenu plain;
  plain.addAction(window.AboutAction()->text());
  EXPECT_EQ(window.HelpMenu()->sizeHint().width() - plain.sizeHint().width(),
            MenuCaptionStyle::Room(window.AboutAction()->text(), QFontMetrics(plain.font())));
}

TEST_F(Windows, TheBoardIsTheClientAreaShowsItsImageAndReportsReleases) {
  window.SetClientSize(QSize(256, 192));
  Show();
  BoardWidget& board = window.Board();
  EXPECT_EQ(board.mapTo(&window, QPoint(0, 0)), QPoint(0, window.menuBar()->height()));
  EXPECT_EQ(board.size(), QSize(256, 192));
  const std::tuple<Qt::MouseButton, QPointF, const char*> releases[] = {
      {Qt::LeftButton, {35, 40}, "MouseUp L 35 40"},     {Qt::LeftButton, {255.9, 191.5}, "MouseUp L 255 191"},
      {Qt::LeftButton, {-0.5, 3.2}, "MouseUp L -1 3"},   {Qt::RightButton, {36, 40}, "MouseUp R 36 40"},
      {Qt::MiddleButton, {1, 2}, "MouseUp M 1 2"},       {Qt::BackButton, {0, 0}, "MouseUp M 0 0"}};
  for (const auto& [button, at, expected] : releases) {
    testing::Release(board, button, at);
    EXPECT_EQ(inputs.Take(), Calls{expected});
  }
  QTest::mouseClick(window.menuBar(), Qt::RightButton, {}, QPoint(200, 5));
  EXPECT_EQ(inputs.Take(), Calls{}) << "a release on the menu bar is no board click";

  // Pixel for pixel, also at twice the density; white where the image does not reach.
  QImage image(64, 32, QImage::Format_RGB32);
  for (int i = 0; i < 64 * 32; ++i) image.setPixel(i % 64, i / 64, qRgb(i % 64 * 4, i / 64 * 8, i % 2 * 255));
  for (const QImage* shown : {&std::as_const(image), static_cast<const QImage*>(nullptr)}) {
    board.SetImage(shown);
    for (int ratio : {1, 2}) {
      QImage shot(256 * ratio, 192 * ratio, QImage::Format_RGB32), want = shot;
      shot.setDevicePixelRatio(ratio);
      board.render(&shot);
      for (int y = 0; y < want.height(); ++y) {
        for (int x = 0; x < want.width(); ++x) {
          const bool inside = shown && x / ratio < 64 && y / ratio < 32;
          want.setPixel(x, y, inside ? image.pixel(x / ratio, y / ratio) : 0xFFFFFFFFu);
        }
      }
      EXPECT_EQ(testing::Difference(shot, want), "") << ratio;
    }
  }
}

TEST(MainWindowSize, TheClientGetsTheSizeAskedForAsFarAsTheWindowCanGo) {
  for (bool shown : {false, true}) {
    MainWindow window;
    if (shown) window.show();
    for (QSize size : {QSize(256, 192), QSize(800, 480), QSize(224, 32), QSize(1920, 320), QSize(256, 192)}) {
      window.SetClientSize(size);
      EXPECT_EQ(window.ClientSize(), size) << shown;
      EXPECT_EQ(window.Board().size(), size) << shown;
    }
    window.setMaximumSize(300, 250);
    window.SetClientSize(QSize(1600, 1600));  // returns all the same
    EXPECT_EQ(window.size(), QSize(300, 250));
  }
}

TEST_F(Windows, KeyReleasesReachTheGameOnceEachWithTheGameCodes) {
  Show();
  const auto send = [](QWidget* w, QEvent::Type type, Qt::Key key, bool repeat = false) {
    QKeyEvent event(type, key, Qt::NoModifier, QString(), repeat);
    QApplication::sendEvent(w, &event);
  };
  for (QWidget* w : std::initializer_list<QWidget*>{&window, &companions.NextBox(), &companions.PointBox(),
                                                    &companions.PointBox2(), &companions.Message()}) {
    SCOPED_TRACE(w->windowTitle().toStdString());
    for (Qt::Key key : {Qt::Key_Space, Qt::Key_Escape, Qt::Key_A, Qt::Key_Return, Qt::Key_F1}) QTest::keyClick(w, key);
    send(w, QEvent::KeyRelease, Qt::Key_Escape);  // its press closed a message box
    send(w, QEvent::KeyPress, Qt::Key_Space);     // held down: repeated releases and presses
    for (int i = 0; i < 3; ++i) send(w, QEvent::KeyRelease, Qt::Key_Space, true), send(w, QEvent::KeyPress, Qt::Key_Space, true);
    send(w, QEvent::KeyRelease, Qt::Key_Space);
    send(w, QEvent::KeyPress, Qt::Key_B);  // pressed, then the window lost the keyboard
    QEvent away(QEvent::WindowDeactivate);
    QApplication::sendEvent(w, &away);
    send(w, QEvent::KeyRelease, Qt::Key_B);
    Calls keys;
    for (const auto& c : inputs.Take()) if (c.rfind("KeyUp", 0) == 0) keys.push_back(c);
    EXPECT_EQ(keys, (Calls{"KeyUp 32", "KeyUp 27", "KeyUp 65", "KeyUp 0", "KeyUp 0", "KeyUp 32"}));
  }
}

TEST_F(Windows, FocusMinimisingAndResizingAreReportedOnceEach) {
  Show();
  companions.ShowCompanions();
  inputs.Take();
  QApplication::setActiveWindow(nullptr);
  QApplication::setActiveWindow(nullptr);
  EXPECT_EQ(inputs.Take(), Calls{"LostFocus"});
  QApplication::setActiveWindow(&window);
  EXPECT_EQ(inputs.Take(), Calls{"GotFocus"});
  // A companion hands the activation straight back; a modal window holds the clocks itself.
  QApplication::setActiveWindow(&companions.PointBox());
  EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == &window; }, 1000));
  QDialog dialog(&window);
  dialog.setModal(true);
  dialog.show();
  QApplication::setActiveWindow(&dialog);
  dialog.hide();
  QApplication::setActiveWindow(&window);
  EXPECT_EQ(inputs.Take(), Calls{});

  const auto state = [&](Qt::WindowStates s) {
    window.setWindowState(s);
    QCoreApplication::processEvents();
    Calls out = inputs.Take();
    out.erase(std::unique(out.begin(), out.end()), out.end());  // a restore may also resize
    return out;
  };
  EXPECT_EQ(state(Qt::WindowMinimized), Calls{"Minimised"});
  EXPECT_EQ(state(Qt::WindowNoState), Calls{"Restored"});
  EXPECT_EQ(state(Qt::WindowMaximized), Calls{}) << "maximising is none of the game's business";
  EXPECT_EQ(state(Qt::WindowMinimized | Qt::WindowMaximized), Calls{"Minimised"});
  EXPECT_EQ(state(Qt::WindowMaximized), Calls{"Restored"});
  EXPECT_EQ(state(Qt::WindowNoState), Calls{"Restored"});
  window.SetClientSize(QSize(320, 224));
  EXPECT_EQ(state(Qt::WindowNoState), Calls{"Restored"}) << "the normal window was resized";
}

bool CloseBox(QWidget& window) {
  QCloseEvent event;
  QSpontaneKeyEvent::setSpontaneous(&event);
  qApp->notify(&window, &event);  // sendEvent would make it a program's own close
  return event.isAccepted();
}

TEST_F(Windows, TheCloseBoxLeavesTheEndToTheGameAndNothingReachesAnEndingGame) {
  Show();
  companions.ShowCompanions();
  EXPECT_FALSE(CloseBox(companions.PointBox())) << "the user cannot close a companion";
  EXPECT_TRUE(companions.PointBox().isVisible());
  EXPECT_FALSE(CloseBox(window));
  EXPECT_EQ(inputs.Take(), Calls{"Close"});
  inputs.onClose = [&] { window.SetClosing(); };
  EXPECT_TRUE(CloseBox(window));
  EXPECT_TRUE(CloseBox(window));
  EXPECT_EQ(inputs.Take(), Calls{"Close"});
  testing::Release(window.Board(), Qt::LeftButton, {40, 40});
  QTest::keyClick(&window, Qt::Key_Space);
  window.Item(MenuItem::NewGame)->trigger();
  window.setWindowState(Qt::WindowMinimized);
  QApplication::setActiveWindow(nullptr);
  EXPECT_EQ(inputs.Take(), Calls{});
  companions.CloseAll();
  for (QWidget* w : std::initializer_list<QWidget*>{&companions.NextBox(), &companions.PointBox(),
                                                    &companions.PointBox2(), &companions.Message()}) {
    EXPECT_FALSE(w->isVisible());
  }
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

TEST_F(Windows, CompanionsHaveTheirCaptionsAndSizesAndPrintFromTheTopLeft) {
  const std::tuple<CompanionWindow*, const char*, QSize> rows[] = {
      {&companions.NextBox(), "NEXT", {58, 32}}, {&companions.PointBox(), "A", {155, 38}},
      {&companions.PointBox2(), "B", {155, 37}}, {&companions.Message(), "Message", {318, 70}}};
  for (const auto& [w, caption, size] : rows) {
    EXPECT_EQ(w->windowTitle(), caption);
    EXPECT_TRUE(w->size() == size && w->minimumSize() == size && w->maximumSize() == size) << caption;
    EXPECT_EQ(w->Image().size(), size);
    EXPECT_EQ(w->windowType(), Qt::Tool);
    EXPECT_TRUE(w->windowFlags() & Qt::WindowDoesNotAcceptFocus);
    EXPECT_TRUE(companions.IsCompanion(w) && !w->isVisible());
  }
  EXPECT_FALSE(companions.IsCompanion(&window) || companions.IsCompanion(nullptr));

  const std::pair<int16_t, const char*> scores[] = {{0, " 0"}, {7, " 7"}, {-1, "-1"}, {-88, "-88"}, {32767, " 32767"}, {-32768, "-32768"}};
  for (const auto& [score, text] : scores) EXPECT_EQ(ScoreText(score), text);
  const QFontInfo score(ScoreFont()), message(MessageFont());
  EXPECT_TRUE(score.family() == "Liberation Sans" && score.bold() && score.pixelSize() == 32);
  EXPECT_TRUE(message.family() == "IPAGothic" && message.bold() && message.pixelSize() == 18);

  // Side A in the window text colour, side B in black; the old score goes.
  const QColor inks[] = {window.palette().color(QPalette::WindowText), Qt::black};
  for (int side : {0, 1}) {
    for (int16_t s : {int16_t(-88), int16_t(8)}) {
      companions.Score(side).ShowScore(s);
      EXPECT_EQ(testing::Difference(companions.Score(side).Image(), Printed(companions.Score(side), ScoreFont(), inks[side], ScoreText(s))), "");
    }
  }
  const QString text = QString::fromUtf8("ゲームを再開するには\nｹﾞｰﾑ(G)-再開(R)を\n選択してください。");
  companions.Message().ShowText(text);
  EXPECT_TRUE(companions.Message().isVisible());
  EXPECT_EQ(companions.Message().Text(), text);
  EXPECT_EQ(testing::Difference(companions.Message().Image(), Printed(companions.Message(), MessageFont(),
                                                                   window.palette().color(QPalette::ButtonText), text)), "");
  companions.Message().Clear();
  EXPECT_EQ(testing::Difference(companions.Message().Image(), Printed(companions.Message(), MessageFont(), Qt::red, "")), "");
}

TEST_F(Windows, CompanionsAppearWherePlacedAndStayWhereTheUserPutsThem) {
  window.move(100, 80);
  Show();
  const std::pair<CompanionWindow*, QPoint> places[] = {{&companions.NextBox(), {366, 80}}, {&companions.PointBox(), {100, 300}},
                                                        {&companions.PointBox2(), {263, 300}}, {&companions.Message(), {100, 330}}};
  for (const auto& [w, at] : places) w->Place(at);
  companions.ShowCompanions();
  companions.Message().ShowText("x");
  for (const auto& [w, at] : places) {
    ASSERT_TRUE(QTest::qWaitForWindowExposed(w));
    EXPECT_EQ(w->frameGeometry().topLeft(), at) << w->windowTitle().toStdString();
  }
  companions.NextBox().move(500, 200);
  companions.HideCompanions();
  EXPECT_FALSE(companions.PointBox2().isVisible());
  companions.ShowCompanions();
  EXPECT_EQ(companions.NextBox().frameGeometry().topLeft(), QPoint(500, 200));
}

}  // namespace
}  // namespace pyra
