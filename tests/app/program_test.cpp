// The whole program driven through its windows as a person would: a first run's demo, game, pause
// and exit; a next run finding everything where it was left; 60 columns; a refused second copy.
#include "app/program.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QAudioDevice>
#include <QDir>
#include <QMediaDevices>
#include <QScreen>
#include <QSpontaneKeyEvent>
#include <QTest>

#include "app/about_box.h"
#include "match/messages.h"
#include "qt_helpers.h"
#include "rules/board.h"
#include "store/store_values.h"
#include "temp_dir.h"
#include "view/gdi.h"
#include "view/next_pieces.h"
#include "view/screen_area.h"

namespace pyra {
namespace {

using testing::Difference;

class ProgramTest : public ::testing::Test {
 protected:
  ~ProgramTest() override { QDir::setCurrent(cwd); }  // the load makes the picture folder current
  struct Rig {  // a program started on this test's store, and the parts the tests drive
    std::unique_ptr<Program> p;
    MainWindow& w;
    CompanionWindows& c;
    GameState& s;
  };
  using Values = std::initializer_list<std::pair<const char*, std::string>>;
  Rig Run(Values stored = {}, bool anotherCopy = false) {  // the values stored first
    Store(stored);
    auto program = std::make_unique<Program>(dir.File("store.sqlite3"));
    program->TheGame().SeedOnStart(false), program->Screen().SetPacing(false);
    started = program->Start(anotherCopy);
    Program& p = *program;
    return {std::move(program), p.Window(), p.Companions(), p.State()};
  }
  std::vector<QRect> PlayAndClose();
  void Store(Values values) {
    SqliteSettingsStore store(dir.File("store.sqlite3"));
    for (const auto& [key, value] : values) ASSERT_TRUE(WriteSetting(store, key, value));
  }
  std::string Stored(const std::string& key, const std::string& section = MainSection) {
    return SqliteSettingsStore(dir.File("store.sqlite3")).Read(section, key).value_or("(none)");
  }
  // The five windows, and their frames from the work area's corner.
  static std::vector<QWidget*> Windows(Program& p) {
    return {&p.Window(), &p.Companions().NextBox(), &p.Companions().ScoreBoxA(),
            &p.Companions().ScoreBoxB(), &p.Companions().Message()};
  }
  static std::vector<QRect> Layout(Program& p) {
    std::vector<QRect> out;
    for (QWidget* w : Windows(p))
      out.push_back(w->frameGeometry().translated(-WorkArea().topLeft()));
    return out;
  }
  // The board image is shown (bar the focus frame, tested apart); each empty cell, its background.
  static void ExpectBoardShown(Program& p) {
    BoardWidget& board = p.Window().Board();
    QImage shot(board.size(), QImage::Format_RGB32);
    const std::optional<Cell> focus = board.FocusCell();
    board.SetFocusCell(std::nullopt), board.render(&shot), board.SetFocusCell(focus);
    EXPECT_EQ(Difference(shot, p.Painter().Image()), "");
    const GameState& s = p.State();
    const QImage& tile = p.Pictures().drawnBackground;
    for (int i = 0, k = 0; i < s.CellCount(); k = (k + 1) % 1024, i += k == 0) {
      const int x = CellColumn(s, i) * 32 + k % 32, y = CellRow(s, i) * 32 + k / 32;
      const QRgb background = tile.pixel(x % tile.width(), y % tile.height());
      const QRgb shown = s.board[i] == Empty ? p.Painter().Image().pixel(x, y) : background;
      ASSERT_EQ(shown, background) << x << "," << y;
    }
  }
  // A left-button release on the far corner of a cell; the first empty cell.
  static void Click(Program& p, int i) {
    testing::Release(p.Window().Board(), Qt::LeftButton,
                     QPoint(CellColumn(p.State(), i) * 32 + 31, CellRow(p.State(), i) * 32));
  }
  static int EmptyCell(const GameState& s) {
    return int(std::find(s.board.begin(), s.board.end(), Empty) - s.board.begin());
  }
  static bool CloseBox(QWidget& w) {
    QCloseEvent event;
    QSpontaneKeyEvent::setSpontaneous(&event);
    qApp->notify(&w, &event);  // sendEvent would make it the program's own close
    return event.isAccepted();
  }
  const QString cwd = QDir::currentPath();
  testing::TempDir dir;
  testing::ModalAnswerer boxes;
  bool started = false;
};

TEST_F(ProgramTest, AFirstRunsDemoOnEightBySixCellsGivesWayToAGameWhereOnlyALeftReleasePlaces) {
  auto [p, w, c, s] = Run();
  ASSERT_TRUE(started);
  // The demo, its notice showing, the computer's clock at double speed, no pause item; the
  // background stretched, the busy cursor gone.
  EXPECT_EQ(
      std::tuple(w.windowTitle(), w.ClientSize(), s.boardCols, s.boardRows, s.demoMode,
                 c.Message().Text(), c.ScoreBoxB().isVisible(), p->ComputerClock().Enabled(),
                 p->ComputerClock().Interval(), w.Item(MenuItem::Pause)->isVisible(),
                 p->Pictures().drawnBackground.size(), QApplication::overrideCursor()),
      std::tuple(QString("Pyra3"), QSize(256, 192), 8, 6, true, QString::fromUtf8(text::DemoNotice),
                 true, true, 250, false, QSize(256, 192), nullptr));
  EXPECT_EQ(Difference(p->Pictures().builtInSheet, QImage(":/assets/pieces.bmp")) +
                Difference(p->Pictures().chosenBackground, QImage(":/assets/title.bmp")),
            "")
      << "the built-in pictures";
  ExpectBoardShown(*p);
  QImage next;
  DrawNextPieces(next, s.pieceQueue, p->Pictures().activeSheet, c.NextBox().BackgroundColour());
  EXPECT_EQ(Difference(c.NextBox().Image(), next), "");
  // The demo's clock moves; the space bar ends the demo once it has made its first move.
  const auto demo = s.board;
  ASSERT_TRUE(QTest::qWaitFor([&] { return s.board != demo; }, 5000));
  QTest::keyClick(&c.NextBox(), Qt::Key_Space);
  ASSERT_EQ(boxes.seen.size(), 1u);
  EXPECT_EQ(std::tuple(boxes.seen[0].text, boxes.seen[0].title),
            std::tuple(QString::fromUtf8("一番勝負です。頑張りましょう。"), QString("Pyra3")));
  EXPECT_LE(boxes.seen[0].offCentre.manhattanLength(), 4) << "over the main window";
  EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == &w; }, 1000))
      << "the keys back with the main window";
  EXPECT_EQ(std::tuple(s.demoMode, c.Message().isVisible(), s.turn, p->ComputerClock().Enabled(),
                       p->HumanClock().Enabled(), p->ComputerClock().Interval(),
                       w.Item(MenuItem::Pause)->isVisible(), c.ScoreBoxA().windowTitle(),
                       c.ScoreBoxB().windowTitle()),
            std::tuple(false, false, SideA, false, true, 500, true, QString(">A - Player A"),
                       QString::fromUtf8(" B - コンピュータ")));

  // Only a left-button release on a cell places a piece; then the computer's clock moves.
  const int cell = EmptyCell(s);
  ASSERT_EQ(CellColumn(s, cell), 0);
  const auto board = s.board;
  testing::Release(w.Board(), Qt::RightButton, QPointF(5, CellRow(s, cell) * 32 + 5));
  testing::Release(w.Board(), Qt::LeftButton, QPointF(-0.5, CellRow(s, cell) * 32 + 5));
  EXPECT_EQ(std::tuple(s.board == board, s.turn), std::tuple(true, SideA));
  Click(*p, cell);
  EXPECT_EQ(std::tuple(s.turn, p->ComputerClock().Enabled(), p->HumanClock().Enabled(),
                       c.ScoreBoxB().windowTitle()),
            std::tuple(SideB, true, false, QString::fromUtf8(">B - コンピュータ")));
  ScoreBox printed(&w, "", c.ScoreBoxA().size(), c.ScoreBoxA().TextColour());
  printed.ShowScore(s.score[0]);
  EXPECT_EQ(Difference(c.ScoreBoxA().Image(), printed.Image()), "");
  EXPECT_TRUE(QTest::qWaitFor([&] { return s.turn == SideA; }, 5000));
}

