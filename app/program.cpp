#include "app/program.h"

#include "app/help_window.h"
#include "app/program_folder.h"

namespace pyra {

Program::Program(const std::string& storePath)
    // The first-run settings until the start-up load replaces them.
    : settings_(GameSettings::Defaults()),
      companions_(&window_),
      painter_(state_, pictures_),
      screen_(window_, companions_, painter_, pictures_, settings_),
      dialogs_(&window_),
      computerClock_(500),
      humanClock_(1000),
      music_(sequencer_, ProgramFolder().toStdString()),
      sound_(music_, waveOut_, ProgramFolder().toStdString(), PlatformVersion()),
      musicLoopClock_(1000),
      store_(storePath),
      // The ranking box is a message box like every other: over the main window, with the
      // clocks held by the game around it.
      records_(store_, settings_, dialogs_),
      sessionPorts_(window_, companions_, pictures_, painter_),
      session_(sessionPorts_, store_, state_, settings_, records_),
      shell_(window_, companions_, screen_, pictures_, computerClock_, humanClock_, session_,
             sessionPorts_),
      game_(state_, ai_, settings_, rng_,
            Ports{screen_, dialogs_, computerClock_, humanClock_, sound_, records_, shell_}),
      inputs_(game_),
      settingsWindow_(std::make_unique<SettingsWindow>(
          &window_, game_, settings_, records_, session_, sessionPorts_, companions_, pictures_)) {
  shell_.SetSettingsDialog([this] { settingsWindow_->Run(); });
  window_.SetInputs(&inputs_);
  // Going to a companion window or to the help window is no loss of the focus: the clocks
  // keep running while the player reads the help.
  window_.SetCompanionTest([this](const QWidget* w) {
    return companions_.IsCompanion(w) || (w != nullptr && w == shell_.Help());
  });
  companions_.SetKeyHandler([this](int key) { inputs_.KeyUp(key); });
  computerClock_.SetTickHandler([this] { game_.OnComputerClock(); });
  humanClock_.SetTickHandler([this] { game_.OnHumanClock(); });
  sessionPorts_.SetSound(&sound_);
  sessionPorts_.SetMusic(&music_);
  sessionPorts_.SetTitleShow([this] { screen_.ShowTitlePicture(); });
  shell_.SetMusic(&music_);
  musicLoopClock_.SetTickHandler([this] { music_.OnLoopClock(); });
  musicLoopClock_.SetEnabled(true);
}

bool Program::Start(bool anotherInstanceRuns) {
  starting_ = true;
  // This platform always has bit-block transfers.
  const bool started = game_.Start(anotherInstanceRuns, true);
  starting_ = false;
  if (started && terminateAsked_) game_.OnExit();
  return started && !shell_.Quitting();
}

void Program::Terminate() {
  if (starting_) {
    terminateAsked_ = true;
    return;
  }
  game_.OnExit();
}

}  // namespace pyra
