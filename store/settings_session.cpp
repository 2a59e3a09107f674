#include "store/settings_session.h"

#include <cmath>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>

#include "rules/board.h"
#include "settings/stored_settings.h"
#include "store/companion_placement.h"
#include "store/number_reading.h"
#include "store/store_values.h"

namespace pyra {
namespace {

constexpr int NextBoxClientWidth = 58;
constexpr int NextBoxClientHeight = 32;
constexpr Setting NameSettings[2] = {Setting::NameA, Setting::NameB};

// Half of a rounded value, the fraction dropped.
double HalfOfRounded(double value) { return std::trunc(RoundHalfEven(value) / 2); }

}  // namespace

std::optional<int16_t> SettingsSession::ReadTwips(Setting setting, double fallback) {
  const std::string text = ReadSetting(store_, Key(setting), "");
  if (text.empty()) return ToInt16(fallback);
  return ReadInteger16(text);
}

std::optional<int16_t> SettingsSession::ReadNumber(Setting setting) {
  return ReadNumberSetting(store_, Key(setting), Default(setting));
}

bool SettingsSession::SwitchOn(Setting setting) {
  const std::optional<int16_t> value = ReadNumber(setting);
  return value && Taken(setting, *value);
}

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
  auto unset = [this](Setting setting) { return ReadSetting(store_, Key(setting), "").empty(); };
  firstRun_.width = unset(Setting::MainWidth);
  firstRun_.height = unset(Setting::MainHeight);
  firstRun_.next = unset(Setting::NextTop) && unset(Setting::NextLeft);
  firstRun_.scoreA = unset(Setting::ScoreATop) && unset(Setting::ScoreALeft);
  firstRun_.scoreB = unset(Setting::ScoreBTop) && unset(Setting::ScoreBLeft);
  firstRun_.message = unset(Setting::MessageTop) && unset(Setting::MessageLeft);
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
  // One edge or size from the store, its default worked out from the window as it now is.
  auto restore = [this](Setting setting, double TwipRect::*part,
                        const std::function<double(const TwipRect&)>& byDefault) {
    TwipRect main = windows_.MainWindow();
    if (auto value = ReadTwips(setting, byDefault(main))) {
      main.*part = *value;
      windows_.SetMainWindow(main);
    }
  };
  const double nextWidth = windows_.CompanionWindow(Companion::NextBox).width;
  const double messageHeight = windows_.CompanionWindow(Companion::Message).height;
  restore(Setting::MainWidth, &TwipRect::width, [](const TwipRect& m) { return m.width; });
  if (placing) {
    restore(Setting::MainLeft, &TwipRect::left,
            [&](const TwipRect& m) { return HalfOfRounded(screen.width - m.width - nextWidth); });
  }
  restore(Setting::MainHeight, &TwipRect::height, [](const TwipRect& m) { return m.height; });
  if (placing) {
    restore(Setting::MainTop, &TwipRect::top, [&](const TwipRect& m) {
      return HalfOfRounded(screen.height - m.height - messageHeight);
    });
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

  if (auto format = ReadNumber(Setting::SeriesFormat)) {
    settings_.series = SeriesFormat::FromNumber(*format);  // out of range: none chosen
  }

  if (placing) {
    const TwipRect main = windows_.MainWindow();
    const auto top = ReadTwips(Setting::MessageTop, main.top + main.height);
    const auto left = top ? ReadTwips(Setting::MessageLeft, main.left) : std::nullopt;
    if (top && left) {
      const TwipRect message = windows_.CompanionWindow(Companion::Message);
      const TwipPoint at = ClampToScreen({static_cast<double>(*left), static_cast<double>(*top)},
                                         {message.width, message.height}, screen);
      windows_.MoveCompanion(Companion::Message, at.left, at.top);
    }
  }

  if (!windows_.RasterCanStretch()) {
    settings_.Set(Switch::StretchBackground, false);
  } else if (auto stretch = ReadNumber(Setting::StretchBackground)) {
    if (Taken(Setting::StretchBackground, *stretch)) {
      settings_.Set(Switch::StretchBackground, *stretch == 1);
    }
  }

  for (int side : {SideA, SideB}) {
    const Setting player = side == SideA ? Setting::PlayerA : Setting::PlayerB;
    if (auto kind = ReadNumber(player); kind && Taken(player, *kind)) {
      settings_.players[side] = *kind == 1 ? PlayerKind::Computer : PlayerKind::Human;
    }
  }

  state_.turn = TurnNone;

  if (auto level = ReadNumber(Setting::Level)) {
    settings_.level = Taken(Setting::Level, *level) ? Level::Automatic : Level::Strongest;
  }

  LoadBackground();
  LoadPieceSheet();

  for (int side = SideA; side <= SideB; ++side) {
    NameBox& box = settings_.names[side];
    if (settings_.IsHuman(side)) {
      box.text = ReadSetting(store_, Key(NameSettings[side]), DefaultPlayerNames[side]);
    } else {
      box.text = ComputerName;
      box.enabled = false;
    }
  }

  // The sound switches show what this machine can honour; the player's choice is kept apart.
  soundWish_[0] = SwitchOn(Setting::SoundEffects);
  settings_.Set(Switch::SoundEffects, soundWish_[0] && windows_.SoundAvailable());

  records_.LoadPlayerList();

  soundWish_[1] = SwitchOn(Setting::Music);
  settings_.Set(Switch::Music, soundWish_[1]);
  settings_.Set(Switch::OpeningDemo, SwitchOn(Setting::OpeningDemo));

  for (int i = 0; i < records_.playerCount; ++i) {
    for (NameBox& box : settings_.names) box.list.push_back(records_.playerList[i]);
  }

  wholly_ = store_.ReadFailures() == failures;
  for (const StoreWrite& option : OptionWrites()) kept_[option.key] = option.value;
}

void SettingsSession::LoadBackground() {
  const std::string current = windows_.CurrentDirectory();
  const std::string folder = ReadSetting(store_, Key(Setting::BackgroundFolder), current);
  const std::string file = ReadSetting(store_, Key(Setting::BackgroundFile), "");
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
  const std::string folder = ReadSetting(store_, Key(Setting::SheetFolder), current);
  const std::string file = ReadSetting(store_, Key(Setting::SheetFile), "");
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

void SettingsSession::PlaceCompanion(Companion which, bool& placed, Setting topSetting,
                                     Setting leftSetting, double defaultTop, double defaultLeft) {
  if (placed || !windows_.CanPlaceWindows()) return;
  const auto top = ReadTwips(topSetting, defaultTop);
  if (!top) return;
  const auto left = ReadTwips(leftSetting, defaultLeft);
  if (!left) return;
  const TwipRect window = windows_.CompanionWindow(which);
  const TwipPoint at = ClampToScreen({static_cast<double>(*left), static_cast<double>(*top)},
                                     {window.width, window.height}, windows_.ScreenSize());
  windows_.MoveCompanion(which, at.left, at.top);
  placed = true;
}

void SettingsSession::PlaceNextBox() {
  const TwipRect main = windows_.MainWindow();
  PlaceCompanion(Companion::NextBox, nextBoxPlaced_, Setting::NextTop, Setting::NextLeft, main.top,
                 main.left + main.width);
}

void SettingsSession::PlaceScoreBoxA() {
  const TwipRect main = windows_.MainWindow();
  PlaceCompanion(Companion::ScoreBoxA, scoreBoxAPlaced_, Setting::ScoreATop, Setting::ScoreALeft,
                 main.top + main.height, main.left);
}

void SettingsSession::PlaceScoreBoxB() {
  const TwipRect main = windows_.MainWindow();
  const double scoreBoxAWidth = windows_.CompanionWindow(Companion::ScoreBoxA).width;
  PlaceCompanion(Companion::ScoreBoxB, scoreBoxBPlaced_, Setting::ScoreBTop, Setting::ScoreBLeft,
                 main.top + main.height, main.left + scoreBoxAWidth);
}

void SettingsSession::AddTwips(Setting setting, double twips) {
  const double whole = RoundHalfEven(twips);
  if (std::isfinite(whole)) {
    pending_.push_back({MainSection, Key(setting), std::to_string(static_cast<long long>(whole))});
  }
}

void SettingsSession::SaveWindowPositions() {
  // Places the load could not read are not known to be the player's.
  if (!loaded_ || !wholly_ || !windows_.MainWindowIsNormal()) return;
  const TwipRect main = windows_.MainWindow();
  // Positions a window system keeps to itself would be made up: the stored ones stay.
  if (!windows_.CanPlaceWindows()) {
    AddTwips(Setting::MainWidth, main.width);
    AddTwips(Setting::MainHeight, main.height);
    return;
  }
  const TwipRect next = windows_.CompanionWindow(Companion::NextBox);
  const TwipRect point = windows_.CompanionWindow(Companion::ScoreBoxA);
  const TwipRect point2 = windows_.CompanionWindow(Companion::ScoreBoxB);
  const TwipRect message = windows_.CompanionWindow(Companion::Message);
  AddTwips(Setting::MainTop, main.top);
  AddTwips(Setting::MainLeft, main.left);
  AddTwips(Setting::MainWidth, main.width);
  AddTwips(Setting::MainHeight, main.height);
  AddTwips(Setting::NextTop, next.top);
  AddTwips(Setting::NextLeft, next.left);
  AddTwips(Setting::ScoreATop, point.top);
  AddTwips(Setting::ScoreALeft, point.left);
  AddTwips(Setting::ScoreBTop, point2.top);
  AddTwips(Setting::ScoreBLeft, point2.left);
  AddTwips(Setting::MessageTop, message.top);
}

std::vector<StoreWrite> SettingsSession::OptionWrites() const {
  auto option = [](Setting setting, const std::string& value) {
    return StoreWrite{MainSection, Key(setting), value};
  };
  auto digit = [](bool one) { return one ? "1" : "0"; };
  return {
      option(Setting::SeriesFormat, std::to_string(settings_.Series().Number())),
      option(Setting::SoundEffects, digit(soundWish_[0])),
      option(Setting::Music, digit(soundWish_[1])),
      option(Setting::OpeningDemo, digit(settings_.On(Switch::OpeningDemo))),
      option(Setting::PlayerA, digit(!settings_.IsHuman(SideA))),
      option(Setting::PlayerB, digit(!settings_.IsHuman(SideB))),
      option(Setting::StretchBackground, digit(settings_.On(Switch::StretchBackground))),
      option(Setting::Level, digit(!settings_.AutomaticLevel())),
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
    AddTwips(Setting::MessageLeft, windows_.CompanionWindow(Companion::Message).left);
  }
  AddOptions(wholly_);
  return Commit();
}

void SettingsSession::KeepPicture(bool background, const std::string& folder,
                                  const std::string& file) {
  pending_.push_back(
      {MainSection, Key(background ? Setting::BackgroundFolder : Setting::SheetFolder), folder});
  pending_.push_back(
      {MainSection, Key(background ? Setting::BackgroundFile : Setting::SheetFile), file});
  Commit();
}

void SettingsSession::KeepChoices(const DialogChoices& changed) {
  if (!loaded_) return;
  if (changed.switches[1]) soundWish_[0] = settings_.On(Switch::SoundEffects);
  if (changed.switches[2]) soundWish_[1] = settings_.On(Switch::Music);
  for (int side : {SideA, SideB}) {
    if (changed.names[side]) {
      pending_.push_back({MainSection, Key(NameSettings[side]), settings_.names[side].text});
    }
  }
  AddOptions(false);
  Commit();
}

}  // namespace pyra
