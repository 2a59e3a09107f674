#include "store/settings_session.h"

#include <cmath>
#include <cstdio>
#include <optional>
#include <string>

#include "rules/board.h"
#include "store/companion_placement.h"
#include "store/number_reading.h"
#include "store/store_values.h"

namespace pyra {
namespace {

constexpr int NextBoxClientWidth = 58;
constexpr int NextBoxClientHeight = 32;
constexpr const char* PlayerNameKeys[2] = {"PlayerNameA", "PlayerNameB"};

// A geometry value: the stored number, or the default when nothing is stored. Either one
// outside 16 bits makes the read fail.
std::optional<int16_t> ReadTwips(SettingsStore& store, const char* key, double fallback) {
  const std::string text = ReadSetting(store, key, "");
  if (text.empty()) return ToInt16(fallback);
  return ReadInteger16(text);
}

// Half of a rounded value, the fraction dropped.
double HalfOfRounded(double value) { return std::trunc(RoundHalfEven(value) / 2); }

}  // namespace

SettingsSession::SettingsSession(SessionPorts& windows, SettingsStore& store, GameState& state,
                                 GameSettings& settings, PlayerRecords& records)
    : windows_(windows), store_(store), state_(state), settings_(settings), records_(records) {}

void SettingsSession::WaitForStore() {
  bool shown = false;
  for (int waited = 0; waited < LockWaitMs && store_.Locked(); waited += LockPollMs) {
    if (!shown && waited >= LockMomentMs) {
      windows_.ShowWhileWaiting();
      windows_.SetBusyCursor(true);
      shown = true;
    }
    windows_.Wait(LockPollMs);
  }
  if (shown) windows_.SetBusyCursor(false);
}

void SettingsSession::OpenMusic() {
  if (!windows_.OpenMusic(settings_.On(Switch::Music))) settings_.Set(Switch::Music, false);
}

void SettingsSession::NoteFirstRun() {
  auto unset = [this](const char* key) { return ReadSetting(store_, key, "").empty(); };
  firstRun_.width = unset("Width");
  firstRun_.height = unset("Height");
  firstRun_.next = unset("NextTop") && unset("NextLeft");
  firstRun_.scoreA = unset("PointTop") && unset("PointLeft");
  firstRun_.scoreB = unset("Point2Top") && unset("Point2Left");
  firstRun_.message = unset("MesTop") && unset("MesLeft");
}

void SettingsSession::LoadSettings() {
  WaitForStore();
  const int failures = store_.ReadFailures();
  settings_ = GameSettings{};
  loaded_ = true;
  NoteFirstRun();
  const TwipSize screen = windows_.ScreenSize();
  const double tppx = windows_.TwipsPerPixelX();
  const double tppy = windows_.TwipsPerPixelY();
  const bool placing = windows_.CanPlaceWindows();

  windows_.SetNextBoxClientPixels(NextBoxClientWidth, NextBoxClientHeight);

  // The main window: width, left, height and top, each on its own; a value that cannot be read
  // or that the window refuses leaves it as it was, and it was the first-run size, so that the
  // window always holds whole cells. Where the program cannot place it, only its size is applied.
  {
    TwipRect main = windows_.MainWindow();
    const TwipSize client = windows_.MainClient();
    main.width += FirstRunBoard.cols * CellPixels * tppx - client.width;
    main.height += FirstRunBoard.rows * CellPixels * tppy - client.height;
    windows_.SetMainWindow(main);
  }
  {
    TwipRect main = windows_.MainWindow();
    if (auto width = ReadTwips(store_, "Width", main.width)) {
      main.width = *width;
      windows_.SetMainWindow(main);
    }
  }
  if (placing) {
    TwipRect main = windows_.MainWindow();
    const double nextWidth = windows_.CompanionWindow(Companion::NextBox).width;
    if (auto left =
            ReadTwips(store_, "Left", HalfOfRounded(screen.width - main.width - nextWidth))) {
      main.left = *left;
      windows_.SetMainWindow(main);
    }
  }
  {
    TwipRect main = windows_.MainWindow();
    if (auto height = ReadTwips(store_, "Height", main.height)) {
      main.height = *height;
      windows_.SetMainWindow(main);
    }
  }
  if (placing) {
    TwipRect main = windows_.MainWindow();
    const double messageHeight = windows_.CompanionWindow(Companion::Message).height;
    if (auto top =
            ReadTwips(store_, "Top", HalfOfRounded(screen.height - main.height - messageHeight))) {
      main.top = *top;
      windows_.SetMainWindow(main);
    }
  }
  {
    const TwipRect main = windows_.MainWindow();
    TwipRect onScreen = ClampMainWindow(main, screen);
    if (!placing) {
      onScreen.left = main.left;
      onScreen.top = main.top;
    }
    if (onScreen.left != main.left || onScreen.top != main.top || onScreen.width != main.width ||
        onScreen.height != main.height) {
      windows_.SetMainWindow(onScreen);
    }
  }

  if (tppx > 0 && tppy > 0) {
    const TwipSize client = windows_.MainClient();
    const BoardSize board =
        BoardSizeFromClient(static_cast<int>(std::lround(client.width / tppx)),
                            static_cast<int>(std::lround(client.height / tppy)));
    state_.boardCols = board.cols;
    state_.boardRows = board.rows;
  }

  PlaceNextBox();
  PlaceScoreBoxA();
  PlaceScoreBoxB();

  if (auto format = ReadNumberSetting(store_, "FormOfGame", 0)) {
    settings_.series = SeriesFormat::FromNumber(*format);  // out of range: none chosen
  }

  if (placing) {
    const TwipRect main = windows_.MainWindow();
    const auto top = ReadTwips(store_, "MesTop", main.top + main.height);
    const auto left = top ? ReadTwips(store_, "MesLeft", main.left) : std::nullopt;
    if (top && left) {
      const TwipRect message = windows_.CompanionWindow(Companion::Message);
      const TwipPoint at = ClampToScreen({static_cast<double>(*left), static_cast<double>(*top)},
                                         {message.width, message.height}, screen);
      windows_.MoveCompanion(Companion::Message, at.left, at.top);
    }
  }

  if (!windows_.RasterCanStretch()) {
    settings_.Set(Switch::StretchBackground, false);
  } else if (auto stretch = ReadNumberSetting(store_, "BitmapStretch", 1)) {
    if (*stretch == 0 || *stretch == 1) settings_.Set(Switch::StretchBackground, *stretch == 1);
  }

  if (auto kind = ReadNumberSetting(store_, "PlayerA", 0); kind && (*kind == 0 || *kind == 1)) {
    settings_.players[SideA] = *kind == 1 ? PlayerKind::Computer : PlayerKind::Human;
  }
  if (auto kind = ReadNumberSetting(store_, "PlayerB", 1); kind && (*kind == 0 || *kind == 1)) {
    settings_.players[SideB] = *kind == 1 ? PlayerKind::Computer : PlayerKind::Human;
  }

  state_.turn = TurnNone;

  if (auto level = ReadNumberSetting(store_, "Level", 0)) {
    settings_.level = *level == 0 ? Level::Automatic : Level::Strongest;
  }

  LoadBackground();
  LoadPieceSheet();

  for (int side = SideA; side <= SideB; ++side) {
    NameBox& box = settings_.names[side];
    if (settings_.IsHuman(side)) {
      box.text = ReadSetting(store_, PlayerNameKeys[side], DefaultPlayerNames[side]);
    } else {
      box.text = ComputerName;
      box.enabled = false;
    }
  }

  // The sound switches show what this machine can honour; the player's choice is kept apart.
  soundWish_[0] = ReadNumberSetting(store_, "SoundEffect", 1) == int16_t{1};
  settings_.Set(Switch::SoundEffects, soundWish_[0] && windows_.SoundAvailable());

  records_.LoadPlayerList();

  soundWish_[1] = ReadNumberSetting(store_, "Music", 1) == int16_t{1};
  settings_.Set(Switch::Music, soundWish_[1]);
  settings_.Set(Switch::OpeningDemo, ReadNumberSetting(store_, "OpeningDemo", 1) == int16_t{1});

  for (int i = 0; i < records_.playerCount; ++i) {
    for (NameBox& box : settings_.names) box.list.push_back(records_.playerList[i]);
  }

  wholly_ = store_.ReadFailures() == failures;
  for (const StoreWrite& option : OptionWrites()) kept_[option.key] = option.value;
}

void SettingsSession::LoadBackground() {
  const std::string current = windows_.CurrentDirectory();
  const std::string folder = ReadSetting(store_, "FullPath", current);
  const std::string file = ReadSetting(store_, "FileName", "");
  bool usable = true;
  if (current != folder && !windows_.SetCurrentDirectory(folder)) usable = false;
  if (!file.empty() && usable) {
    windows_.SetBusyCursor(true);
    usable = windows_.LoadBackgroundPicture(file).has_value();
    windows_.SetBusyCursor(false);
    if (usable) windows_.SetChooserPathLabel(JoinPath(folder, file));
  }
  if (file.empty() || !usable) windows_.UseBuiltInBackground();
}

void SettingsSession::LoadPieceSheet() {
  const std::string current = windows_.CurrentDirectory();
  const std::string folder = ReadSetting(store_, "KomaPath", current);
  const std::string file = ReadSetting(store_, "KomaName", "");
  bool usable = true;
  if (current != folder && !windows_.SetCurrentDirectory(folder)) usable = false;
  std::optional<PixelSize> sheet;
  if (!file.empty() && usable) {
    windows_.SetBusyCursor(true);
    sheet = windows_.LoadUserSheet(file);
    windows_.SetBusyCursor(false);
    usable = sheet.has_value();
    if (usable) windows_.SetChooserPathLabel(JoinPath(folder, file));
  }
  // A sheet of another size than the built-in one cannot be cut into pieces.
  if (usable && sheet && *sheet == windows_.BuiltInSheetSize()) {
    windows_.UseUserSheet();
  } else {
    windows_.UseBuiltInSheet();
  }
}

void SettingsSession::PlaceCompanion(Companion which, bool& placed, const char* topKey,
                                     const char* leftKey, double defaultTop, double defaultLeft) {
  if (placed || !windows_.CanPlaceWindows()) return;
  const auto top = ReadTwips(store_, topKey, defaultTop);
  if (!top) return;
  const auto left = ReadTwips(store_, leftKey, defaultLeft);
  if (!left) return;
  const TwipRect window = windows_.CompanionWindow(which);
  const TwipPoint at = ClampToScreen({static_cast<double>(*left), static_cast<double>(*top)},
                                     {window.width, window.height}, windows_.ScreenSize());
  windows_.MoveCompanion(which, at.left, at.top);
  placed = true;
}

void SettingsSession::PlaceNextBox() {
  const TwipRect main = windows_.MainWindow();
  PlaceCompanion(Companion::NextBox, nextBoxPlaced_, "NextTop", "NextLeft", main.top,
                 main.left + main.width);
}

void SettingsSession::PlaceScoreBoxA() {
  const TwipRect main = windows_.MainWindow();
  PlaceCompanion(Companion::ScoreBoxA, scoreBoxAPlaced_, "PointTop", "PointLeft",
                 main.top + main.height, main.left);
}

void SettingsSession::PlaceScoreBoxB() {
  const TwipRect main = windows_.MainWindow();
  const double scoreBoxAWidth = windows_.CompanionWindow(Companion::ScoreBoxA).width;
  PlaceCompanion(Companion::ScoreBoxB, scoreBoxBPlaced_, "Point2Top", "Point2Left",
                 main.top + main.height, main.left + scoreBoxAWidth);
}

void SettingsSession::AddTwips(const char* key, double twips) {
  const double whole = RoundHalfEven(twips);
  if (std::isfinite(whole)) {
    pending_.push_back({MainSection, key, std::to_string(static_cast<long long>(whole))});
  }
}

void SettingsSession::SaveWindowPositions() {
  // Places the load could not read are not known to be the player's.
  if (!loaded_ || !wholly_ || !windows_.MainWindowIsNormal()) return;
  const TwipRect main = windows_.MainWindow();
  // Positions a window system keeps to itself would be made up: the stored ones stay.
  if (!windows_.CanPlaceWindows()) {
    AddTwips("Width", main.width);
    AddTwips("Height", main.height);
    return;
  }
  const TwipRect next = windows_.CompanionWindow(Companion::NextBox);
  const TwipRect point = windows_.CompanionWindow(Companion::ScoreBoxA);
  const TwipRect point2 = windows_.CompanionWindow(Companion::ScoreBoxB);
  const TwipRect message = windows_.CompanionWindow(Companion::Message);
  AddTwips("Top", main.top);
  AddTwips("Left", main.left);
  AddTwips("Width", main.width);
  AddTwips("Height", main.height);
  AddTwips("NextTop", next.top);
  AddTwips("NextLeft", next.left);
  AddTwips("PointTop", point.top);
  AddTwips("PointLeft", point.left);
  AddTwips("Point2Top", point2.top);
  AddTwips("Point2Left", point2.left);
  AddTwips("MesTop", message.top);
}

std::vector<StoreWrite> SettingsSession::OptionWrites() const {
  auto option = [](const char* key, const std::string& value) {
    return StoreWrite{MainSection, key, value};
  };
  auto digit = [](bool one) { return one ? "1" : "0"; };
  return {
      option("FormOfGame", std::to_string(settings_.Series().Number())),
      option("SoundEffect", digit(soundWish_[0])),
      option("Music", digit(soundWish_[1])),
      option("OpeningDemo", digit(settings_.On(Switch::OpeningDemo))),
      option("PlayerA", digit(!settings_.IsHuman(SideA))),
      option("PlayerB", digit(!settings_.IsHuman(SideB))),
      option("BitmapStretch", digit(settings_.On(Switch::StretchBackground))),
      option("Level", digit(!settings_.AutomaticLevel())),
  };
}

void SettingsSession::AddOptions(bool all) {
  for (StoreWrite& option : OptionWrites()) {
    const auto kept = kept_.find(option.key);
    if (all || kept == kept_.end() || kept->second != option.value) {
      pending_.push_back(std::move(option));
    }
  }
}

bool SettingsSession::Commit() {
  std::vector<StoreWrite> writes;
  writes.swap(pending_);
  if (!store_.WriteAll(writes)) {
    std::fprintf(stderr, "%s\n", SaveFailureLine(store_).c_str());
    return false;
  }
  for (const StoreWrite& write : writes) kept_[write.key] = write.value;
  return true;
}

bool SettingsSession::SaveOptions() {
  if (!loaded_) return true;
  // The message window's left edge is a window position like the others: kept only from a
  // normal main window, together with its top, and only where it can be known.
  if (wholly_ && windows_.MainWindowIsNormal() && windows_.CanPlaceWindows()) {
    AddTwips("MesLeft", windows_.CompanionWindow(Companion::Message).left);
  }
  AddOptions(wholly_);
  return Commit();
}

void SettingsSession::KeepPicture(bool background, const std::string& folder,
                                  const std::string& file) {
  pending_.push_back({MainSection, background ? "FullPath" : "KomaPath", folder});
  pending_.push_back({MainSection, background ? "FileName" : "KomaName", file});
  Commit();
}

void SettingsSession::KeepChoices(const DialogChoices& changed) {
  if (!loaded_) return;
  if (changed.switches[1]) soundWish_[0] = settings_.On(Switch::SoundEffects);
  if (changed.switches[2]) soundWish_[1] = settings_.On(Switch::Music);
  for (int side : {SideA, SideB}) {
    if (changed.names[side]) {
      pending_.push_back({MainSection, PlayerNameKeys[side], settings_.names[side].text});
    }
  }
  AddOptions(false);
  Commit();
}

}  // namespace pyra
