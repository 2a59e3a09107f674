// The settings dialog's controls as plain data: they are the program's live settings.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace pyra {

// Check-box states.
enum : int { Unchecked = 0, Checked = 1, Greyed = 2 };

// What a side's name box shows while the computer plays it, and a person's name until one
// is entered.
inline constexpr const char* ComputerName = "コンピュータ";
inline constexpr const char* DefaultPlayerNames[2] = {"Player A", "Player B"};

struct NameBox {
  std::string text;
  bool enabled = true;
  std::vector<std::string> list;  // the known player names, in list order
};

struct GameOptions {
  // Option1: 0 A human, 1 A computer, 2 B human, 3 B computer.
  std::array<bool, 4> Option1{};
  // Option2: the series format, 0..10.
  std::array<bool, 11> Option2{};
  // Option3: 0 automatic level, 1 strongest.
  std::array<bool, 2> Option3{};
  // Check1: 0 stretch the background, 1 sound effects, 2 music, 3 demo at start-up.
  std::array<int, 4> Check1{};
  // Combo1: 0 name of A, 1 name of B, 2 player chosen for deleting or clearing.
  std::array<NameBox, 3> Combo1{};

  bool IsHuman(int side) const { return Option1[side == 0 ? 0 : 2]; }
  bool IsComputer(int side) const { return Option1[side == 0 ? 1 : 3]; }
  // Exactly one side is the computer.
  bool OneComputer() const { return Option1[1] != Option1[3]; }
  // Human against computer, either way round (the automatic level acts only then).
  bool OneHuman() const { return (Option1[0] && Option1[3]) || (Option1[1] && Option1[2]); }
  bool AutomaticLevel() const { return Option3[0]; }
  // The selected series format; 0 when none is selected.
  int16_t SelectedSeriesFormat() const;
  void SelectSeriesFormat(int format);  // out of range clears every button
  void SetPlayerKind(int side, bool computer);

  // The first-run settings.
  static GameOptions Defaults();
};

}  // namespace pyra
