#include "options/settings_dialog.h"

#include "match/messages.h"
#include "options/option_texts.h"

namespace pyra {

namespace {

// The score box caption of side A puts this before the name.
constexpr const char* SideAMarker = ">A - ";
constexpr size_t SideAMarkerLength = 5;

bool StartsCharacter(char byte) { return (static_cast<unsigned char>(byte) & 0xC0) != 0x80; }

void DropLastCharacter(std::string& text) {
  while (!text.empty()) {
    const char last = text.back();
    text.pop_back();
    if (StartsCharacter(last)) return;
  }
}

// The text without its first `count` characters; empty when it has no more.
std::string WithoutFirstCharacters(const std::string& text, size_t count) {
  size_t start = 0;
  size_t seen = 0;
  for (; start < text.size(); ++start) {
    if (StartsCharacter(text[start]) && seen++ == count) break;
  }
  return text.substr(start);
}

}  // namespace

std::string WithoutControlCharacters(const std::string& text) {
  std::string kept;
  kept.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (byte < 0x20 || byte == 0x7F) continue;
    // U+0080..U+009F, the second set of control characters, in UTF-8.
    const auto next = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0;
    if (byte == 0xC2 && next >= 0x80 && next <= 0x9F) {
      ++i;
      continue;
    }
    kept += text[i];
  }
  return kept;
}

std::string FitNameToScoreBox(int side, const std::string& name, DialogWindows& windows) {
  std::string ruler = side == SideA ? SideAMarker + name : name;
  const int room = windows.ScoreBoxWidth(side);
  while (!ruler.empty() && windows.CaptionWidth(ruler) > room) DropLastCharacter(ruler);
  return side == SideA ? WithoutFirstCharacters(ruler, SideAMarkerLength) : ruler;
}

SettingsDialog::SettingsDialog(Game& game, GameSettings& settings, PlayerRecords& records,
                               ChoicesKeeper& keeper, DialogWindows& windows)
    : game_(game), settings_(settings), records_(records), keeper_(keeper), windows_(windows) {}

void SettingsDialog::EnableNameBoxes() {
  // Once disabled by a full list, a box takes names again as soon as the list has room.
  for (int side : {SideA, SideB}) {
    if (settings_.IsHuman(side)) settings_.names[side].enabled = !records_.ListFull();
  }
}

void SettingsDialog::Opened() {
  seriesAtOpen_ = seriesChosen_ = settings_.Series();
  EnableNameBoxes();
  namesAtOpen_ = {settings_.names[SideA].text, settings_.names[SideB].text};
  switchesAtOpen_ = settings_.switches;
}

void SettingsDialog::ChoosePlayer(int side, PlayerKind kind) {
  if (side != SideA && side != SideB) return;
  NameBox& box = settings_.names[side];
  // Decided by what the side was, not by whether its box takes names: with a full player
  // list both boxes are disabled, and the computer must still not play under a person's name.
  const bool wasHuman = settings_.IsHuman(side);
  if (kind == PlayerKind::Computer && wasHuman) {
    box.enabled = false;
    box.text = ComputerName;
  } else if (kind == PlayerKind::Human && !wasHuman) {
    box.text = DefaultPlayerNames[side];
    box.enabled = !records_.ListFull();
  }
  settings_.players[side] = kind;
}

void SettingsDialog::ChooseSeries(SeriesFormat format) {
  settings_.series = format;
  seriesChosen_ = format;
}

void SettingsDialog::ChooseLevel(Level level) { settings_.level = level; }

void SettingsDialog::SetSwitch(Switch which, bool on) { settings_.Set(which, on); }

void SettingsDialog::EditName(int box, const std::string& text) {
  if (box < SideA || box > ChosenPlayer) return;
  std::string& name = settings_.names[box].text;
  name = WithoutControlCharacters(text);
  if (box == ChosenPlayer) removalEnabled_ = !name.empty();
}

void SettingsDialog::Confirm() {
  // The program is ending (a signal closed the dialog): the exit has kept the live settings.
  if (game_.Closing()) return;
  bool restart = false;
  if (seriesChosen_ != seriesAtOpen_ && !game_.InDemo()) {
    std::string name = SeriesFormatName(settings_.Series());
    if (name.empty()) name = text::UnlimitedName;
    game_.Ask(text::FormatChangedBefore + name + text::FormatChangedAfter, ProductName,
              MsgButtons::Ok, MsgIcon::None);
    restart = true;
  }
  DialogChoices changed;
  for (int side : {SideA, SideB}) {
    std::string& name = settings_.names[side].text;
    if (name.empty()) name = namesAtOpen_[side];  // nothing is not a new name
    if (name == namesAtOpen_[side]) continue;
    ApplyName(side);
    changed.names[side] = restart = true;
  }
  for (Switch which : Switches) {
    const int i = static_cast<int>(which);
    if (settings_.switches[i] != switchesAtOpen_[i]) ApplySwitch(which);
    changed.switches[i] = settings_.switches[i] != switchesAtOpen_[i];
  }
  keeper_.KeepChoices(changed);
  if (restart) game_.RestartFromSettings();
}

void SettingsDialog::ApplyName(int side) {
  std::string& name = settings_.names[side].text;
  name = FitNameToScoreBox(side, name, windows_);
  game_.ShowPlayerName(side);
  if (!game_.InDemo()) {
    game_.Ask(text::NameChanged, ProductName, MsgButtons::Ok, MsgIcon::Information);
  }
}

void SettingsDialog::ApplySwitch(Switch which) {
  if (!settings_.On(which)) {
    if (which == Switch::StretchBackground) {
      game_.PrepareBackground();
      game_.RepaintBoard();
    }
    if (which == Switch::Music) game_.StopMusic();
    return;
  }
  bool stays = true;
  switch (which) {
    case Switch::StretchBackground:
      stays = game_.RasterCanStretch();
      if (stays) {
        game_.PrepareBackground();
        game_.RepaintBoard();
      } else {
        game_.Ask(text::CannotStretch, ProductName, MsgButtons::Ok, MsgIcon::Information);
      }
      break;
    case Switch::SoundEffects:
      stays = game_.EffectsAvailable();
      if (!stays) game_.Ask(text::CannotPlayEffects, ProductName, MsgButtons::Ok, MsgIcon::None);
      break;
    case Switch::Music:
      stays = game_.StartMusic();
      break;
    case Switch::OpeningDemo:
      break;
  }
  settings_.Set(which, stays);
}

void SettingsDialog::AfterRemoval(bool removed) {
  if (!removed) return;
  removalEnabled_ = false;
  EnableNameBoxes();
}

void SettingsDialog::DeletePlayer() { AfterRemoval(records_.DeletePlayer()); }

void SettingsDialog::ClearRecord() { AfterRemoval(records_.ClearRecord()); }

void SettingsDialog::ChooseBackground() { windows_.ShowChooser(true); }

void SettingsDialog::ChoosePieces() { windows_.ShowChooser(false); }

}  // namespace pyra
