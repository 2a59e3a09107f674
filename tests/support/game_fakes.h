// Fakes of all game ports, a rig wiring them to one Game; FakeDialogs records, scripts every box.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "match/game.h"
#include "match/messages.h"
#include "rules/game_state.h"
#include "settings/game_settings.h"

namespace pyra::testing {

struct FakeClock : Clock {
  explicit FakeClock(int ms) : interval(ms) {}
  void SetEnabled(bool on) override { enabled = on; }
  bool Enabled() const override { return enabled; }
  void SetInterval(int ms) override { interval = ms; }
  int Interval() const override { return interval; }
  bool enabled = false;
  int interval;
};

struct BoxRecord {
  std::string text, title;
  MsgButtons buttons;
  MsgIcon icon;
};

struct FakeDialogs : Dialogs {
  std::deque<MsgAnswer> answers;  // in order; else Ok, Yes for Yes/No, Retry for Retry/Cancel
  std::vector<BoxRecord> boxes;
  std::function<void()> whileOpen;  // runs in an open box (what its event loop could deliver)

  MsgAnswer MessageBox(const std::string& text, const std::string& title, MsgButtons buttons,
                       MsgIcon icon) override {
    boxes.push_back({text, title, buttons, icon});
    if (whileOpen) whileOpen();
    MsgAnswer a = buttons == MsgButtons::YesNo         ? MsgAnswer::Yes
                  : buttons == MsgButtons::RetryCancel ? MsgAnswer::Retry
                                                       : MsgAnswer::Ok;
    if (!answers.empty()) a = answers.front(), answers.pop_front();
    return a;
  }
  std::vector<std::string> Texts() const {
    std::vector<std::string> texts;
    for (const auto& b : boxes) texts.push_back(b.text);
    return texts;
  }
};

struct FakeScreen : Screen {
  explicit FakeScreen(const GameState& s) : state(s) {}
  const GameState& state;

  std::vector<int16_t> steps;               // of every paint, in order
  std::pair<int, int> lastPainted{-1, -1};  // the cell painted last
  int reveals = 0, prepareBackground = 0;
  bool stretch = true, normal = true;  // what the raster and the window state answer
  int clientWidth = 32, clientHeight = 32;
  std::string caption;
  std::vector<std::string> captions;  // every caption set, in order
  std::array<std::string, 2> scoreCaption;
  std::array<int16_t, 2> shownScore{-99, -99};
  std::array<int16_t, 3> nextPieces{};
  std::string message;
  bool messageVisible = false, companionsVisible = false, titleShown = false;
  std::string pauseCaption = text::PauseCaption;
  // As the main window starts: every item shown but the pause item.
  std::map<MenuItem, bool> menuVisible{
      {MenuItem::NewGame, true},   {MenuItem::Pause, false}, {MenuItem::Ranking, true},
      {MenuItem::Separator, true}, {MenuItem::Exit, true},
  };
  bool windowsOpen = true;
  std::vector<std::optional<Cell>> focusCells;  // every frame shown or hidden, in order
  std::function<void()> pendingEvents;          // runs when the game lets pending window events run