TEST_F(ProgramTest, APauseAndOtherWindowsHoldTheClocks) {
  auto [p, w, c, s] = Run({{"OpeningDemo", "0"}});
  QApplication::setActiveWindow(&w);
  QTest::keyClick(&w, Qt::Key_Space);
  // A pause hides game-ending items (minimising: tests/system/minimise_restore.sh, real desktop).
  w.Item(MenuItem::Pause)->trigger();
  EXPECT_EQ(
      std::tuple(w.Item(MenuItem::Pause)->text(), c.Message().Text(), p->HumanClock().Enabled(),
                 w.Item(MenuItem::NewGame)->isVisible(), w.Item(MenuItem::Exit)->isVisible()),
      std::tuple(QString::fromUtf8(text::ResumeCaption), QString::fromUtf8(text::PauseNotice),
                 false, false, false));
  w.Item(MenuItem::Pause)->trigger();
  EXPECT_EQ(std::tuple(p->HumanClock().Enabled(), w.Item(MenuItem::NewGame)->isVisible(),
                       c.Message().isVisible()),
            std::tuple(true, true, false));
  for (QWidget* active : std::initializer_list<QWidget*>{&w, nullptr, &w}) {
    QApplication::setActiveWindow(active);
    QCoreApplication::processEvents();
    EXPECT_EQ(p->HumanClock().Enabled(), active != nullptr) << "the focus elsewhere, and back";
  }
  // The about box holds them too, shows the title picture, and is centred the first time only.
  for (int opening = 0; opening < 2; ++opening) {
    bool clocksRan = true;
    QTimer::singleShot(
        0, [&] { clocksRan = p->HumanClock().Enabled(), p->Shell().About()->OkButton()->click(); });
    w.AboutAction()->trigger();
    EXPECT_EQ(std::tuple(clocksRan, p->HumanClock().Enabled()), std::tuple(false, true));
    AboutBox& about = *p->Shell().About();
    const QRect screen = about.screen()->geometry();
    EXPECT_EQ(about.pos(), opening ? QPoint(10, 20)
                                   : QPoint(screen.width() / 2 - 149, screen.height() / 2 - 96));
    about.move(10, 20);
  }
  AboutBox& about = *p->Shell().About();
  EXPECT_EQ(std::tuple(about.size(), about.OkButton()->geometry()),
            std::tuple(QSize(299, 192), QRect(248, 8, 33, 25)));
  QImage shot(299, 192, QImage::Format_RGB32);
  about.OkButton()->hide(), about.render(&shot);
  EXPECT_EQ(Difference(shot, p->Pictures().TitlePicture().copy(0, 0, 299, 192)), "");
  w.Item(MenuItem::Ranking)->trigger();
  EXPECT_EQ(std::tuple(boxes.seen.back().text, boxes.seen.back().icon),
            std::tuple(QString::fromUtf8("まだどのプレーヤーの記録も保存されていません。"),
                       QMessageBox::Critical));
}

