// The settings dialog's window: its controls at their places, showing the live settings and
// passing the player's changes to the dialog's rules.
#pragma once

#include <QDialog>
#include <array>
#include <string>

#include "options/picture_chooser.h"
#include "options/settings_dialog.h"

class QAbstractButton;
class QCheckBox;
class QComboBox;
class QPushButton;
class QRadioButton;

namespace pyra {

class CompanionWindows;
class PictureHolder;
class SessionPorts;

// What a control of the dialog is: a frame, a label, one of the choices, or a button.
enum class Control {
  Group,
  Label,
  Player,
  Series,
  Level,
  Switch,
  Name,
  Delete,
  Clear,
  Background,
  Pieces,
  Ok
};

// One control: its object name, the value it stands for (Player: 2 × side + 1 for the
// computer; Series: the format's number; Level: 0 automatic, 1 strongest; Switch: the
// switch; Name: the name box), its caption, and its place in twips inside its group box
// (`group` is the table row of the box) or in the dialog (-1).
struct DialogControl {
  Control control;
  const char* name;
  int value;
  const char* caption;
  int group;
  int left, top, width, height;
};

inline constexpr int DialogControlCount = 37;
extern const std::array<DialogControl, DialogControlCount> DialogControls;
// The client area, in twips.
inline constexpr int DialogClientWidth = 7920;
inline constexpr int DialogClientHeight = 5010;

class SettingsWindow : public QDialog, public DialogWindows {
  Q_OBJECT

 public:
  SettingsWindow(QWidget* mainWindow, Game& game, GameSettings& settings, PlayerRecords& records,
                 ChoicesKeeper& keeper, SessionPorts& ports, CompanionWindows& companions,
                 PictureHolder& pictures);

  // Shows the dialog modally; however it is closed (OK, its close button, Esc), what
  // changed is then applied as OK applies it.
  void Run();
  SettingsDialog& Logic() { return logic_; }

  int CaptionWidth(const std::string& text) override;
  int ScoreBoxWidth(int side) override;
  void ShowChooser(bool backgroundMode) override;

 private:
  void Build();
  void Bind(const DialogControl& control, QWidget* widget);
  // Shows the live settings in the controls.
  void Refresh();

  SettingsDialog logic_;
  PictureChooser chooser_;
  CompanionWindows& companions_;
  PictureHolder& pictures_;
  double tppx_;
  double tppy_;
  std::array<QRadioButton*, 4> players_{};
  std::array<QRadioButton*, SeriesFormat::Count> series_{};
  std::array<QRadioButton*, 2> levels_{};
  std::array<QCheckBox*, SwitchCount> switches_{};
  std::array<QComboBox*, 3> names_{};
  std::array<QPushButton*, 2> removal_{};
};

}  // namespace pyra
