#include "store/ranking.h"

#include <algorithm>

namespace pyra {

int64_t WinRate(int64_t wins, int64_t games) {
  // Counts are kept below 10^14, so 10000 times a count stays far inside 64 bits.
  return games > 0 ? (10000 * wins) / games : 0;
}

std::string FormatWinRate(int64_t rate) {
  const int64_t a = rate / 10;
  if (a == 1000) return "1.000";
  const std::string digits = std::to_string(a);
  if (a < 10) return " .00" + digits;
  if (a < 100) return " .0" + digits;
  return " ." + digits;
}

RankSlotArray RankSlots(std::span<const int64_t> rates, std::span<const int64_t> games) {
  RankSlotArray slots;
  slots.fill(-1);
  const size_t count = std::min(rates.size(), games.size());
  for (size_t i = 0; i < count; ++i) {
    for (int j = RankCount - 1; j >= 0; --j) {
      if (slots[j] < 0) {
        slots[j] = static_cast<int16_t>(i);
        break;
      }
      const auto t = static_cast<size_t>(slots[j]);
      if (rates[i] > rates[t] || (rates[i] == rates[t] && games[i] >= games[t])) {
        for (int k = 1; k <= j; ++k) slots[k - 1] = slots[k];
        slots[j] = static_cast<int16_t>(i);
        break;
      }
    }
  }
  return slots;
}

std::string RankingText(const RankSlotArray& slots, std::span<const std::string> names,
                        std::span<const int64_t> rates, std::span<const int64_t> games) {
  std::array<std::string, RankCount> texts;
  for (int k = 0; k < RankCount; ++k) {
    if (slots[k] < 0) continue;
    texts[k] = FormatWinRate(rates[slots[k]]);
    if (k >= 1 && slots[k - 1] >= 0 && texts[k - 1] == texts[k] &&
        games[slots[k]] < games[slots[k - 1]]) {
      texts[k] += std::to_string(rates[slots[k]] % 10);
      texts[k - 1] += std::to_string(rates[slots[k - 1]] % 10);
    }
  }
  std::string message;
  for (int k = RankCount - 1; k >= 0; --k) {
    if (slots[k] < 0) continue;
    message += std::to_string(RankCount - k) + "位 " + names[slots[k]] + "\n";
    message += "勝率" + texts[k] + "; 試合数" + std::to_string(games[slots[k]]) + "\n";
  }
  return message;
}

}  // namespace pyra
