// The end of a game: series totals, results, the go-on question and the closing question.
#include "match/game.h"
#include "match/messages.h"

namespace pyra {

namespace {

std::string Number(int value) { return std::to_string(value); }

}  // namespace

std::string Game::DisplayName(int side) const {
  const std::string& a = options.Combo1[0].text;
  const std::string& b = options.Combo1[1].text;
  const std::string& own = side == SideA ? a : b;
  if (a != b && !own.empty()) return own;
  return side == SideA ? "A" : "B";
}

std::string Game::SeriesFormatName() const {
  const int format = state.SeriesFormat;
  if (format < 0 || format > 10) return "";
  return text::SeriesFormatNames[format];
}

void Game::ResetSeries() {
  state.GamesPlayed = 0;
  AskContinue = true;
  state.Wins = {0, 0};
  state.SeriesPoints = {0, 0};
}

std::string Game::SeriesResultText() const {
  if (state.GamesPlayed == 0) return "";
  const std::string names[2] = {DisplayName(SideA), DisplayName(SideB)};
  int winner = -1;
  if (state.Wins[0] != state.Wins[1]) {
    winner = state.Wins[0] > state.Wins[1] ? SideA : SideB;
  } else if (state.SeriesPoints[0] != state.SeriesPoints[1]) {
    winner = state.SeriesPoints[0] > state.SeriesPoints[1] ? SideA : SideB;
  }
  std::string out = "\n";
  if (winner >= 0) {
    const int loser = 1 - winner;
    out += names[winner] + text::Of + text::Win + "\n";
    out += Number(state.GamesPlayed) + text::Games + Number(state.Wins[winner]) + text::Wins +
           Number(state.Wins[loser]) + text::Losses + "\n";
    out += std::string(text::Points) + names[winner] + Number(state.SeriesPoints[winner]) + "," +
           names[loser] + Number(state.SeriesPoints[loser]);
  } else {
    out += std::string(text::Draw) + "\n";
    out += Number(state.GamesPlayed) + text::Games + names[0] + Number(state.Wins[0]) + text::Wins +
           "," + names[1] + Number(state.Wins[1]) + text::Wins + "\n";
    out += std::string(text::Points) + names[0] + Number(state.SeriesPoints[0]) + "," + names[1] +
           Number(state.SeriesPoints[1]);
  }
  return out;
}

bool Game::FinishGame() {
  // The format is read at the start, so that the result message and the series rules of
  // this game go by the same format.
  state.SeriesFormat = options.SelectedSeriesFormat();
  for (int side : {SideA, SideB}) {
    state.SeriesPoints[side] = static_cast<int16_t>(state.SeriesPoints[side] + state.Score[side]);
  }
  ++state.GamesPlayed;
  const std::string a = DisplayName(SideA);
  const std::string b = DisplayName(SideB);
  const auto& score = state.Score;
  const bool called = score[0] + 20 < score[1] || score[1] + 20 < score[0];
  const std::string mark = called ? text::Called : "";

  int16_t result;
  std::string message;
  auto winLines = [&](const std::string& name, int own, int other) {
    return name + text::Of + mark + text::Win + "\n" + name + Number(own) + text::Wins +
           Number(other) + text::Losses + "\n" + text::PressSpace;
  };
  if (score[0] > score[1]) {
    ++state.Wins[0];
    result = 0;
    message = winLines(a, state.Wins[0], state.Wins[1]);
  } else if (score[0] == score[1]) {
    result = -1;
    message = std::string(text::Draw) + "\n" + a + Number(state.Wins[0]) + text::Wins + "," + b +
              Number(state.Wins[1]) + text::Wins + "\n" + text::PressSpace;
  } else {
    ++state.Wins[1];
    result = 1;
    message = winLines(b, state.Wins[1], state.Wins[0]);
  }
  if (state.SeriesFormat != 0 && !state.DemoMode) ShowMessage(message);

  if (state.DemoMode) {
    StartDemoGame();
    // A key may have ended the demo and started a real game while window events ran;
    // that game is fully set up and must not be handed over.
    if (!state.DemoMode || closing) return true;
    AdvanceQueue();
    return false;
  }

  state.Turn = TurnNone;
  SetMenuVisible(MenuItem::Pause, false);
  ports.records.RecordResult(result);

  const int format = state.SeriesFormat;
  if (format <= 4) {
    const int games = 2 * format + 1;
    if (AskContinue) StopWhenDecided = false;
    if (state.GamesPlayed != games) {
      const char* leader = state.Wins[0] > format ? "A" : state.Wins[1] > format ? "B" : nullptr;
      if (leader && AskContinue) {
        const MsgAnswer answer =
            Ask(std::string(leader) + text::DecidedButContinue + "\n" + text::ContinueQuestion,
                ProductName, MsgButtons::YesNo, MsgIcon::Question);
        StopWhenDecided = answer != MsgAnswer::Yes;
        AskContinue = false;
      }
    }
    const bool over = state.GamesPlayed == games || StopWhenDecided;
    if (EndOfGameDialog(over)) return true;
  } else if (format <= 9) {
    const int target = 2 * (format - 4);
    const bool over = state.Wins[0] == target || state.Wins[1] == target;
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
      Unload();
    }
    return true;
  }
  if (options.OneComputer()) {
    Ask(std::string(text::NextGameBefore) + Number(state.GamesPlayed + 1) + text::NextGameAfter +
            "\n" + text::GoodLuck,
        ProductName, MsgButtons::Ok, MsgIcon::None);
  }
  StartGame();
  return false;
}

}  // namespace pyra
