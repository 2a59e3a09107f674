// The settings dialog `GameOption` on Qt: its controls at their places, bound to the live
// settings and to the dialog's logic.
#pragma once

#include <QDialog>
#include <array>
#include <string>

#include "options/game_option.h"
#include "options/picture_chooser.h"

class QAbstractButton;
class QCheckBox;
class QComboBox;
class QPushButton;
class QRadioButton;

namespace pyra {

class CompanionWindows;
class PictureHolder;
class SettingsWindows;

enum class ControlKind { Group, Option, Label, Combo, Button, Check };

// One control: its place in twips, inside its group box (`group` is the table row of the
// box) or in the dialog (-1).
struct OptionControl {
  ControlKind kind;
  const char* name;
  int index;
  const char* caption;
  int group;
  int left, top, width, height;
};

inline constexpr int OptionControlCount = 37;
extern const std::array<OptionControl, OptionControlCount> OptionControls;
// The client area, in twips.
inline constexpr int OptionClientWidth = 7920;
inline constexpr int OptionClientHeight = 5010;

// A control's object name: its name, and its index when it belongs to an array.
QString ControlObjectName(const OptionControl& control);

class GameOptionDialog : public QDialog, public OptionWindows {
  Q_OBJECT

 public:
  GameOptionDialog(QWidget* mainWindow, Game& game, GameOptions& options, PlayerRecords& records,
                   SettingsStore& store, ChoicesKeeper& keeper, SettingsWindows& settingsWindows,
                   CompanionWindows& companions, PictureHolder& pictures);

  // Shows the dialog modally; however it is closed (OK, its close button, Esc), what
  // changed is then applied as OK applies it.
  void Run();
  GameOption& Logic() { return logic_; }

  int CaptionWidth(const std::string& text) override;
  int ScoreBoxWidth(int side) override;
  void ShowChooser(bool backgroundMode) override;

 private:
  void Build();
  void Bind(const OptionControl& control, QWidget* widget);
  // Shows the live settings in the controls.
  void Refresh();

  GameOption logic_;
  PictureChooser chooser_;
  CompanionWindows& companions_;
  PictureHolder& pictures_;
  double tppx_;
  double tppy_;
  std::array<QRadioButton*, 4> option1_{};
  std::array<QRadioButton*, 11> option2_{};
  std::array<QRadioButton*, 2> option3_{};
  std::array<QCheckBox*, 4> check1_{};
  std::array<QComboBox*, 3> combo1_{};
  std::array<QPushButton*, 2> command2_{};
};

}  // namespace pyra
