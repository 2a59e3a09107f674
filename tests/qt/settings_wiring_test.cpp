// The settings store, the start-up load, the exit saves and the player records wired into
// the real program: what a run reads, what its exit writes, what the next run makes of it.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QAudioDevice>
#include <QDir>
#include <QMediaDevices>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <cmath>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/program.h"
#include "app/qt_settings_windows.h"
#include "rules/board.h"
#include "store/settings_store.h"
#include "store/store_values.h"
#include "view/board_painter.h"
#include "view/picture_holder.h"

namespace pyra {
namespace {

// What one message box showed.
struct SeenBox {
  QString text, title;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  bool clocksRan = false;  // a move clock ran while the box was open
};

// Answers every message box with its default button, and remembers each. It looks on every
// pass of the event loop, since the game may run the loop before it opens a box.
class BoxAnswers {
 public:
  explicit BoxAnswers(Program& program) : program_(program) {
    poll_.setInterval(0);
    QObject::connect(&poll_, &QTimer::timeout, [this] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (box == nullptr || !box->isVisible()) return;
      seen.push_back({box->text(), box->windowTitle(), box->icon(),
                      program_.Comtimer().Enabled() || program_.Mantimer().Enabled()});
      box->defaultButton()->click();
    });
    poll_.start();
  }
  std::vector<SeenBox> seen;

 private:
  Program& program_;
  QTimer poll_;
};

double Tppx() { return 1440.0 / QtSettingsWindows::TheScreen()->logicalDotsPerInchX(); }
double Tppy() { return 1440.0 / QtSettingsWindows::TheScreen()->logicalDotsPerInchY(); }

// Twips as the store keeps them.
std::string TwipsX(int pixels) { return std::to_string(std::lround(pixels * Tppx())); }
std::string TwipsY(int pixels) { return std::to_string(std::lround(pixels * Tppy())); }

// The frames of the five windows, relative to the work area.
struct Layout {
  QRect main, next, point, point2, message;
  QSize client;
};

Layout LayoutOf(Program& program) {
  const QPoint origin = QtSettingsWindows::WorkArea().topLeft();
  auto frame = [&](const QWidget& w) { return w.frameGeometry().translated(-origin); };
  CompanionWindows& c = program.Companions();
  return {frame(program.Window()), frame(c.NextBox()), frame(c.PointBox()),
          frame(c.PointBox2()),    frame(c.Message()), program.Window().ClientSize()};
}

class SettingsWiring : public ::testing::Test {
 protected:
  SettingsWiring() : cwd_(QDir::currentPath()) {}
  ~SettingsWiring() override { QDir::setCurrent(cwd_); }

  std::string StorePath() const { return folder_.filePath("Pyra3/store.sqlite3").toStdString(); }

  std::unique_ptr<Program> NewProgram() {
    auto program = std::make_unique<Program>(StorePath());
    program->TheGame().seedOnLoad = false;
    program->Screen().SetPacing(false);
    return program;
  }

  // Writes straight into the store file, as an earlier run would have.
  void Store(const std::map<std::string, std::string>& values) {
    SqliteSettingsStore store(StorePath());
    for (const auto& [key, value] : values) ASSERT_TRUE(WriteSetting(store, key, value));
  }
  // The stored value, or "(none)".
  std::string Stored(const std::string& key, const std::string& section = MainSection) {
    SqliteSettingsStore store(StorePath());
    return store.Read(section, key).value_or("(none)");
  }

  void Release(Program& program, QPoint at) {
    BoardWidget& board = program.Window().Board();
    QMouseEvent press(QEvent::MouseButtonPress, at, board.mapToGlobal(at), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, at, board.mapToGlobal(at), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&board, &press);
    QApplication::sendEvent(&board, &release);
  }

