// The whole program: the game state, the windows, their ports, the settings store and the
// game, wired together.
#pragma once

#include <memory>
#include <string>

#include "app/main_window.h"
#include "app/qt_ports.h"
#include "app/qt_session_ports.h"
#include "app/window_inputs.h"
#include "match/game.h"
#include "sound/fluid_sequencer.h"
#include "sound/game_sound.h"
#include "sound/music.h"
#include "sound/qt_wave_out.h"
#include "store/player_records.h"
#include "store/settings_session.h"
#include "store/settings_store.h"
#include "view/board_painter.h"
#include "view/companion_windows.h"
#include "view/picture_holder.h"
#include "view/settings_window.h"

namespace pyra {

class Program {
 public:
  // Keeps its settings and player records in the store file at `storePath` (the user's is
  // DefaultStorePath()).
  explicit Program(const std::string& storePath);

  // The main window's start-up; false when the start was refused (another copy runs), or
  // when the program was told to end meanwhile.
  bool Start(bool anotherInstanceRuns);
  // The system asks the program to end (a signal): it ends as its own exit does, asking
  // nothing; during the start-up, once that is done.
  void Terminate();

  GameState& State() { return state_; }
  GameSettings& Settings() { return settings_; }
  Game& TheGame() { return game_; }
  MainWindow& Window() { return window_; }
  CompanionWindows& Companions() { return companions_; }
  BoardPainter& Painter() { return painter_; }
  PictureHolder& Pictures() { return pictures_; }
  QtScreen& Screen() { return screen_; }
  QtShell& Shell() { return shell_; }
  QtClock& ComputerClock() { return computerClock_; }
  QtClock& HumanClock() { return humanClock_; }
  SettingsStore& Store() { return store_; }
  PlayerRecords& Players() { return records_; }
  QtSessionPorts& SessionWindows() { return sessionPorts_; }
  SettingsSession& Session() { return session_; }
  SettingsWindow& Dialog() { return *settingsWindow_; }
  FluidSequencer& Sequencer() { return sequencer_; }
  Music& TheMusic() { return music_; }

 private:
  // Declared in the order they need each other; the windows outlive what draws on them.
  GameState state_;
  AiState ai_;
  GameSettings settings_;
  Random rng_;
  MainWindow window_;
  CompanionWindows companions_;
  PictureHolder pictures_;
  BoardPainter painter_;
  QtScreen screen_;
  QtDialogs dialogs_;
  QtClock computerClock_;
  QtClock humanClock_;
  FluidSequencer sequencer_;
  Music music_;
  QtWaveOut waveOut_;
  GameSound sound_;
  QtClock musicLoopClock_;  // loops the music; runs from creation to the end
  SqliteSettingsStore store_;
  PlayerRecords records_;
  QtSessionPorts sessionPorts_;
  SettingsSession session_;
  QtShell shell_;
  Game game_;
  GameInputs inputs_;
  // Made hidden at start and kept for the run; goes before the main window it belongs to.
  std::unique_ptr<SettingsWindow> settingsWindow_;
  bool starting_ = false;
  bool terminateAsked_ = false;
};

}  // namespace pyra
