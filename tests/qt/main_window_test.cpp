// The main window: menus, the board as client area, mouse, keys, size, focus, window state.
#include "app/main_window.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QSpontaneKeyEvent>
#include <QTest>
#include <algorithm>

#include "app/menu_bar.h"
#include "tests/qt/fake_window_inputs.h"

namespace pyra {
namespace {

using testing::FakeInputs;
using Calls = std::vector<std::string>;

// A main window reporting to a recording game.
class WindowTest : public ::testing::Test {
 protected:
  WindowTest() { window.SetInputs(&inputs); }
  void Show() {
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  }
  // The calls with one of these names, in order; the record starts afresh.
  Calls Take(std::initializer_list<std::string> names) {
    Calls out;
    for (const auto& c : inputs.calls) {
      if (std::find(names.begin(), names.end(), c) != names.end()) out.push_back(c);
    }
    inputs.calls.clear();
    return out;
  }
  MainWindow window;
  FakeInputs inputs;
};
using MainWindowMenus = WindowTest;
using MainWindowBoard = WindowTest;
using MainWindowSize = WindowTest;
using MainWindowKeys = WindowTest;
using MainWindowState = WindowTest;
using MainWindowClose = WindowTest;

TEST_F(MainWindowMenus, CaptionsOrderVisibilityAndAccessKeysAreExact) {
  struct Row {
    const char* text;  // empty for a separator
    bool visible;
    Qt::Key key;  // with Alt, the caption's shortcut
  };
  const auto check = [](const QList<QAction*>& actions, const std::vector<Row>& rows) {
    ASSERT_EQ(actions.size(), static_cast<qsizetype>(rows.size()));
    for (size_t i = 0; i < rows.size(); ++i) {
      SCOPED_TRACE(i);
      const QString text = QString::fromUtf8(rows[i].text);
      EXPECT_EQ(actions[i]->isSeparator(), text.isEmpty());
      EXPECT_EQ(actions[i]->isVisible(), rows[i].visible);
      if (text.isEmpty()) continue;
      EXPECT_EQ(actions[i]->text(), text);
      // The kana marker after the Latin one must not take over or cancel the shortcut.
      EXPECT_EQ(QKeySequence::mnemonic(text), QKeySequence(Qt::ALT | rows[i].key));
    }
  };
  const QList<QAction*> bar = window.menuBar()->actions();
  ASSERT_NO_FATAL_FAILURE(check(bar, {{"ｹﾞｰﾑ(&G&ｷ)", true, Qt::Key_G},
                                      {"設定(&S&ﾄ)...", true, Qt::Key_S},
                                      {"ﾍﾙﾌﾟ(&H&ｵ)", true, Qt::Key_H}}));
  EXPECT_EQ(bar[0]->menu(), window.GameMenu());
  EXPECT_EQ(bar[1]->menu(), nullptr) << "the settings command is a menu-bar item of its own";
  EXPECT_EQ(bar[2]->menu(), window.HelpMenu());
  EXPECT_EQ(window.GameMenu()->title(), QString::fromUtf8("ｹﾞｰﾑ(&G&ｷ)"));
  EXPECT_EQ(window.HelpMenu()->title(), QString::fromUtf8("ﾍﾙﾌﾟ(&H&ｵ)"));
  check(window.GameMenu()->actions(), {{"新規(&N&ﾐ)", true, Qt::Key_N},
                                       {"中断(&P&ｾ)", false, Qt::Key_P},
                                       {"番付(&H&ｸ)", true, Qt::Key_H},
                                       {"", true, Qt::Key_unknown},
                                       {"終了(&X&ｻ)", true, Qt::Key_X}});
  check(window.HelpMenu()->actions(), {{"トピックの検索(&H&ｸ)", true, Qt::Key_H},
                                       {"", true, Qt::Key_unknown},
                                       {"Pyra3について(&A&ﾁ)...", true, Qt::Key_A}});
  EXPECT_EQ(QKeySequence::mnemonic(QString::fromUtf8("再開(&R&ｽ)")),
            QKeySequence(Qt::ALT | Qt::Key_R));

  // The game's names for the items it shows, hides and renames, in menu order.
  const MenuItem items[] = {MenuItem::NewGame, MenuItem::Pause, MenuItem::Hiscore, MenuItem::Jimi,
                            MenuItem::ExitGame};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(window.Item(items[i]), window.GameMenu()->actions()[i]);
  EXPECT_EQ(window.windowTitle(), QString("Pyra3"));
}

TEST_F(MainWindowMenus, EveryCaptionGetsTheRoomToShowInFull) {
  const int flags = Qt::TextShowMnemonic | Qt::TextSingleLine;
  for (QMenu* menu : {window.GameMenu(), window.HelpMenu()}) {
    ASSERT_NE(dynamic_cast<MenuCaptionStyle*>(menu->style()), nullptr);
    const QFontMetrics metrics(menu->font());
    QStringList captions;
    for (const QAction* a : menu->actions()) {
      if (!a->isSeparator()) captions << a->text();
    }
    captions << QString::fromUtf8("再開(&R&ｽ)");
    for (const QString& caption : captions) {
      SCOPED_TRACE(caption.toStdString());
      const int width = metrics.boundingRect(QRect(), flags, caption).width();
      const int room = MenuCaptionStyle::Room(caption, metrics);
      EXPECT_EQ(metrics.elidedText(caption, Qt::ElideMiddle, width + room, flags), caption);
    }
  }
  // Without the room the widest caption of its menu would be cut short; the menu is wider by
  // exactly that room.
  const QString about = window.AboutAction()->text();
  const QFontMetrics metrics(window.HelpMenu()->font());
  const int room = MenuCaptionStyle::Room(about, metrics);
  EXPECT_GT(room, 0);
  QMenu plain, styled;
  MenuCaptionStyle style;
  styled.setStyle(&style);
  plain.addAction(about);
  styled.addAction(about);
  EXPECT_EQ(styled.sizeHint().width() - plain.sizeHint().width(), room);
}

TEST_F(MainWindowMenus, EachItemRunsItsCommand) {
  window.Item(MenuItem::Pause)->setVisible(true);
  const std::pair<QAction*, const char*> rows[] = {
      {window.Item(MenuItem::NewGame), "Menu NewGame"},
      {window.Item(MenuItem::Pause), "Menu Pause"},
      {window.Item(MenuItem::Hiscore), "Menu Hiscore"},
      {window.Item(MenuItem::ExitGame), "Menu ExitGame"},
      {window.GameSetAction(), "Menu GameSet"},
      {window.IndexAction(), "Menu Index"},
      {window.AboutAction(), "Menu About"},
  };
  for (const auto& [action, expected] : rows) {
    inputs.calls.clear();
    action->trigger();
    EXPECT_EQ(inputs.calls, Calls{expected});
  }
}

TEST_F(MainWindowMenus, AltAndTheLatinKeyOpenTheMenuOrRunTheCommand) {
  window.show();
  QApplication::setActiveWindow(&window);
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));