  QTemporaryDir folder_;
  QString cwd_;
};

TEST_F(SettingsWiring, AFirstRunLaysOutTheDefaultsAndItsExitWritesEveryKey) {
  Layout before;
  bool musicPlays = false;  // without a sound server the start-up unchecks the music
  {
    auto program = NewProgram();
    ASSERT_TRUE(program->Start(false));
    musicPlays = program->Sequencer().CanPlay();
    before = LayoutOf(*program);
    const QRect area = QtSettingsWindows::WorkArea();

    // Eight by six cells, centred together with the NEXT window beside it and the message
    // window below it.
    EXPECT_EQ(before.client, QSize(256, 192));
    EXPECT_EQ(program->State().BoardCols, 8);
    EXPECT_EQ(program->State().BoardRows, 6);
    EXPECT_NEAR(before.main.x(), (area.width() - before.main.width() - before.next.width()) / 2.0,
                1.0);
    EXPECT_NEAR(before.main.y(),
                (area.height() - before.main.height() - before.message.height()) / 2.0, 1.0);
    const int right = before.main.x() + before.main.width();
    const int bottom = before.main.y() + before.main.height();
    EXPECT_EQ(before.next.topLeft(), QPoint(right, before.main.y()));
    EXPECT_EQ(before.point.topLeft(), QPoint(before.main.x(), bottom));
    EXPECT_EQ(before.point2.topLeft(), QPoint(before.main.x() + before.point.width(), bottom));
    EXPECT_EQ(before.message.topLeft(), QPoint(before.main.x(), bottom));

    // The options of a freshly made settings dialog with the first-run values applied.
    const GameOptions& o = program->Options();
    EXPECT_EQ(o.Option1, (std::array<bool, 4>{true, false, false, true}));
    EXPECT_EQ(o.SelectedSeriesFormat(), 0);
    EXPECT_TRUE(o.Option2[0]);
    EXPECT_EQ(o.Option3, (std::array<bool, 2>{true, false}));
    const int effects = QMediaDevices::audioOutputs().isEmpty() ? Unchecked : Checked;
    const int music = musicPlays ? Checked : Unchecked;
    EXPECT_EQ(o.Check1, (std::array<int, 4>{Checked, effects, music, Checked}));
    EXPECT_EQ(o.Combo1[0].text, "Player A");
    EXPECT_EQ(o.Combo1[1].text, "コンピュータ");
    EXPECT_FALSE(o.Combo1[1].enabled);
    EXPECT_TRUE(program->Pictures().BackgroundIsBuiltIn());
    EXPECT_TRUE(program->Pictures().SheetIsBuiltIn());
    EXPECT_EQ(program->QtSettings().ChooserPathLabel(), "");
    EXPECT_TRUE(program->State().DemoMode) << "the opening demo is on";

    QTest::keyClick(&program->Window(), Qt::Key_Escape);
    ASSERT_TRUE(program->Shell().Quitting());
  }

  const std::string effects = QMediaDevices::audioOutputs().isEmpty() ? "0" : "1";
  const std::pair<const char*, std::string> expected[] = {
      {"Top", TwipsY(before.main.y())},
      {"Left", TwipsX(before.main.x())},
      {"Width", TwipsX(before.main.width())},
      {"Height", TwipsY(before.main.height())},
      {"NextTop", TwipsY(before.next.y())},
      {"NextLeft", TwipsX(before.next.x())},
      {"PointTop", TwipsY(before.point.y())},
      {"PointLeft", TwipsX(before.point.x())},
      {"Point2Top", TwipsY(before.point2.y())},
      {"Point2Left", TwipsX(before.point2.x())},
      {"MesTop", TwipsY(before.message.y())},
      {"MesLeft", TwipsX(before.message.x())},
      {"FormOfGame", "0"},
      {"SoundEffect", effects},
      {"Music", musicPlays ? "1" : "0"},
      {"OpeningDemo", "1"},
      {"PlayerA", "0"},
      {"PlayerB", "1"},
      {"BitmapStretch", "1"},
      {"Level", "0"},
      // Written only by the settings dialog and the picture chooser.
      {"PlayerNameA", "(none)"},
      {"FileName", "(none)"},
  };
  for (const auto& [key, value] : expected) EXPECT_EQ(Stored(key), value) << key;
}

TEST_F(SettingsWiring, TheNextRunPutsEverythingBackWhereTheLastOneLeftIt) {
  Layout last;
  {
    auto program = NewProgram();
    ASSERT_TRUE(program->Start(false));
    // The user moves the main window and a score box and changes some settings.
    program->Window().move(QtSettingsWindows::WorkArea().topLeft() + QPoint(60, 50));
    program->Companions().PointBox2().move(QtSettingsWindows::WorkArea().topLeft() +
                                           QPoint(500, 420));
    GameOptions& o = program->Options();
    o.SelectSeriesFormat(3);
    o.Option3 = {false, true};
    o.SetPlayerKind(SideB, false);
    o.Check1[0] = Unchecked;
    o.Check1[3] = Unchecked;
    last = LayoutOf(*program);
    ASSERT_EQ(last.main.topLeft(), QPoint(60, 50));
    program->TheGame().ExitGame_Click();
  }

  auto program = NewProgram();
  ASSERT_TRUE(program->Start(false));
  const Layout now = LayoutOf(*program);
  struct Row {
    const char* window;
    QRect last, now;
  };
  const Row rows[] = {{"main", last.main, now.main},
                      {"NEXT", last.next, now.next},
                      {"A", last.point, now.point},
                      {"B", last.point2, now.point2},
                      {"message", last.message, now.message}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.window);
    EXPECT_LE((row.now.topLeft() - row.last.topLeft()).manhattanLength(), 1);
    EXPECT_EQ(row.now.size(), row.last.size());
  }
  EXPECT_EQ(now.point2.topLeft(), QPoint(500, 420));
  EXPECT_EQ(now.client, last.client);