  void PaintCell(int16_t column, int16_t row, int16_t step) override {
    steps.push_back(step), lastPainted = std::pair(column, row);
  }
  void BeginReveal(int) override { ++reveals; }
  void EndReveal() override {}
  bool RasterCanStretch() override { return stretch; }
  void PrepareBackground() override { ++prepareBackground; }
  void ClearBoard() override {}
  void ShowTitlePicture() override { titleShown = true; }
  void SetFocusCell(std::optional<Cell> cell) override { focusCells.push_back(cell); }
  bool WindowIsNormal() override { return normal; }
  int ClientWidth() override { return clientWidth; }
  int ClientHeight() override { return clientHeight; }
  void SetClientSize(int w, int h) override { clientWidth = w, clientHeight = h; }
  std::string Caption() override { return caption; }
  void SetCaption(const std::string& text) override { captions.push_back(caption = text); }
  void SetMenuCaption(MenuItem, const std::string& text) override { pauseCaption = text; }
  void SetMenuVisible(MenuItem item, bool visible) override { menuVisible[item] = visible; }
  void ShowScore(int side, int16_t score) override { shownScore[side] = score; }
  void SetScoreCaption(int side, const std::string& text) override { scoreCaption[side] = text; }
  void DrawNextPieces(const std::array<int16_t, 3>& q) override { nextPieces = q; }
  void ShowMessage(const std::string& text) override { message = text, messageVisible = true; }
  void HideMessage() override { messageVisible = false; }
  bool MessageVisible() override { return messageVisible; }
  void ShowMessageWindow() override { messageVisible = true; }
  void ShowCompanions() override { companionsVisible = true; }
  void HideCompanions() override { companionsVisible = false; }
  bool ProcessPendingEvents() override {
    if (auto run = pendingEvents) run();  // a copy: the callback may clear itself
    return windowsOpen;
  }
};

struct FakeSound : Sound {
  std::vector<Cue> cues;
  bool available = true, canPlay = true;
  std::vector<std::string> music;  // "play" and "stop", in order
  void PlayCue(Cue cue) override { cues.push_back(cue); }
  bool SoundAvailable() override { return available; }
  bool PlayMusic() override { return music.push_back("play"), canPlay; }
  void StopMusic() override { music.push_back("stop"); }
};

struct FakeRecords : Records {
  std::vector<int16_t> results;
  std::function<void()> onRanking;
  void RecordResult(int16_t result) override { results.push_back(result); }
  void ShowRanking() override { onRanking ? onRanking() : void(); }
};

struct FakeShell : Shell {
  std::vector<std::string> calls;
  FakeScreen* screen = nullptr;
  std::function<void()> onModal;  // runs inside the options dialog and the about box
  void LoadSettings() override { calls.push_back("load settings"); }
  void ShowMainWindow() override { calls.push_back("show main window"); }
  void OpenMusic() override { calls.push_back("open music"); }
  void SaveWindowPositions() override { calls.push_back("save window positions"); }
  void ClearWindows() override { calls.push_back("clear windows"); }
  void CloseMusic() override { calls.push_back("close music"); }
  void SaveOptions() override { calls.push_back("save options"); }
  void ShowSettingsDialog() override {
    calls.push_back("options dialog"), onModal ? onModal() : void();
  }
  void ShowAboutBox() override { calls.push_back("about box"), onModal ? onModal() : void(); }
  void ShowHelpIndex() override { calls.push_back("help index"); }
  void CloseHelp() override { calls.push_back("close help"); }
  void Quit() override {
    calls.push_back("quit");
    if (screen) screen->windowsOpen = false;
  }
};

// One game with fakes for all it talks to. Defaults: A human "Alice", B the computer, one game a
// series, demo off, a 1 x 1 board (client 32 x 32) so that one move ends a game.
struct GameRig {
  GameState state;
  GameSettings settings = GameSettings::Defaults();
  AiState ai;
  Random rng{12345};
  FakeScreen screen{state};
  FakeDialogs dialogs;
  FakeClock computerClock{500};
  FakeClock humanClock{1000};
  FakeSound sound;
  FakeRecords records;
  FakeShell shell;
  Game game{state, ai, settings, rng,
            Ports{screen, dialogs, computerClock, humanClock, sound, records, shell}};

  GameRig() {
    settings.Set(Switch::OpeningDemo, false), settings.names[0].text = "Alice";
    shell.screen = &screen, game.SeedOnStart(false);
  }

  void SetPlayers(bool aComputer, bool bComputer) {
    settings.players = {aComputer ? PlayerKind::Computer : PlayerKind::Human,
                        bComputer ? PlayerKind::Computer : PlayerKind::Human};
    settings.names[0].text = aComputer ? "コンピュータ" : "Alice";
    settings.names[1].text = bComputer ? "コンピュータ" : "Bob";
  }
  void SetBoard(int cols, int rows) {
    screen.clientWidth = cols * CellPixels, screen.clientHeight = rows * CellPixels;
  }
  std::string Clocks() const {  // which run: "com", "man", "both" or "none"
    const bool c = computerClock.Enabled(), m = humanClock.Enabled();
    return c && m ? "both" : c ? "com" : m ? "man" : "none";
  }

  void Move(int column = 0, int row = 0) {  // as the side to move moves: a click or a clock tick
    state.demoMode || settings.IsComputer(state.turn)
        ? game.OnComputerClock()
        : game.OnMouseRelease(MouseButton::Left, column * 32 + 5, row * 32 + 5);
  }
  // On 1 x 1: ends a game as `result` (0 A, 1 B wins, -1 draw), scores set before the last move.
  void EndGameWith(int result, int16_t winnerScore = 5) {
    state.score = {int16_t(result == SideB ? 0 : winnerScore),
                   int16_t(result == SideA ? 0 : winnerScore)};
    state.pieceQueue[2] = Water;  // no reaction on an empty board: the scores stand
    Move();
  }
};

struct LoadedRig : GameRig {  // a person (A, "Alice") against the computer (B), 8 x 6, loaded
  explicit LoadedRig(int cols = 8, int rows = 6) {
    SetBoard(cols, rows);
    game.Start(false, true);
  }
};

struct PlayingRig : LoadedRig {  // the same with a game running
  explicit PlayingRig(int cols = 8, int rows = 6) : LoadedRig(cols, rows) { game.OnNewGame(); }
};

}  // namespace pyra::testing
