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

#include "tests/qt/fake_window_inputs.h"

namespace pyra {
namespace {

using testing::FakeInputs;

TEST(MainWindowMenus, CaptionsOrderAndVisibilityAreExact) {
  MainWindow window;
  const QList<QAction*> bar = window.menuBar()->actions();
  ASSERT_EQ(bar.size(), 3);
  EXPECT_EQ(bar[0]->text(), QString::fromUtf8("ｹﾞｰﾑ(&G&ｷ)"));
  EXPECT_EQ(bar[0]->menu(), window.GameMenu());
  EXPECT_EQ(bar[1]->text(), QString::fromUtf8("設定(&S&ﾄ)..."));
  EXPECT_EQ(bar[1]->menu(), nullptr) << "the settings command is a menu-bar item of its own";
  EXPECT_EQ(bar[2]->text(), QString::fromUtf8("ﾍﾙﾌﾟ(&H&ｵ)"));
  EXPECT_EQ(bar[2]->menu(), window.HelpMenu());
  EXPECT_EQ(window.GameMenu()->title(), QString::fromUtf8("ｹﾞｰﾑ(&G&ｷ)"));
  EXPECT_EQ(window.HelpMenu()->title(), QString::fromUtf8("ﾍﾙﾌﾟ(&H&ｵ)"));

  struct Row {
    const char* text;  // empty for a separator
    bool visible;
  };
  auto check = [](const QMenu* menu, const std::vector<Row>& rows) {
    const QList<QAction*> actions = menu->actions();
    ASSERT_EQ(actions.size(), static_cast<qsizetype>(rows.size()));
    for (size_t i = 0; i < rows.size(); ++i) {
      SCOPED_TRACE(i);
      const bool separator = rows[i].text[0] == '\0';
      EXPECT_EQ(actions[i]->isSeparator(), separator);
      if (!separator) {
        EXPECT_EQ(actions[i]->text(), QString::fromUtf8(rows[i].text));
      }
      EXPECT_EQ(actions[i]->isVisible(), rows[i].visible);
    }
  };
  check(window.GameMenu(), {{"新規(&N&ﾐ)", true},
                            {"中断(&P&ｾ)", false},
                            {"番付(&H&ｸ)", true},
                            {"", true},
                            {"終了(&X&ｻ)", true}});
  check(window.HelpMenu(),
        {{"トピックの検索(&H&ｸ)", true}, {"", true}, {"Pyra3について(&A&ﾁ)...", true}});

  // The game's names for the items it shows, hides and renames.
  EXPECT_EQ(window.Item(MenuItem::NewGame), window.GameMenu()->actions()[0]);
  EXPECT_EQ(window.Item(MenuItem::Pause), window.GameMenu()->actions()[1]);
  EXPECT_EQ(window.Item(MenuItem::Hiscore), window.GameMenu()->actions()[2]);
  EXPECT_EQ(window.Item(MenuItem::Jimi), window.GameMenu()->actions()[3]);
  EXPECT_EQ(window.Item(MenuItem::ExitGame), window.GameMenu()->actions()[4]);
  EXPECT_EQ(window.windowTitle(), QString("Pyra3"));
}

TEST(MainWindowMenus, TheFirstAccessKeyOfEachCaptionIsTheShortcut) {
  // The kana marker after the Latin one must not take over or cancel the shortcut.
  struct Row {
    const char* caption;
    QKeyCombination key;
  };
  const Row rows[] = {
      {"ｹﾞｰﾑ(&G&ｷ)", Qt::ALT | Qt::Key_G},
      {"新規(&N&ﾐ)", Qt::ALT | Qt::Key_N},
      {"中断(&P&ｾ)", Qt::ALT | Qt::Key_P},
      {"再開(&R&ｽ)", Qt::ALT | Qt::Key_R},
      {"番付(&H&ｸ)", Qt::ALT | Qt::Key_H},
      {"終了(&X&ｻ)", Qt::ALT | Qt::Key_X},
      {"設定(&S&ﾄ)...", Qt::ALT | Qt::Key_S},
      {"ﾍﾙﾌﾟ(&H&ｵ)", Qt::ALT | Qt::Key_H},
      {"トピックの検索(&H&ｸ)", Qt::ALT | Qt::Key_H},
      {"Pyra3について(&A&ﾁ)...", Qt::ALT | Qt::Key_A},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.caption);
    EXPECT_EQ(QKeySequence::mnemonic(QString::fromUtf8(row.caption)), QKeySequence(row.key));
  }
}

TEST(MainWindowMenus, EveryCaptionGetsTheRoomToShowInFull) {
  MainWindow window;
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

TEST(MainWindowMenus, EachItemRunsItsCommand) {
  MainWindow window;
  FakeInputs inputs;
  window.SetInputs(&inputs);
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
    EXPECT_EQ(inputs.calls, std::vector<std::string>{expected});
  }
}

TEST(MainWindowMenus, AltAndTheLatinKeyOpenTheMenuOrRunTheCommand) {
  MainWindow window;
  FakeInputs inputs;
  window.SetInputs(&inputs);
  window.show();
  QApplication::setActiveWindow(&window);
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));

  QTest::keyClick(&window, Qt::Key_S, Qt::AltModifier);
  QCoreApplication::processEvents();
  EXPECT_EQ(inputs.Named("Menu"), std::vector<std::string>{"Menu GameSet"});

  QTest::keyClick(&window, Qt::Key_G, Qt::AltModifier);
  EXPECT_TRUE(QTest::qWaitFor([&] { return window.GameMenu()->isVisible(); }, 500));
  window.GameMenu()->hide();
}