  const GameOptions& o = program->Options();
  EXPECT_EQ(o.SelectedSeriesFormat(), 3);
  EXPECT_EQ(o.Option3, (std::array<bool, 2>{false, true}));
  EXPECT_EQ(o.Option1, (std::array<bool, 4>{true, false, true, false}));
  EXPECT_EQ(o.Combo1[1].text, "Player B") << "side B is a person now";
  EXPECT_EQ(o.Check1[0], Unchecked);
  EXPECT_EQ(o.Check1[3], Unchecked);
  // No demo: the title picture, and no game until one is asked for.
  EXPECT_FALSE(program->State().DemoMode);
  EXPECT_EQ(program->State().Turn, TurnNone);
}

TEST_F(SettingsWiring, StoredGeometryIsKeptOnTheScreen) {
  const QRect area = QtSettingsWindows::WorkArea();
  const int farRight = static_cast<int>((area.width() + 200) * Tppx());
  const int farDown = static_cast<int>((area.height() + 200) * Tppy());
  struct Row {
    const char* what;
    std::map<std::string, std::string> stored;
    // Given the layout before and after the start-up.
    std::function<void(const Layout&, const Layout&, Program&)> check;
  };
  const std::vector<Row> rows = {
      {"on the screen",
       {{"NextLeft", TwipsX(100)}, {"NextTop", TwipsY(80)}},
       [](const Layout&, const Layout& l, Program&) {
         EXPECT_EQ(l.next.topLeft(), QPoint(100, 80));
       }},
      {"beyond the bottom-right corner: the far edges meet the screen's",
       {{"NextLeft", std::to_string(farRight)}, {"NextTop", std::to_string(farDown)}},
       [&](const Layout&, const Layout& l, Program&) {
         EXPECT_EQ(l.next.x() + l.next.width(), area.width());
         EXPECT_EQ(l.next.y() + l.next.height(), area.height());
       }},
      {"negative: at 0",
       {{"PointLeft", "-450"}, {"PointTop", "-3000"}},
       [](const Layout&, const Layout& l, Program&) {
         EXPECT_EQ(l.point.topLeft(), QPoint(0, 0));
       }},
      {"not a number: 0",
       {{"MesLeft", "abc"}, {"MesTop", "abc"}},
       [](const Layout&, const Layout& l, Program&) {
         EXPECT_EQ(l.message.topLeft(), QPoint(0, 0));
       }},
      {"outside 16 bits: the window is not placed at all",
       {{"NextLeft", "40000"}},
       [](const Layout&, const Layout&, Program& p) {
         EXPECT_FALSE(p.Companions().NextBox().PlacedAt());
       }},
      {"a main window larger than the screen shrinks to it",
       {{"Width", std::to_string(farRight)},
        {"Height", std::to_string(farDown)},
        {"Left", "600"},
        {"Top", "600"}},
       [&](const Layout&, const Layout& l, Program&) {
         EXPECT_EQ(l.main, QRect(QPoint(0, 0), area.size()));
       }},
      {"a main window refuses a stored width of 0 and keeps the width it had",
       {{"Width", "0"}},
       [](const Layout& before, const Layout& l, Program&) {
         EXPECT_EQ(l.main.width(), before.main.width());
         EXPECT_EQ(l.client.height(), 192);
       }},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    {
      SqliteSettingsStore store(StorePath());
      ASSERT_TRUE(store.DeleteSection(MainSection));
    }
    Store(row.stored);
    Store({{"OpeningDemo", "0"}});
    auto program = NewProgram();
    const Layout before = LayoutOf(*program);
    ASSERT_TRUE(program->Start(false));
    row.check(before, LayoutOf(*program), *program);
  }
}

