// A PlacementHost that writes down every call a placement makes, in order, together with
// what the call could see of the game state, and answers FinishGame and HandOverTurn as
// a test scripts them.
#pragma once

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "rules/game_state.h"
#include "rules/placement.h"

namespace pyra::testing {

struct PaintRecord {
  int16_t column;
  int16_t row;
  int16_t step;
  int16_t code;  // the cell's code at the moment it was painted

  bool operator==(const PaintRecord&) const = default;
};

// The text of a paint in a trace: "paint 1,2 step 16 code 3".
inline std::string PaintText(int column, int row, int step, int code) {
  return "paint " + std::to_string(column) + "," + std::to_string(row) + " step " +
         std::to_string(step) + " code " + std::to_string(code);
}

class FakePlacementHost : public PlacementHost {
 public:
  explicit FakePlacementHost(GameState& s) : state_(s) {}

  // Answers to RasterCanStretch in order; the last one repeats.
  std::vector<bool> stretchAnswers{true};
  // FinishGame's answer (stop at once?), and what it does to the game first.
  std::function<bool(GameState&)> onFinishGame = [](GameState&) { return false; };
  std::function<void(GameState&)> onHandOverTurn = [](GameState&) {};

  // Every call, as text: paints (see PaintText), "cue JU", "score 1", "stop clock",
  // "next pieces", "caption", "finish", "hand over". RasterCanStretch is counted apart.
  std::vector<std::string> trace;
  std::vector<PaintRecord> paints;
  std::vector<std::string> cues;
  int stretchQueries = 0;
  // What the score box, the NEXT window and the hand-over saw.
  std::vector<Pair> scoresAtShowScore;
  std::vector<std::array<int16_t, 3>> queueAtDrawNext;
  std::vector<int16_t> turnAtDrawNext;

  void Clear() {
    trace.clear();
    paints.clear();
    cues.clear();
    stretchQueries = 0;
    scoresAtShowScore.clear();
    queueAtDrawNext.clear();
    turnAtDrawNext.clear();
  }

  int Count(const std::string& entry) const {
    int n = 0;
    for (const auto& t : trace) n += t == entry;
    return n;
  }

  void PaintCell(int16_t column, int16_t row, int16_t step) override {
    const int16_t code = state_.Board[column * state_.BoardRows + row];
    paints.push_back({column, row, step, code});
    trace.push_back(PaintText(column, row, step, code));
  }
  bool RasterCanStretch() override {
    const size_t i = static_cast<size_t>(stretchQueries++);
    return i < stretchAnswers.size() ? stretchAnswers[i] : stretchAnswers.back();
  }
  void PlayCue(Cue cue) override {
    cues.push_back(CueName(cue));
    trace.push_back(std::string("cue ") + CueName(cue));
  }
  void ShowScore(int side) override {
    scoresAtShowScore.push_back(state_.Score);
    trace.push_back("score " + std::to_string(side));
  }
  void StopHumanClock() override { trace.push_back("stop clock"); }
  void DrawNextPieces() override {
    queueAtDrawNext.push_back(state_.PieceQueue);
    turnAtDrawNext.push_back(state_.Turn);
    trace.push_back("next pieces");
  }
  void RestoreCaption() override { trace.push_back("caption"); }
  bool FinishGame() override {
    trace.push_back("finish");
    return onFinishGame(state_);
  }
  void HandOverTurn() override {
    trace.push_back("hand over");
    onHandOverTurn(state_);
  }

 private:
  GameState& state_;
};

}  // namespace pyra::testing