// A first run: A wins, windows are moved, settings changed, the close box ends it; the places left.
std::vector<QRect> ProgramTest::PlayAndClose() {
  auto [p, w, c, s] = Run({{"OpeningDemo", "0"}});
  QTest::keyClick(&w, Qt::Key_Space);
  s.score = {40, 0};  // A is far ahead: this move ends the game
  Click(*p, EmptyCell(s));
  EXPECT_EQ(std::tuple(Stored("Win", "Player A"), s.turn != TurnNone), std::tuple("1", true))
      << "the win recorded, and Yes starts anew";
  const QPoint area = WorkArea().topLeft();
  w.move(area + QPoint(60, 50));
  c.ScoreBoxB().move(area + QPoint(500, 420));
  GameSettings& chosen = p->Settings();
  chosen.series = SeriesFormat::FromNumber(3), chosen.level = Level::Strongest;
  chosen.players[SideB] = PlayerKind::Human, chosen.Set(Switch::OpeningDemo, false);
  const std::vector<QRect> left = Layout(*p);
  EXPECT_FALSE(CloseBox(c.ScoreBoxA()));
  EXPECT_TRUE(c.ScoreBoxA().isVisible()) << "a companion stays";
  const bool closed = CloseBox(w), closedAgain = CloseBox(w);
  EXPECT_EQ(
      std::tuple(closed, closedAgain, p->Shell().Quitting(), p->Screen().ProcessPendingEvents(),
                 p->ComputerClock().Enabled(), p->HumanClock().Enabled()),
      std::tuple(true, true, true, false, false, false))
      << "the close box ends it once";
  p->Screen().ShowMessage("late");  // a message asked for after the end shows nothing
  for (QWidget* window : Windows(*p))
    EXPECT_FALSE(window->isVisible()) << window->windowTitle().toStdString();
  const auto twips = [](int pixels) { return std::to_string(pixels * 15); };
  EXPECT_EQ(std::tuple(Stored("Left"), Stored("MesLeft"), Stored("Level")),
            std::tuple(twips(left[0].x()), twips(left[4].x()), "1"));
  return left;
}