TEST_F(SettingsWiring, AFinishedGameIsRecordedAndTheRankingShowsIt) {
  Store({{"OpeningDemo", "0"}});
  {
    auto program = NewProgram();
    ASSERT_TRUE(program->Start(false));
    BoxAnswers boxes(*program);
    Game& game = program->TheGame();
    GameState& state = program->State();

    game.hiscore_Click();
    ASSERT_EQ(boxes.seen.size(), 1u);
    EXPECT_EQ(boxes.seen[0].text,
              QString::fromUtf8("まだどのプレーヤーの記録も保存されていません。"));
    EXPECT_EQ(boxes.seen[0].title, QString("Pyra3"));
    EXPECT_EQ(boxes.seen[0].icon, QMessageBox::Critical);

    game.NewGame_Click();
    ASSERT_NE(state.Turn, TurnNone);
    if (state.Turn == SideB) game.comtimer_Timer();
    ASSERT_EQ(state.Turn, SideA);

    // The first board: every empty cell shows its part of the background stretched over
    // the whole client area.
    const QImage& background = program->Pictures().Picture1;
    EXPECT_EQ(background.size(), program->Window().ClientSize());
    int empty = -1;
    for (int i = 0; i < state.CellCount() && empty < 0; ++i) {
      if (state.Board[i] == Empty) empty = i;
    }
    ASSERT_GE(empty, 0);
    const QRect cell(CellColumn(state, empty) * 32, CellRow(state, empty) * 32, 32, 32);
    EXPECT_EQ(program->Painter().Image().copy(cell), background.copy(cell));

    // A is far ahead: the move ends the game as a called game, won by A.
    state.Score = {40, 0};
    Release(*program, cell.center());
    EXPECT_EQ(Stored("Player00"), "Player A");
    EXPECT_EQ(Stored("Games", "Player A"), "1");
    EXPECT_EQ(Stored("Win", "Player A"), "1");
    EXPECT_EQ(Stored("Lost", "Player A"), "0");
    EXPECT_EQ(Stored("Games", "コンピュータ"), "(none)") << "the computer is never recorded";

    // Yes to another series started a new game; the ranking holds its clocks.
    ASSERT_NE(state.Turn, TurnNone);
    const size_t shown = boxes.seen.size();
    game.hiscore_Click();
    ASSERT_EQ(boxes.seen.size(), shown + 1);
    const SeenBox& ranking = boxes.seen.back();
    EXPECT_EQ(ranking.text, QString::fromUtf8("1位 Player A\n勝率1.000; 試合数1\n"));
    EXPECT_EQ(ranking.title, QString::fromUtf8("番付"));
    EXPECT_EQ(ranking.icon, QMessageBox::NoIcon);
    EXPECT_FALSE(ranking.clocksRan);
    EXPECT_TRUE(program->Comtimer().Enabled() || program->Mantimer().Enabled());
    game.ExitGame_Click();
  }

  // The next run knows the player.
  auto program = NewProgram();
  ASSERT_TRUE(program->Start(false));
  EXPECT_EQ(program->Players().PlayerCount, 1);
  for (const NameBox& box : program->Options().Combo1) {
    EXPECT_EQ(box.list, std::vector<std::string>{"Player A"});
  }
}