  QTest::keyClick(&window, Qt::Key_S, Qt::AltModifier);
  QCoreApplication::processEvents();
  EXPECT_EQ(inputs.Named("Menu"), Calls{"Menu GameSet"});

  QTest::keyClick(&window, Qt::Key_G, Qt::AltModifier);
  EXPECT_TRUE(QTest::qWaitFor([&] { return window.GameMenu()->isVisible(); }, 500));
  window.GameMenu()->hide();
}

TEST_F(MainWindowBoard, ReleasesReachTheGameInClientPixels) {
  window.SetClientSize(QSize(256, 192));
  Show();

  // The board starts right under the menu bar, at the window's left edge: no margin.
  BoardWidget& board = window.Board();
  EXPECT_EQ(board.mapTo(&window, QPoint(0, 0)), QPoint(0, window.menuBar()->height()));
  EXPECT_EQ(board.size(), QSize(256, 192));

  struct Row {
    Qt::MouseButton button;
    QPoint at;
    const char* expected;
  };
  const Row rows[] = {
      {Qt::LeftButton, {35, 40}, "MouseUp L 35 40"},
      {Qt::LeftButton, {0, 0}, "MouseUp L 0 0"},
      {Qt::LeftButton, {3, 40}, "MouseUp L 3 40"},
      {Qt::LeftButton, {255, 191}, "MouseUp L 255 191"},
      {Qt::RightButton, {36, 40}, "MouseUp R 36 40"},
      {Qt::MiddleButton, {1, 2}, "MouseUp M 1 2"},
  };
  for (const Row& row : rows) {
    inputs.calls.clear();
    // Press and release by hand: QTest takes the point (0, 0) for the middle of the widget.
    QMouseEvent press(QEvent::MouseButtonPress, row.at, board.mapToGlobal(row.at), row.button,
                      row.button, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, row.at, board.mapToGlobal(row.at), row.button,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&board, &press);
    QApplication::sendEvent(&board, &release);
    EXPECT_EQ(inputs.Named("MouseUp"), Calls{row.expected});
  }

  // A release on the menu bar is no board click.
  inputs.calls.clear();
  QTest::mouseClick(window.menuBar(), Qt::RightButton, Qt::NoModifier, QPoint(200, 5));
  EXPECT_EQ(inputs.Count("MouseUp"), 0);
}