TEST_F(ProgramTest, TheNextRunFindsTheWindowsSettingsPicturesAndPlayersWhereTheyWereLeft) {
  const std::vector<QRect> left = PlayAndClose();
  // Meanwhile the user chose pictures and widened the window to 60 columns.
  const QImage background = QImage(":/assets/title.bmp").copy(10, 10, 48, 40);
  const QImage sheet = QImage(":/assets/pieces.bmp").mirrored(true, false);
  ASSERT_TRUE(background.save(QString::fromStdString(dir.File("bg.bmp"))));
  ASSERT_TRUE(sheet.save(QString::fromStdString(dir.File("sheet.bmp"))));
  const QSize frame = left[0].size() - QSize(256, 192);
  auto [p, w, c, s] = Run({{"Width", std::to_string((1920 + frame.width()) * 15)},
                           {"Height", std::to_string((320 + frame.height()) * 15)},
                           {"FullPath", dir.Path()},
                           {"FileName", "bg.bmp"},
                           {"KomaPath", dir.Path()},
                           {"KomaName", "sheet.bmp"}});
  ASSERT_TRUE(started);
  const std::vector<QRect> now = Layout(*p);
  for (size_t i = 0; i < now.size(); ++i) {
    EXPECT_LE((now[i].topLeft() - left[i].topLeft()).manhattanLength(), 1) << "window " << i;
    EXPECT_EQ(i > 0 ? now[i].size() : left[i].size(), left[i].size()) << "window " << i;
  }
  const GameSettings& o = p->Settings();
  // Effects need a device.
  EXPECT_EQ(std::tuple(o.Series().Number(), o.level, o.players[SideB], o.On(Switch::OpeningDemo),
                       o.names[ChosenPlayer].list, p->State().turn, p->State().boardCols,
                       o.On(Switch::SoundEffects), p->SessionWindows().ChooserPathLabel()),
            std::tuple(3, Level::Strongest, PlayerKind::Human, false,
                       std::vector<std::string>{"Player A"}, TurnNone, 60,
                       !QMediaDevices::audioOutputs().isEmpty(), dir.File("sheet.bmp")));
  EXPECT_EQ(Difference(p->Pictures().chosenBackground, background) +
                Difference(p->Pictures().activeSheet, sheet),
            "");
  QImage title(1920, 320, QImage::Format_RGB32);
  StretchBlt(title, 0, 0, 1920, 320, p->Pictures().TitlePicture(), 0, 0, 299, 192, SRCCOPY);
  EXPECT_EQ(Difference(p->Painter().Image(), title), "") << "the title picture";
  p->Window().Item(MenuItem::Ranking)->trigger();
  EXPECT_EQ(std::tuple(boxes.seen.back().text, boxes.seen.back().title),
            std::tuple(QString::fromUtf8("1位 Player A\n勝率1.000; 試合数1\n"),
                       QString::fromUtf8("番付")));
}

TEST_F(ProgramTest, AMaximisedWindowPaintsAndTakesClicksOnEverySixtyColumns) {
  const QSize frame = Run().w.frameGeometry().size() - QSize(256, 192);
  auto [p, w, c, s] = Run({{"OpeningDemo", "0"},
                           {"PlayerB", "0"},
                           {"Width", std::to_string((1920 + frame.width()) * 15)},
                           {"Height", std::to_string((320 + frame.height()) * 15)}});
  // Maximised (and minimised and back) before the first game.
  for (Qt::WindowStates state :
       {Qt::WindowStates(Qt::WindowMaximized), Qt::WindowMaximized | Qt::WindowMinimized,
        Qt::WindowStates(Qt::WindowMaximized)}) {
    w.setWindowState(state);
    QCoreApplication::processEvents();
    EXPECT_EQ(c.ScoreBoxA().isVisible(), !(state & Qt::WindowMinimized));
  }
  w.Item(MenuItem::NewGame)->trigger();
  ASSERT_EQ(std::tuple(s.boardCols, s.boardRows, s.turn != TurnNone), std::tuple(60, 10, true));
  ExpectBoardShown(*p);
  for (int column = 0; column < 60; ++column) {
    s.score = {0, 0}, s.board[CellIndex(s, column, column % 10)] = Empty;
    const int16_t turn = s.turn;
    Click(*p, CellIndex(s, column, column % 10));
    EXPECT_NE(s.turn, turn) << "column " << column;
  }
  QTest::keyClick(&w, Qt::Key_Escape);
  EXPECT_TRUE(p->Shell().Quitting());
}

TEST_F(ProgramTest, ASecondCopySaysWhyAndEndsWithoutWritingAnything) {
  auto p = Run({}, true).p;
  EXPECT_FALSE(started);
  ASSERT_EQ(boxes.seen.size(), 1u);
  EXPECT_EQ(std::tuple(boxes.seen[0].text, boxes.seen[0].title, boxes.seen[0].icon,
                       p->Shell().Quitting()),
            std::tuple(QString::fromUtf8("Pyra3はすでに実行されています。\n"), QString("Pyra3"),
                       QMessageBox::Warning, true));
  EXPECT_LE(boxes.seen[0].offCentre.manhattanLength(), 4) << "no main window to stand over";
  for (QWidget* window : Windows(*p)) EXPECT_FALSE(window->isVisible());
  EXPECT_EQ(Stored("Top") + Stored("FormOfGame"), "(none)(none)");
}

}  // namespace
}  // namespace pyra