TEST_F(SettingsWiring, ARefusedStartAndAMinimisedExitLeaveTheGeometryAlone) {
  Store({{"Width", "5000"}, {"Level", "1"}});
  {
    auto program = NewProgram();
    BoxAnswers boxes(*program);
    EXPECT_FALSE(program->Start(true));
    ASSERT_EQ(boxes.seen.size(), 1u);
  }
  EXPECT_EQ(Stored("Width"), "5000");
  EXPECT_EQ(Stored("Level"), "1");
  EXPECT_EQ(Stored("Top"), "(none)");
  EXPECT_EQ(Stored("FormOfGame"), "(none)");

  {
    auto program = NewProgram();
    ASSERT_TRUE(program->Start(false));
    program->Options().Option3 = {true, false};
    program->Window().setWindowState(Qt::WindowMinimized);
    QCoreApplication::processEvents();
    program->TheGame().ExitGame_Click();
  }
  EXPECT_EQ(Stored("Width"), "5000");
  EXPECT_EQ(Stored("Top"), "(none)");
  EXPECT_EQ(Stored("MesLeft"), "(none)");
  EXPECT_EQ(Stored("Level"), "0") << "the options are saved all the same";
}

// The load alone, without the start-up around it.
TEST_F(SettingsWiring, PicturesComeFromTheStoredFilesAndTheBackgroundIsReadyAtOnce) {
  const QString pictures = folder_.filePath("pictures");
  ASSERT_TRUE(QDir().mkpath(pictures));
  QImage background(40, 30, QImage::Format_RGB32);
  background.fill(qRgb(10, 200, 30));
  background.setPixel(39, 29, qRgb(250, 0, 0));
  ASSERT_TRUE(background.save(pictures + "/bg.bmp"));
  QImage sheet(192, 64, QImage::Format_RGB32);
  sheet.fill(qRgb(1, 2, 3));
  ASSERT_TRUE(sheet.save(pictures + "/sheet.bmp"));
  QImage narrow(100, 64, QImage::Format_RGB32);
  narrow.fill(qRgb(4, 5, 6));
  ASSERT_TRUE(narrow.save(pictures + "/narrow.bmp"));
  const std::string folder = pictures.toStdString();

  struct Row {
    const char* what;
    std::map<std::string, std::string> stored;
    bool userBackground, userSheet;
    std::string label;
  };
  const Row rows[] = {
      {"both from files, tiled",
       {{"FullPath", folder},
        {"FileName", "bg.bmp"},
        {"KomaPath", folder},
        {"KomaName", "sheet.bmp"},
        {"BitmapStretch", "0"}},
       true,
       true,
       folder + "/sheet.bmp"},
      {"a sheet of the wrong size, stretched",
       {{"FullPath", folder + "/"}, {"FileName", "bg.bmp"}, {"KomaName", "narrow.bmp"}},
       true,
       false,
       // The sheet did load; only then was its size found wrong.
       folder + "/narrow.bmp"},
      {"missing files and folders",
       {{"FullPath", folder + "/nowhere"}, {"FileName", "bg.bmp"}, {"KomaName", "gone.bmp"}},
       false,
       false,
       ""},
      {"nothing stored", {}, false, false, ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    QDir::setCurrent(cwd_);
    {
      SqliteSettingsStore store(StorePath());
      ASSERT_TRUE(store.DeleteSection(MainSection));
    }
    Store(row.stored);
    auto program = NewProgram();
    program->Shell().LoadSettings();
    PictureHolder& p = program->Pictures();
    EXPECT_EQ(p.BackgroundIsBuiltIn(), !row.userBackground);
    EXPECT_EQ(p.SheetIsBuiltIn(), !row.userSheet);
    EXPECT_EQ(p.Picture3, row.userBackground ? background : p.TitlePicture());
    EXPECT_EQ(p.Picture2, row.userSheet ? sheet : p.Picture5);
    EXPECT_EQ(program->QtSettings().ChooserPathLabel(), row.label);
    // The work copy is ready before the window has ever been shown or resized.
    const QSize client = program->Window().ClientSize();
    EXPECT_FALSE(program->Window().isVisible());
    if (program->Options().Check1[0] == Checked) {
      ASSERT_EQ(p.Picture1.size(), client);
      EXPECT_EQ(p.Picture1.pixel(0, 0), p.Picture3.pixel(0, 0));
      EXPECT_EQ(p.Picture1.pixel(client.width() - 1, client.height() - 1),
                p.Picture3.pixel(p.Picture3.width() - 1, p.Picture3.height() - 1));
    } else {
      EXPECT_EQ(p.Picture1, p.Picture3);
    }
  }
}

// A window system that tells the main window's frame only when the window is first shown
// (an X11 window manager does): the load could only guess the frame.
TEST(SettleMainWindow, ALateFrameKeepsAStoredOuterSizeOrTheFirstRunBoardAndItsNeighbours) {
  // The offscreen platform frames every window that has no frameless hint; an X server
  // without a window manager frames none.
  if (QGuiApplication::platformName() != QLatin1String("offscreen")) {
    GTEST_SKIP() << "needs the offscreen platform's window frames";
  }
  struct Row {
    const char* what;
    bool firstRun;
  };
  const Row rows[] = {{"stored geometry", false}, {"first-run geometry", true}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    MainWindow window;
    window.setWindowFlag(Qt::FramelessWindowHint, true);
    CompanionWindows companions(&window);
    PictureHolder pictures;
    GameState state;
    BoardPainter painter(state, pictures);
    QtSettingsWindows windows(window, companions, pictures, painter);
    const QPoint origin = QtSettingsWindows::WorkArea().topLeft();
    const double tx = windows.TwipsPerPixelX();
    const double ty = windows.TwipsPerPixelY();
    const QRect outer(120, 90, 300, 260);
    ASSERT_TRUE(windows.SetMainWindow(
        {outer.x() * tx, outer.y() * ty, outer.width() * tx, outer.height() * ty}));
    const QSize loaded = window.size();
    ASSERT_EQ(loaded, outer.size()) << "no frame known yet";
    // NEXT beside the main window's right edge, score box A under its bottom edge.
    windows.MoveCompanion(Companion::NextBox, (outer.x() + outer.width()) * tx, outer.y() * ty);
    windows.MoveCompanion(Companion::PointBox, outer.x() * tx, (outer.y() + outer.height()) * ty);

    window.setWindowFlag(Qt::FramelessWindowHint, false);
    window.show();
    QtSettingsWindows::FirstRunLayout defaults;
    defaults.width = defaults.height = defaults.next = defaults.point = row.firstRun;
    windows.SettleMainWindow(defaults);
    ASSERT_NE(window.frameGeometry(), window.geometry()) << "the frame is known now";
    const QRect frame = window.frameGeometry().translated(-origin);
    EXPECT_EQ(frame.topLeft(), outer.topLeft());
    const std::optional<QPoint> next = companions.NextBox().PlacedAt();
    const std::optional<QPoint> point = companions.PointBox().PlacedAt();
    ASSERT_TRUE(next && point);
    if (row.firstRun) {
      EXPECT_EQ(window.size(), loaded) << "the board keeps its cells";
      EXPECT_GT(frame.width(), outer.width());
      EXPECT_EQ(*next - origin, QPoint(frame.x() + frame.width(), frame.y()));
      EXPECT_EQ(*point - origin, QPoint(frame.x(), frame.y() + frame.height()));
    } else {
      EXPECT_EQ(frame.size(), outer.size()) << "the stored outer size";
      EXPECT_EQ(*next - origin, QPoint(outer.x() + outer.width(), outer.y()));
      EXPECT_EQ(*point - origin, QPoint(outer.x(), outer.y() + outer.height()));
    }
    // Settling happens once: a later call leaves a moved window alone.
    window.move(origin + QPoint(10, 10));
    windows.SettleMainWindow(defaults);
    EXPECT_EQ(window.frameGeometry().topLeft(), origin + QPoint(10, 10));
  }
}

}  // namespace
}  // namespace pyra
