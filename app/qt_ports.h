// The game's ports on Qt: the windows, the message boxes, the clocks, the sound, the shell.
#pragma once

#include <QTimer>
#include <functional>
#include <memory>

#include "app/pacer.h"
#include "app/qt_session_ports.h"
#include "match/ports.h"
#include "rules/game_state.h"
#include "settings/game_settings.h"

namespace pyra {

class AboutBox;
class BoardPainter;
class HelpWindow;
class CompanionWindows;
class MainWindow;
class Music;
class PictureHolder;
class SettingsSession;

// A window timer: ticks call the handler while it is enabled.
class QtClock : public Clock {
 public:
  explicit QtClock(int intervalMilliseconds);

  void SetTickHandler(std::function<void()> tick) { tick_ = std::move(tick); }

  // Enabling a running clock leaves it running; it does not start its interval again.
  void SetEnabled(bool on) override;
  bool Enabled() const override { return timer_.isActive(); }
  void SetInterval(int milliseconds) override { timer_.setInterval(milliseconds); }
  int Interval() const override { return timer_.interval(); }

  QTimer& Timer() { return timer_; }

 private:
  QTimer timer_;
  std::function<void()> tick_;
};

// Message boxes over the main window: modal, raised and activated, so that they never hide
// behind another window.
class QtDialogs : public Dialogs {
 public:
  explicit QtDialogs(QWidget* parent) : parent_(parent) {}
  MsgAnswer MessageBox(const std::string& text, const std::string& title, MsgButtons buttons,
                       MsgIcon icon) override;

 private:
  QWidget* parent_;
};

// The main window, its board and its companion windows.
class QtScreen : public Screen {
 public:
  QtScreen(MainWindow& window, CompanionWindows& companions, BoardPainter& painter,
           PictureHolder& pictures, const GameSettings& settings);

  // Pacing off shows everything at once (tests, benchmarks).
  void SetPacing(bool on) { pacing_ = on; }
  bool Pacing() const { return pacing_; }
  // The program is ending: nothing is drawn any more and no events run.
  void SetClosing() { closing_ = true; }

  void PaintCell(int16_t column, int16_t row, int16_t step) override;
  void BeginReveal(int cells) override;
  void EndReveal() override;
  bool RasterCanStretch() override;
  void PrepareBackground() override;
  void ClearBoard() override;
  void ShowTitlePicture() override;
  void SetFocusCell(std::optional<Cell> cell) override;

  bool WindowIsNormal() override;
  int ClientWidth() override;
  int ClientHeight() override;
  void SetClientSize(int width, int height) override;

  std::string Caption() override;
  void SetCaption(const std::string& text) override;
  void SetMenuCaption(MenuItem item, const std::string& text) override;
  void SetMenuVisible(MenuItem item, bool visible) override;

  void ShowScore(int side, int16_t score) override;
  void SetScoreCaption(int side, const std::string& caption) override;
  void DrawNextPieces(const std::array<int16_t, 3>& queue) override;
  void ShowMessage(const std::string& text) override;
  void HideMessage() override;
  bool MessageVisible() override;
  void ShowMessageWindow() override;
  void ShowCompanions() override;
  void HideCompanions() override;

  bool ProcessPendingEvents() override;

 private:
  // The board image follows the client size.
  void FitImageToClient();
  void PresentBoard();
  // Waiting makes sense only while a person can see the board.
  bool PaceNow() const;

  MainWindow& window_;
  CompanionWindows& companions_;
  BoardPainter& painter_;
  PictureHolder& pictures_;
  const GameSettings& settings_;
  Pacer pacer_;
  int16_t paintingStep_ = 0;  // the step of the cell being painted, for the pacer
  bool pacing_ = true;
  bool closing_ = false;
};

// Start-up and shut-down steps of the windows.
class QtShell : public Shell {
 public:
  QtShell(MainWindow& window, CompanionWindows& companions, QtScreen& screen,
          PictureHolder& pictures, QtClock& computerClock, QtClock& humanClock,
          SettingsSession& session, QtSessionPorts& settingsWindows);
  ~QtShell() override;

  // The stored settings: window geometry, board size, companion positions, options, names,
  // pictures and players; then the background made ready for the loaded picture and stretch
  // setting, since the first board may be drawn before the window is ever resized.
  void LoadSettings() override;
  void ShowMainWindow() override;
  void OpenMusic() override;
  void CloseMusic() override;
  void SaveWindowPositions() override;
  void SaveOptions() override;
  // Clears contents only: the windows keep their geometry for the saves that follow.
  void ClearWindows() override;
  // Runs the settings dialog that `show` opens.
  void SetSettingsDialog(std::function<void()> show) { settingsDialog_ = std::move(show); }
  void ShowSettingsDialog() override;
  void ShowAboutBox() override;
  // The help window, made on first use; it leaves the clocks running.
  void ShowHelpIndex() override;
  void CloseHelp() override;
  void Quit() override;

  bool Quitting() const { return quitting_; }
  void SetMusic(Music* music) { music_ = music; }
  AboutBox* About() const { return about_; }
  HelpWindow* Help() const { return help_.get(); }

 private:
  MainWindow& window_;
  CompanionWindows& companions_;
  QtScreen& screen_;
  PictureHolder& pictures_;
  QtClock& computerClock_;
  QtClock& humanClock_;
  SettingsSession& session_;
  QtSessionPorts& sessionPorts_;
  AboutBox* about_ = nullptr;         // made on first use, owned by the main window
  std::unique_ptr<HelpWindow> help_;  // a window of its own, like the platform's help viewer
  std::function<void()> settingsDialog_;
  Music* music_ = nullptr;
  bool quitting_ = false;
};

}  // namespace pyra