TEST_F(MainWindowBoard, PaintsTheBoardImagePixelForPixelAlsoAtTwiceTheDensity) {
  window.SetClientSize(QSize(64, 32));
  QImage image(64, 32, QImage::Format_RGB32);
  for (int y = 0; y < 32; ++y) {
    for (int x = 0; x < 64; ++x) image.setPixel(x, y, qRgb(x * 4, y * 8, (x + y) % 2 ? 255 : 0));
  }
  window.Board().SetImage(&image);

  for (int ratio : {1, 2}) {
    SCOPED_TRACE(ratio);
    QImage shot(64 * ratio, 32 * ratio, QImage::Format_RGB32);
    shot.setDevicePixelRatio(ratio);
    shot.fill(Qt::red);
    window.Board().render(&shot);
    // Every image pixel becomes a ratio x ratio block of exactly its colour: no blending.
    int wrong = 0;
    for (int y = 0; y < shot.height(); ++y) {
      for (int x = 0; x < shot.width(); ++x) {
        if (shot.pixel(x, y) != image.pixel(x / ratio, y / ratio)) ++wrong;
      }
    }
    EXPECT_EQ(wrong, 0);
  }
}

TEST_F(MainWindowSize, SetClientSizeGivesTheBoardExactlyThatSize) {
  for (bool shown : {false, true}) {
    MainWindow window;  // a fresh one each time
    if (shown) {
      window.show();
      ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    }
    for (QSize size : {QSize(256, 192), QSize(192, 160), QSize(800, 480), QSize(224, 32),
                       QSize(1600, 1600), QSize(256, 192)}) {
      SCOPED_TRACE(
          QString("%1x%2 shown %3").arg(size.width()).arg(size.height()).arg(shown).toStdString());
      window.SetClientSize(size);
      EXPECT_EQ(window.ClientSize(), size);
      EXPECT_EQ(window.Board().size(), size);
      EXPECT_EQ(window.height() - window.Board().height(), window.menuBar()->height());
    }
  }
}