// --- The board --------------------------------------------------------------------------

TEST(MainWindowBoard, ReleasesReachTheGameInClientPixels) {
  MainWindow window;
  FakeInputs inputs;
  window.SetInputs(&inputs);
  window.SetClientSize(QSize(256, 192));
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

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
    EXPECT_EQ(inputs.Named("MouseUp"), std::vector<std::string>{row.expected});
  }

  // A release on the menu bar is no board click.
  inputs.calls.clear();
  QTest::mouseClick(window.menuBar(), Qt::RightButton, Qt::NoModifier, QPoint(200, 5));
  EXPECT_EQ(inputs.Count("MouseUp"), 0);
}

TEST(MainWindowBoard, PaintsTheBoardImagePixelForPixelAlsoAtTwiceTheDensity) {
  MainWindow window;
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

// --- Size ------------------------------------------------------------------------------------

TEST(MainWindowSize, SetClientSizeGivesTheBoardExactlyThatSize) {
  for (bool shown : {false, true}) {
    MainWindow window;
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

TEST(MainWindowSize, SetClientSizeEndsWhenTheWindowCannotGrow) {
  MainWindow window;
  window.setMaximumSize(300, 250);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  window.SetClientSize(QSize(1600, 1600));  // must return
  EXPECT_EQ(window.size(), QSize(300, 250));
  EXPECT_EQ(window.ClientSize(), QSize(300, 250 - window.menuBar()->height()));
  window.setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
  window.setMinimumSize(400, 300);
  window.SetClientSize(QSize(32, 32));  // nor can it shrink below its minimum
  EXPECT_EQ(window.size(), QSize(400, 300));
}

// --- Keys ------------------------------------------------------------------------------------

TEST(MainWindowKeys, ReleasedKeysReachTheGameWithTheGameCodes) {
  MainWindow window;
  FakeInputs inputs;
  window.SetInputs(&inputs);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  const std::pair<Qt::Key, const char*> rows[] = {
      {Qt::Key_Space, "KeyUp 32"}, {Qt::Key_Escape, "KeyUp 27"}, {Qt::Key_A, "KeyUp 65"},
      {Qt::Key_Return, "KeyUp 0"}, {Qt::Key_F1, "KeyUp 0"},
  };
  for (const auto& [key, expected] : rows) {
    inputs.calls.clear();
    QTest::keyClick(&window, key);
    EXPECT_EQ(inputs.calls, std::vector<std::string>{expected});
  }
}

TEST(MainWindowKeys, AReleaseWithoutItsPressOrARepeatIsDropped) {
  MainWindow window;
  FakeInputs inputs;
  window.SetInputs(&inputs);
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
  EXPECT_EQ(inputs.calls, std::vector<std::string>{"KeyUp 32"});
}

// --- Window state and focus ------------------------------------------------------------------

TEST(MainWindowState, MinimiseAndRestoreCallTheirHandlers) {
  MainWindow window;
  FakeInputs inputs;
  window.SetInputs(&inputs);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  inputs.calls.clear();

  auto states = [&] {
    std::vector<std::string> out;
    for (const auto& c : inputs.calls) {
      if (c == "Minimised" || c == "Restored") out.push_back(c);
    }
    inputs.calls.clear();
    return out;
  };
  using V = std::vector<std::string>;

  // Each change is followed by the window system's own report of it, which must change
  // nothing further.
  window.setWindowState(Qt::WindowMinimized);
  QCoreApplication::processEvents();
  EXPECT_EQ(states(), V{"Minimised"});
  window.setWindowState(Qt::WindowNoState);
  QCoreApplication::processEvents();
  V back = states();
  ASSERT_FALSE(back.empty());
  EXPECT_EQ(back.front(), "Restored");

  window.setWindowState(Qt::WindowMaximized);
  QCoreApplication::processEvents();
  EXPECT_EQ(states(), V{}) << "maximising is none of the game's business";

  // Minimised from the maximised state and back into it: the game must come back too.
  window.setWindowState(Qt::WindowMinimized | Qt::WindowMaximized);
  QCoreApplication::processEvents();
  EXPECT_EQ(states(), V{"Minimised"});
  window.setWindowState(Qt::WindowMaximized);
  QCoreApplication::processEvents();
  EXPECT_EQ(states(), V{"Restored"});

  // Un-maximising gives the normal window (and its new size) back to the game.
  window.setWindowState(Qt::WindowNoState);
  QCoreApplication::processEvents();
  back = states();
  ASSERT_FALSE(back.empty());
  EXPECT_EQ(back.front(), "Restored");
  EXPECT_EQ(inputs.Count("Minimised"), 0);
}

TEST(MainWindowState, ResizingTheNormalWindowReportsItForTheBackground) {
  MainWindow window;
  FakeInputs inputs;
  window.SetInputs(&inputs);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  inputs.calls.clear();
  window.SetClientSize(QSize(320, 224));
  EXPECT_GE(inputs.Count("Restored"), 1);
}

class Activation : public ::testing::Test {
 protected:
  void SetUp() override {
    window.SetInputs(&inputs);
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
  std::vector<std::string> Focus() const {
    std::vector<std::string> out;
    for (const auto& c : inputs.calls) {
      if (c == "LostFocus" || c == "GotFocus") out.push_back(c);
    }
    return out;
  }
  MainWindow window;
  FakeInputs inputs;
  QWidget* companion = nullptr;
};

TEST_F(Activation, LeavingTheProgramAndComingBackAreReportedOnceEach) {
  QApplication::setActiveWindow(nullptr);
  QApplication::setActiveWindow(nullptr);
  EXPECT_EQ(Focus(), std::vector<std::string>{"LostFocus"});
  QApplication::setActiveWindow(&window);
  EXPECT_EQ(Focus(), (std::vector<std::string>{"LostFocus", "GotFocus"}));
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

// --- Closing --------------------------------------------------------------------------------

// The window's close box: a close event from the window system.
bool CloseBox(QWidget& window) {
  QCloseEvent event;
  QSpontaneKeyEvent::setSpontaneous(&event);
  QApplication::sendEvent(&window, &event);
  return event.isAccepted();
}

TEST(MainWindowClose, TheCloseBoxLeavesTheDecisionToTheGame) {
  MainWindow window;
  FakeInputs inputs;
  window.SetInputs(&inputs);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

  // The game does not end the program: the window stays.
  EXPECT_FALSE(CloseBox(window));
  EXPECT_EQ(inputs.calls, std::vector<std::string>{"CloseRequested"});

  // The game ends the program (its shut-down hides the windows): the close goes through,
  // and closing again does not run the shut-down a second time.
  inputs.calls.clear();
  inputs.onClose = [&] {
    window.SetClosing();
    window.hide();
  };
  EXPECT_TRUE(CloseBox(window));
  EXPECT_EQ(inputs.calls, std::vector<std::string>{"CloseRequested"});
  EXPECT_TRUE(CloseBox(window));
  EXPECT_TRUE(window.close());
  EXPECT_EQ(inputs.Count("CloseRequested"), 1);
}

TEST(MainWindowClose, NothingReachesTheGameOnceItIsEnding) {
  MainWindow window;
  FakeInputs inputs;
  window.SetInputs(&inputs);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
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
