#include "app/program.h"

namespace pyra {

Program::Program()
    // The settings store is not wired in yet: the first-run settings.
    : options_(GameOptions::Defaults()),
      companions_(&window_),
      painter_(state_, pictures_),
      screen_(window_, companions_, painter_, pictures_, options_),
      dialogs_(&window_),
      comtimer_(500),
      mantimer_(1000),
      shell_(window_, companions_, screen_, pictures_, state_, comtimer_, mantimer_),
      game_(state_, options_, rng_,
            Ports{screen_, dialogs_, comtimer_, mantimer_, sound_, records_, shell_}),
      inputs_(game_) {
  window_.SetInputs(&inputs_);
  window_.SetCompanionTest([this](const QWidget* w) { return companions_.IsCompanion(w); });
  companions_.SetKeyHandler([this](int key) { inputs_.KeyUp(key); });
  comtimer_.SetTickHandler([this] { game_.comtimer_Timer(); });
  mantimer_.SetTickHandler([this] { game_.mantimer_Timer(); });
}

bool Program::Start(bool anotherInstanceRuns) {
  // This platform always has bit-block transfers.
  return game_.Form_Load(anotherInstanceRuns, true) && !shell_.Quitting();
}

}  // namespace pyra