TEST_F(MainWindowSize, EveryMenuTitleCanBeClickedAtEveryBoardWidth) {
  Show();
  auto* bar = qobject_cast<WrappingMenuBar*>(window.menuBar());
  ASSERT_NE(bar, nullptr);
  // Narrow boards wrap the titles onto more lines; the board keeps its whole height.
  for (int cols : {5, 4, 3, 2, 1, 7}) {
    SCOPED_TRACE(cols);
    window.SetClientSize(QSize(cols * 32, 5 * 32));
    EXPECT_EQ(window.ClientSize(), QSize(cols * 32, 160));
    EXPECT_EQ(window.Board().geometry(), QRect(0, bar->height(), cols * 32, 160));
    ASSERT_EQ(bar->Titles().size(), 3);
    for (QAction* title : bar->Titles()) {
      // Inside the bar, and Qt's own hit test finds the title where it is drawn.
      const QRect at = bar->TitleGeometry(title);
      EXPECT_TRUE(bar->rect().contains(at)) << title->text().toStdString();
      auto* line = qobject_cast<QMenuBar*>(bar->childAt(at.center()));
      if (line == nullptr) line = bar;
      EXPECT_EQ(line->actionAt(line->mapFrom(bar, at.center())), title);
    }
  }
  // Wrapped over the whole window, the menu bar leaves no client area to measure from.
  window.resize(32, 20);
  window.SetClientSize(QSize(32, 32));
  EXPECT_EQ(window.ClientSize(), QSize(32, 32));
}

TEST_F(MainWindowSize, SetClientSizeEndsWhenTheWindowCannotGrow) {
  window.setMaximumSize(300, 250);
  Show();
  window.SetClientSize(QSize(1600, 1600));  // must return
  EXPECT_EQ(window.size(), QSize(300, 250));
  EXPECT_EQ(window.ClientSize(), QSize(300, 250 - window.menuBar()->height()));
  window.setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
  window.setMinimumSize(400, 300);
  window.SetClientSize(QSize(32, 32));  // nor can it shrink below its minimum
  EXPECT_EQ(window.size(), QSize(400, 300));
}

TEST_F(MainWindowKeys, ReleasedKeysReachTheGameWithTheGameCodes) {
  Show();
  const std::pair<Qt::Key, const char*> rows[] = {
      {Qt::Key_Space, "KeyUp 32"}, {Qt::Key_Escape, "KeyUp 27"}, {Qt::Key_A, "KeyUp 65"},
      {Qt::Key_Return, "KeyUp 0"}, {Qt::Key_F1, "KeyUp 0"},
  };
  for (const auto& [key, expected] : rows) {
    inputs.calls.clear();
    QTest::keyClick(&window, key);
    EXPECT_EQ(inputs.calls, Calls{expected});
  }
}

TEST_F(MainWindowKeys, AReleaseWithoutItsPressOrARepeatIsDropped) {
  // Esc closed a message box with its press; its release must not end the program here.
  QKeyEvent release(QEvent::KeyRelease, Qt::Key_Escape, Qt::NoModifier);
  QApplication::sendEvent(&window, &release);
  EXPECT_TRUE(inputs.calls.empty());

  // Holding the space bar: one press, repeated release/press pairs, one final release.
  QKeyEvent press(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, " ");
  QKeyEvent repeatRelease(QEvent::KeyRelease, Qt::Key_Space, Qt::NoModifier, " ", true);
  QKeyEvent repeatPress(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, " ", true);
  QKeyEvent finalRelease(QEvent::KeyRelease, Qt::Key_Space, Qt::NoModifier, " ");
  QApplication::sendEvent(&window, &press);
  for (int i = 0; i < 3; ++i) {
    QApplication::sendEvent(&window, &repeatRelease);
    QApplication::sendEvent(&window, &repeatPress);
  }
  QApplication::sendEvent(&window, &finalRelease);
  EXPECT_EQ(inputs.calls, Calls{"KeyUp 32"});
}

TEST_F(MainWindowState, MinimiseAndRestoreCallTheirHandlers) {
  Show();
  inputs.calls.clear();
  // Each change is followed by the window system's own report of it, which must change
  // nothing further. Leaving the minimised state may also report the new size: "Restored"
  // first, and nothing else.
  const auto states = [&](Qt::WindowStates state) {
    window.setWindowState(state);
    QCoreApplication::processEvents();
    return Take({"Minimised", "Restored"});
  };
  const auto restoredOnly = [](const Calls& calls) {
    return !calls.empty() &&
           std::all_of(calls.begin(), calls.end(), [](auto& c) { return c == "Restored"; });
  };
  EXPECT_EQ(states(Qt::WindowMinimized), Calls{"Minimised"});
  EXPECT_TRUE(restoredOnly(states(Qt::WindowNoState)));
  EXPECT_EQ(states(Qt::WindowMaximized), Calls{}) << "maximising is none of the game's business";
  // Minimised from the maximised state and back into it: the game must come back too.
  EXPECT_EQ(states(Qt::WindowMinimized | Qt::WindowMaximized), Calls{"Minimised"});
  EXPECT_EQ(states(Qt::WindowMaximized), Calls{"Restored"});
  // Un-maximising gives the normal window (and its new size) back to the game.
  EXPECT_TRUE(restoredOnly(states(Qt::WindowNoState)));
}

