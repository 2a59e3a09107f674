// The end of a game: series totals, results, the go-on question and the closing_ question.
#include "match/game.h"
#include "match/messages.h"

namespace pyra {

namespace {

std::string Number(int value) { return std::to_string(value); }

}  // namespace

std::string Game::DisplayName(int side) const {
  const std::string& a = settings_.names[0].text;
  const std::string& b = settings_.names[1].text;
  const std::string& own = side == SideA ? a : b;
  if (a != b && !own.empty()) return own;
  return side == SideA ? "A" : "B";
}

std::string SeriesFormatName(SeriesFormat format) {
  return text::SeriesFormatNames[format.Number()];
}

void Game::ResetSeries() {
  state_.gamesPlayed = 0;
  askContinue_ = true;
  state_.wins = {0, 0};
  state_.seriesPoints = {0, 0};
}

std::string Game::SeriesResultText() const {
  if (state_.gamesPlayed == 0) return "";
  const std::string names[2] = {DisplayName(SideA), DisplayName(SideB)};
  int winner = -1;
  if (state_.wins[0] != state_.wins[1]) {
    winner = state_.wins[0] > state_.wins[1] ? SideA : SideB;
  } else if (state_.seriesPoints[0] != state_.seriesPoints[1]) {
    winner = state_.seriesPoints[0] > state_.seriesPoints[1] ? SideA : SideB;
  }
  std::string out = "\n";
  if (winner >= 0) {
    const int loser = 1 - winner;
    out += names[winner] + text::Of + text::Win + "\n";
    out += Number(state_.gamesPlayed) + text::Games + Number(state_.wins[winner]) + text::Wins +
           Number(state_.wins[loser]) + text::Losses + "\n";
    out += std::string(text::Points) + names[winner] + Number(state_.seriesPoints[winner]) + "," +
           names[loser] + Number(state_.seriesPoints[loser]);
  } else {
    out += std::string(text::Draw) + "\n";
    out += Number(state_.gamesPlayed) + text::Games + names[0] + Number(state_.wins[0]) +
           text::Wins + "," + names[1] + Number(state_.wins[1]) + text::Wins + "\n";
    out += std::string(text::Points) + names[0] + Number(state_.seriesPoints[0]) + "," + names[1] +
           Number(state_.seriesPoints[1]);
  }
  return out;
}

bool Game::FinishGame() {
  // The format is read at the start, so that the result message and the series rules of
  // this game go by the same format.
  const SeriesFormat format = settings_.Series();
  for (int side : {SideA, SideB}) {
    state_.seriesPoints[side] =
        static_cast<int16_t>(state_.seriesPoints[side] + state_.score[side]);
  }
  ++state_.gamesPlayed;
  const std::string a = DisplayName(SideA);
  const std::string b = DisplayName(SideB);
  const auto& score = state_.score;
  const bool called = score[0] + 20 < score[1] || score[1] + 20 < score[0];
  const std::string mark = called ? text::Called : "";

  int16_t result;
  std::string message;
  auto winLines = [&](const std::string& name, int own, int other) {
    return name + text::Of + mark + text::Win + "\n" + name + Number(own) + text::Wins +
           Number(other) + text::Losses + "\n" + text::PressSpace;
  };
  if (score[0] > score[1]) {
    ++state_.wins[0];
    result = 0;
    message = winLines(a, state_.wins[0], state_.wins[1]);
  } else if (score[0] == score[1]) {
    result = -1;
    message = std::string(text::Draw) + "\n" + a + Number(state_.wins[0]) + text::Wins + "," + b +
              Number(state_.wins[1]) + text::Wins + "\n" + text::PressSpace;
  } else {
    ++state_.wins[1];
    result = 1;
    message = winLines(b, state_.wins[1], state_.wins[0]);
  }
  if (format != SeriesFormat::BestOf(1) && !state_.demoMode) ShowMessage(message);

  if (state_.demoMode) {
    StartDemoGame();
    // A key may have ended the demo and started a real game while window events ran;
    // that game is fully set up and must not be handed over.
    if (!state_.demoMode || closing_) return true;
    AdvanceQueue();
    return false;
  }

  state_.turn = TurnNone;
  SetMenuVisible(MenuItem::Pause, false);
  ports_.records.RecordResult(result);

  if (format.kind() == SeriesFormat::Kind::BestOf) {
    const int games = format.Target();
    const int decided = format.WinsThatDecide();
    if (askContinue_) stopWhenDecided_ = false;
    if (state_.gamesPlayed != games) {
      const char* leader = state_.wins[0] >= decided   ? "A"
                           : state_.wins[1] >= decided ? "B"
                                                       : nullptr;
      if (leader && askContinue_) {
        const MsgAnswer answer =
            Ask(std::string(leader) + text::DecidedButContinue + "\n" + text::ContinueQuestion,
                ProductName, MsgButtons::YesNo, MsgIcon::Question);
        stopWhenDecided_ = answer != MsgAnswer::Yes;
        askContinue_ = false;
      }
    }
    const bool over = state_.gamesPlayed == games || stopWhenDecided_;
    if (EndOfGameDialog(over)) return true;
  } else if (format.kind() == SeriesFormat::Kind::FirstTo) {
    const int target = format.Target();
    const bool over = state_.wins[0] == target || state_.wins[1] == target;
    if (EndOfGameDialog(over)) return true;
  }
  return false;
}

bool Game::EndOfGameDialog(bool seriesOver) {
  if (seriesOver) {
    const MsgAnswer answer = Ask(SeriesResultText() + "\n" + text::PlayAgain, ProductName,
                                 MsgButtons::YesNo, MsgIcon::Question);
    if (answer == MsgAnswer::Yes) {
      ResetSeries();
      StartGame();
    } else {
      ShutDown();
    }
    return true;
  }
  if (settings_.OneComputer()) {
    Ask(std::string(text::NextGameBefore) + Number(state_.gamesPlayed + 1) + text::NextGameAfter +
            "\n" + text::GoodLuck,
        ProductName, MsgButtons::Ok, MsgIcon::None);
  }
  StartGame();
  return false;
}

}  // namespace pyra
