// The live settings of the run: who plays each side, the series format, the computer's level,
// the four switches and the name boxes. The start-up load fills them and the settings dialog
// changes them; everything else reads them.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace pyra {

enum class PlayerKind : int8_t { Human, Computer };
enum class Level : int8_t { Automatic, Strongest };

// A series: the best of some games, the first to some wins, or games without end.
class SeriesFormat {
 public:
  enum class Kind : int8_t { BestOf, FirstTo, Unlimited };

  static constexpr SeriesFormat BestOf(int games) { return {Kind::BestOf, games}; }
  static constexpr SeriesFormat FirstTo(int wins) { return {Kind::FirstTo, wins}; }
  static constexpr SeriesFormat Unlimited() { return {Kind::Unlimited, 0}; }

  // The formats are numbered as the dialog lists them and the store keeps them: best of 1,
  // 3, 5, 7, 9 (0..4), first to 2, 4, 6, 8, 10 wins (5..9), unlimited (10).
  static constexpr int Count = 11;
  static std::optional<SeriesFormat> FromNumber(int number);
  int Number() const;

  Kind kind() const { return kind_; }
  // Games of a best-of, wins of a first-to.
  int Target() const { return target_; }
  // A best-of is decided once a side has won more than half of its games.
  int WinsThatDecide() const { return target_ / 2 + 1; }
  bool operator==(const SeriesFormat&) const = default;

 private:
  constexpr SeriesFormat(Kind kind, int target) : kind_(kind), target_(target) {}
  Kind kind_;
  int target_;
};

enum class Switch : int8_t { StretchBackground, SoundEffects, Music, OpeningDemo };
inline constexpr int SwitchCount = 4;
inline constexpr Switch Switches[SwitchCount] = {Switch::StretchBackground, Switch::SoundEffects,
                                                 Switch::Music, Switch::OpeningDemo};

// What a side's name box shows while the computer plays it, and a person's name until one
// is entered.
inline constexpr const char* ComputerName = "コンピュータ";
inline constexpr const char* DefaultPlayerNames[2] = {"Player A", "Player B"};

struct NameBox {
  std::string text;
  bool enabled = true;
  std::vector<std::string> list;  // the known player names, in list order
};

// The name boxes: one per side (indexed by side), then the player chosen for deleting or
// clearing a record.
inline constexpr int ChosenPlayer = 2;

struct GameSettings {
  // Nothing chosen is what a stored value out of range leaves: no button selected. A side
  // without a kind is played by neither; a series without a format is one game; a level
  // not chosen plays as the strongest.
  std::array<std::optional<PlayerKind>, 2> players;
  std::optional<SeriesFormat> series;
  std::optional<Level> level;
  std::array<bool, SwitchCount> switches{};
  std::array<NameBox, 3> names;

  bool IsHuman(int side) const { return players[side] == PlayerKind::Human; }
  bool IsComputer(int side) const { return players[side] == PlayerKind::Computer; }
  // Exactly one side is the computer.
  bool OneComputer() const { return IsComputer(0) != IsComputer(1); }
  // A person against the computer, either way round (the automatic level acts only then).
  bool OneHuman() const { return (IsHuman(0) && IsComputer(1)) || (IsComputer(0) && IsHuman(1)); }
  bool AutomaticLevel() const { return level == Level::Automatic; }
  SeriesFormat Series() const { return series.value_or(SeriesFormat::BestOf(1)); }
  bool On(Switch which) const { return switches[static_cast<int>(which)]; }
  void Set(Switch which, bool on) { switches[static_cast<int>(which)] = on; }

  // The first-run settings.
  static GameSettings Defaults();
};

}  // namespace pyra
