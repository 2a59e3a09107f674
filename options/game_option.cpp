#include "options/game_option.h"

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

std::string FitNameToScoreBox(int side, const std::string& name, OptionWindows& windows) {
  std::string ruler = side == SideA ? SideAMarker + name : name;
  const int room = windows.ScoreBoxWidth(side);
  while (!ruler.empty() && windows.CaptionWidth(ruler) > room) DropLastCharacter(ruler);
  return side == SideA ? WithoutFirstCharacters(ruler, SideAMarkerLength) : ruler;
}

GameOption::GameOption(Game& game, GameOptions& options, PlayerRecords& records,
                       ChoicesKeeper& keeper, OptionWindows& windows)
    : game_(game), options_(options), records_(records), keeper_(keeper), windows_(windows) {}

void GameOption::EnableNameBoxes() {
  // Once disabled by a full list, a box takes names again as soon as the list has room.
  for (int side : {SideA, SideB}) {
    if (options_.IsHuman(side)) options_.Combo1[side].enabled = !records_.ListFull();
  }
}

void GameOption::Form_Activate() {
  SeriesFormatAtOpen = SeriesFormatChosen = options_.SelectedSeriesFormat();
  EnableNameBoxes();
  NameAAtOpen = options_.Combo1[0].text;
  NameBAtOpen = options_.Combo1[1].text;
  BoxStateAtOpen = options_.Check1;
}

void GameOption::Option1_Click(int index) {
  if (index < 0 || index > 3) return;
  const int side = index / 2;
  const bool computer = index % 2 == 1;
  NameBox& box = options_.Combo1[side];
  // Decided by what the side was, not by whether its box takes names: with a full player
  // list both boxes are disabled, and the computer must still not play under a person's name.
  const bool wasHuman = options_.IsHuman(side);
  if (computer && wasHuman) {
    box.enabled = false;
    box.text = ComputerName;
  } else if (!computer && !wasHuman) {
    box.text = DefaultPlayerNames[side];
    box.enabled = !records_.ListFull();
  }
  options_.SetPlayerKind(side, computer);
}

void GameOption::Option2_Click(int index) {
  if (index < 0 || index >= static_cast<int>(options_.Option2.size())) return;
  options_.SelectSeriesFormat(index);
  SeriesFormatChosen = static_cast<int16_t>(index);
}

void GameOption::Option3_Click(int index) {
  if (index == 0 || index == 1) options_.Option3 = {index == 0, index == 1};
}

void GameOption::Check1_Click(int index, int state) {
  if (index >= 0 && index < static_cast<int>(options_.Check1.size()))
    options_.Check1[index] = state;
}

void GameOption::Combo1_Change(int index, const std::string& text) {
  if (index < 0 || index > 2) return;
  std::string& name = options_.Combo1[index].text;
  name = WithoutControlCharacters(text);
  if (index == 2) command2Enabled_ = !name.empty();
}

void GameOption::Command1_Click() {
  // The program is ending (a signal closed the dialog): the exit has kept the live settings.
  if (game_.Closing()) return;
  bool restart = false;
  if (SeriesFormatChosen != SeriesFormatAtOpen && !game_.InDemo()) {
    std::string name = SeriesFormatName(options_.SelectedSeriesFormat());
    if (name.empty()) name = text::UnlimitedName;
    game_.Ask(text::FormatChangedBefore + name + text::FormatChangedAfter, ProductName,
              MsgButtons::Ok, MsgIcon::None);
    restart = true;
  }
  DialogChoices changed;
  const std::string* atOpen[2] = {&NameAAtOpen, &NameBAtOpen};
  for (int side : {SideA, SideB}) {
    std::string& name = options_.Combo1[side].text;
    if (name.empty()) name = *atOpen[side];  // nothing is not a new name
    if (name == *atOpen[side]) continue;
    ApplyName(side);
    changed.names[side] = restart = true;
  }
  for (int i = 0; i < static_cast<int>(options_.Check1.size()); ++i) {
    if (options_.Check1[i] != BoxStateAtOpen[i]) chkshori(i);
    changed.switches[i] = options_.Check1[i] != BoxStateAtOpen[i];
  }
  keeper_.KeepChoices(changed);
  if (restart) game_.RestartFromSettings();
}

void GameOption::ApplyName(int side) {
  std::string& name = options_.Combo1[side].text;
  name = FitNameToScoreBox(side, name, windows_);
  game_.ShowPlayerName(side);
  if (!game_.InDemo()) {
    game_.Ask(text::NameChanged, ProductName, MsgButtons::Ok, MsgIcon::Information);
  }
}

void GameOption::chkshori(int index) {
  if (index < 0 || index >= static_cast<int>(options_.Check1.size())) return;
  int& box = options_.Check1[index];
  if (box == Unchecked) {
    if (index == 0) {
      game_.PrepareBackground();
      game_.RepaintBoard();
    }
    if (index == 2) game_.StopMusic();
    return;
  }
  if (box != Checked) return;
  bool stays = true;
  switch (index) {
    case 0:
      stays = game_.RasterCanStretch();
      if (stays) {
        game_.PrepareBackground();
        game_.RepaintBoard();
      } else {
        game_.Ask(text::CannotStretch, ProductName, MsgButtons::Ok, MsgIcon::Information);
      }
      break;
    case 1:
      stays = game_.EffectsAvailable();
      if (!stays) game_.Ask(text::CannotPlayEffects, ProductName, MsgButtons::Ok, MsgIcon::None);
      break;
    case 2:
      stays = game_.StartMusic();
      break;
    default:
      break;
  }
  box = stays ? Checked : Unchecked;
}

void GameOption::Command2_Click(int index) {
  if (!records_.Command2_Click(index)) return;
  command2Enabled_ = false;
  EnableNameBoxes();
}

void GameOption::Command3_Click(int index) {
  if (index != 0 && index != 1) return;
  ChooserMode = index == 0;
  windows_.ShowChooser(ChooserMode);
}

}  // namespace pyra
