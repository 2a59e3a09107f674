// The ranking table of the best five players.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>

namespace pyra {

inline constexpr int RankCount = 5;
// Each entry a player's list index or -1; slot 4 holds the first place, slot 0 the fifth.
using RankSlotArray = std::array<int16_t, RankCount>;

// Wins per games in ten-thousandths, the fraction dropped; 0 without games.
int64_t WinRate(int64_t wins, int64_t games);

// A rate in ten-thousandths as five characters: thousandths after a point, with a blank in
// place of the units digit ("1.000" for every game won).
std::string FormatWinRate(int64_t rate);

// The best five: higher rate first, then more games, then the player later in the list.
RankSlotArray RankSlots(std::span<const int64_t> rates, std::span<const int64_t> games);

// The text of the ranking box. Two neighbouring rows that would show the same rate while the
// higher one has fewer games both show a fourth digit.
std::string RankingText(const RankSlotArray& slots, std::span<const std::string> names,
                        std::span<const int64_t> rates, std::span<const int64_t> games);

}  // namespace pyra