TEST_F(MainWindowState, ResizingTheNormalWindowReportsItForTheBackground) {
  Show();
  inputs.calls.clear();
  window.SetClientSize(QSize(320, 224));
  EXPECT_GE(inputs.Count("Restored"), 1);
}

class Activation : public WindowTest {
 protected:
  void SetUp() override {
    companion = new QWidget(&window, Qt::Tool);
    companion->resize(50, 30);
    window.SetCompanionTest([this](const QWidget* w) { return w == companion; });
    window.show();
    companion->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QApplication::setActiveWindow(&window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    inputs.calls.clear();
  }
  Calls Focus() { return Take({"LostFocus", "GotFocus"}); }
  QWidget* companion = nullptr;
};

TEST_F(Activation, LeavingTheProgramAndComingBackAreReportedOnceEach) {
  QApplication::setActiveWindow(nullptr);
  QApplication::setActiveWindow(nullptr);
  EXPECT_EQ(Focus(), Calls{"LostFocus"});
  QApplication::setActiveWindow(&window);
  EXPECT_EQ(Focus(), Calls{"GotFocus"});
}

TEST_F(Activation, ACompanionTakingTheActivationIsNoLoss) {
  QApplication::setActiveWindow(companion);
  QApplication::setActiveWindow(&window);
  EXPECT_TRUE(Focus().empty());
}

TEST_F(Activation, AModalWindowOfTheProgramIsNoLoss) {
  // The game holds its clocks around its modal windows itself.
  QDialog dialog(&window);
  dialog.setModal(true);
  dialog.show();
  QApplication::setActiveWindow(&dialog);
  dialog.hide();
  QApplication::setActiveWindow(&window);
  EXPECT_TRUE(Focus().empty());
}

// The window's close box: a close event from the window system.
bool CloseBox(QWidget& window) {
  QCloseEvent event;
  QSpontaneKeyEvent::setSpontaneous(&event);
  QApplication::sendEvent(&window, &event);
  return event.isAccepted();
}

TEST_F(MainWindowClose, TheCloseBoxLeavesTheDecisionToTheGame) {
  Show();

  // The game does not end the program: the window stays.
  EXPECT_FALSE(CloseBox(window));
  EXPECT_EQ(inputs.calls, Calls{"CloseRequested"});

  // The game ends the program (its shut-down hides the windows): the close goes through,
  // and closing again does not run the shut-down a second time.
  inputs.calls.clear();
  inputs.onClose = [&] {
    window.SetClosing();
    window.hide();
  };
  EXPECT_TRUE(CloseBox(window));
  EXPECT_EQ(inputs.calls, Calls{"CloseRequested"});
  EXPECT_TRUE(CloseBox(window));
  EXPECT_TRUE(window.close());
  EXPECT_EQ(inputs.Count("CloseRequested"), 1);
}

TEST_F(MainWindowClose, NothingReachesTheGameOnceItIsEnding) {
  Show();
  window.SetClosing();
  inputs.calls.clear();
  QTest::mouseClick(&window.Board(), Qt::LeftButton, Qt::NoModifier, QPoint(40, 40));
  QTest::keyClick(&window, Qt::Key_Space);
  window.Item(MenuItem::NewGame)->trigger();
  window.setWindowState(Qt::WindowMinimized);
  EXPECT_TRUE(inputs.calls.empty());
}

}  // namespace
}  // namespace pyra
