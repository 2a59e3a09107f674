#include "view/settings_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <cmath>

#include "match/messages.h"
#include "store/session_ports.h"
#include "view/companion_windows.h"
#include "view/picture_chooser_window.h"
#include "view/picture_holder.h"
#include "view/screen_area.h"

namespace pyra {

namespace {

using C = Control;
constexpr const char* SideACaption = "プレーヤーＡ";
constexpr const char* SideBCaption = "プレーヤーＢ";
constexpr const char* Human = "人間";
constexpr const char* SeriesNames[SeriesFormat::Count] = {
    "bestOf1",  "bestOf3",  "bestOf5",  "bestOf7",   "bestOf9",  "firstTo2",
    "firstTo4", "firstTo6", "firstTo8", "firstTo10", "unlimited"};
// The series formats: best-of in the left column, first-to and unlimited in the right.
constexpr DialogControl SeriesOption(int i) {
  const int row = i < 5 ? i : i - 5;
  return {Control::Series,
          SeriesNames[i],
          i,
          i == 10 ? text::UnlimitedName : text::SeriesFormatNames[i],
          6,
          i < 5 ? 120 : 1680,
          240 + 360 * row,
          1575,
          375};
}

}  // namespace

const std::array<DialogControl, DialogControlCount> DialogControls = {{
    {C::Group, "sideA", 0, SideACaption, -1, 240, 1440, 2055, 1215},
    {C::Player, "sideAHuman", 0, Human, 0, 120, 240, 1815, 375},
    {C::Player, "sideAComputer", 1, ComputerName, 0, 120, 720, 1815, 375},
    {C::Group, "sideB", 0, SideBCaption, -1, 240, 2760, 2055, 1215},
    {C::Player, "sideBHuman", 2, Human, 3, 120, 240, 1815, 375},
    {C::Player, "sideBComputer", 3, ComputerName, 3, 120, 720, 1815, 375},
    {C::Group, "series", 0, "ゲーム方式", -1, 2400, 1440, 3495, 2535},
    SeriesOption(0),
    SeriesOption(1),
    SeriesOption(2),
    SeriesOption(3),
    SeriesOption(4),
    SeriesOption(5),
    SeriesOption(6),
    SeriesOption(7),
    SeriesOption(8),
    SeriesOption(9),
    SeriesOption(10),
    {C::Group, "level", 0, "思考ルーチン", -1, 3840, 0, 2055, 1335},
    {C::Level, "levelAutomatic", 0, "自動", 18, 120, 360, 1815, 375},
    {C::Level, "levelStrongest", 1, "最強", 18, 120, 720, 1815, 375},
    {C::Group, "names", 0, "プレーヤー名の設定", -1, 120, 0, 3615, 1335},
    {C::Label, "nameALabel", 0, SideACaption, 21, 120, 240, 1575, 375},
    {C::Name, "nameA", SideA, "", 21, 1680, 240, 1695, 390},
    {C::Label, "nameBLabel", 0, SideBCaption, 21, 120, 720, 1575, 375},
    {C::Name, "nameB", SideB, "", 21, 1680, 720, 1695, 390},
    {C::Group, "removal", 0, "プレーヤーの削除・成績のクリア", -1, 240, 4080, 5655, 735},
    {C::Name, "chosenPlayer", ChosenPlayer, "", 26, 240, 240, 1935, 390},
    {C::Delete, "deletePlayer", 0, "削除", 26, 2400, 240, 1335, 375},
    {C::Clear, "clearRecord", 1, "成績クリア", 26, 4080, 240, 1335, 375},
    {C::Switch, "stretchBackground", 0, "背景の拡大縮小", -1, 6000, 1080, 1935, 495},
    {C::Switch, "soundEffects", 1, "効果音", -1, 6000, 1680, 1935, 495},
    {C::Switch, "music", 2, "音楽", -1, 6000, 2280, 1935, 495},
    {C::Switch, "openingDemo", 3, "起動時デモ", -1, 6000, 2880, 1935, 495},
    {C::Background, "chooseBackground", 0, "背景の変更...", -1, 6000, 3480, 1815, 495},
    {C::Pieces, "choosePieces", 1, "駒の変更...", -1, 6000, 4200, 1815, 495},
    {C::Ok, "ok", 0, "OK", -1, 6360, 480, 1215, 495},
}};

SettingsWindow::SettingsWindow(QWidget* mainWindow, Game& game, GameSettings& settings,
                               PlayerRecords& records, ChoicesKeeper& keeper, SessionPorts& ports,
                               CompanionWindows& companions, PictureHolder& pictures)
    : QDialog(mainWindow, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                              Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      logic_(game, settings, records, keeper, *this),
      chooser_(game, keeper, ports),
      companions_(companions),
      pictures_(pictures),
      tppx_(ports.TwipsPerPixelX()),
      tppy_(ports.TwipsPerPixelY()) {
  setWindowTitle(QStringLiteral("ゲームの設定"));
  setObjectName(QStringLiteral("settings"));
  setModal(true);
  setFixedSize(static_cast<int>(std::lround(DialogClientWidth / tppx_)),
               static_cast<int>(std::lround(DialogClientHeight / tppy_)));
  Build();
  // In the middle of the screen.
  const QRect area = WorkArea();
  move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
}

void SettingsWindow::Build() {
  std::array<QWidget*, DialogControlCount> made{};
  for (int row = 0; row < DialogControlCount; ++row) {
    const DialogControl& c = DialogControls[row];
    QWidget* parent = c.group < 0 ? static_cast<QWidget*>(this) : made[c.group];
    const QString caption = QString::fromUtf8(c.caption);
    QWidget* widget = nullptr;
    switch (c.control) {
      case C::Group:
        widget = new QGroupBox(caption, parent);
        break;
      case C::Label:
        widget = new QLabel(caption, parent);
        break;
      case C::Player:
      case C::Series:
      case C::Level:
        widget = new QRadioButton(caption, parent);
        break;
      case C::Switch:
        widget = new QCheckBox(caption, parent);
        break;
      case C::Name:
        widget = new QComboBox(parent);
        break;
      default:
        widget = new QPushButton(caption, parent);
        break;
    }
    widget->setObjectName(QString::fromLatin1(c.name));
    widget->setGeometry(static_cast<int>(std::lround(c.left / tppx_)),
                        static_cast<int>(std::lround(c.top / tppy_)),
                        static_cast<int>(std::lround(c.width / tppx_)),
                        static_cast<int>(std::lround(c.height / tppy_)));
    made[row] = widget;
    // A name box is named by the label before it, for a screen reader too.
    if (c.control == C::Name && row > 0 && DialogControls[row - 1].control == C::Label) {
      static_cast<QLabel*>(made[row - 1])->setBuddy(widget);
    }
    Bind(c, widget);
  }
}

void SettingsWindow::Bind(const DialogControl& c, QWidget* widget) {
  const int v = c.value;
  // A choice counts when its button becomes selected, however that happens: a click, a key,
  // or a screen reader's action, which selects a button without clicking it.
  auto onSelect = [this](QAbstractButton* button, auto act) {
    connect(button, &QAbstractButton::toggled, this, [this, act](bool on) {
      if (!on) return;
      act();
      Refresh();
    });
  };
  auto onClick = [this](QAbstractButton* button, auto act) {
    connect(button, &QAbstractButton::clicked, this, [this, act] {
      act();
      Refresh();
    });
  };
  switch (c.control) {
    case C::Player: {
      players_[v] = static_cast<QRadioButton*>(widget);
      const PlayerKind kind = v % 2 == 0 ? PlayerKind::Human : PlayerKind::Computer;
      onSelect(players_[v], [this, v, kind] { logic_.ChoosePlayer(v / 2, kind); });
      break;
    }
    case C::Series:
      series_[v] = static_cast<QRadioButton*>(widget);
      onSelect(series_[v], [this, v] { logic_.ChooseSeries(*SeriesFormat::FromNumber(v)); });
      break;
    case C::Level:
      levels_[v] = static_cast<QRadioButton*>(widget);
      onSelect(levels_[v],
               [this, v] { logic_.ChooseLevel(v == 0 ? Level::Automatic : Level::Strongest); });
      break;
    case C::Switch:
      switches_[v] = static_cast<QCheckBox*>(widget);
      connect(switches_[v], &QCheckBox::toggled, this,
              [this, v](bool on) { logic_.SetSwitch(Switches[v], on); });
      break;
    case C::Name: {
      auto* combo = static_cast<QComboBox*>(widget);
      names_[v] = combo;
      combo->setEditable(true);
      // A typed name is a name, not a new list entry, and nothing completes it on its own.
      combo->setInsertPolicy(QComboBox::NoInsert);
      combo->setCompleter(nullptr);
      connect(combo, &QComboBox::editTextChanged, this, [this, v](const QString& text) {
        logic_.EditName(v, text.toStdString());
        // The box shows what the name keeps: a pasted control character is gone at once.
        if (v == ChosenPlayer || QString::fromStdString(logic_.Settings().names[v].text) != text) {
          Refresh();
        }
      });
      break;
    }
    case C::Delete:
    case C::Clear:
      removal_[v] = static_cast<QPushButton*>(widget);
      onClick(removal_[v], [this, v] { v == 0 ? logic_.DeletePlayer() : logic_.ClearRecord(); });
      break;
    case C::Background:
      connect(static_cast<QPushButton*>(widget), &QPushButton::clicked, this,
              [this] { logic_.ChooseBackground(); });
      break;
    case C::Pieces:
      connect(static_cast<QPushButton*>(widget), &QPushButton::clicked, this,
              [this] { logic_.ChoosePieces(); });
      break;
    case C::Ok: {
      auto* ok = static_cast<QPushButton*>(widget);
      ok->setDefault(true);
      connect(ok, &QPushButton::clicked, this, &QDialog::accept);
      break;
    }
    case C::Group:
    case C::Label:
      break;
  }
}

void SettingsWindow::Refresh() {
  const GameSettings& s = logic_.Settings();
  auto show = [](auto& buttons, auto selected) {
    // Exclusive buttons refuse to be all cleared; a group may start with none selected.
    for (size_t k = 0; k < buttons.size(); ++k) {
      const QSignalBlocker quiet(buttons[k]);
      buttons[k]->setAutoExclusive(false);
      buttons[k]->setChecked(selected(static_cast<int>(k)));
    }
    for (auto* button : buttons) button->setAutoExclusive(true);
  };
  show(players_, [&](int k) {
    return s.players[k / 2] == (k % 2 == 0 ? PlayerKind::Human : PlayerKind::Computer);
  });
  show(series_, [&](int k) { return s.series == SeriesFormat::FromNumber(k); });
  show(levels_, [&](int k) { return s.level == (k == 0 ? Level::Automatic : Level::Strongest); });
  for (size_t k = 0; k < switches_.size(); ++k) {
    const QSignalBlocker quiet(switches_[k]);
    switches_[k]->setChecked(s.switches[k]);
  }
  for (size_t k = 0; k < names_.size(); ++k) {
    QComboBox* combo = names_[k];
    const NameBox& box = s.names[k];
    const QSignalBlocker quiet(combo);
    QStringList names;
    for (const std::string& n : box.list) names << QString::fromStdString(n);
    QStringList shown;
    for (int j = 0; j < combo->count(); ++j) shown << combo->itemText(j);
    if (shown != names) {
      combo->clear();
      combo->addItems(names);
    }
    if (combo->currentText() != QString::fromStdString(box.text))
      combo->setEditText(QString::fromStdString(box.text));
    combo->setEnabled(box.enabled);
  }
  for (QPushButton* button : removal_) button->setEnabled(logic_.RemovalEnabled());
}

void SettingsWindow::Run() {
  logic_.Opened();
  Refresh();
  exec();
  logic_.Confirm();
}

int SettingsWindow::CaptionWidth(const std::string& text) {
  // The window manager draws the score boxes' captions; the title-bar font the application
  // knows (the plain application font unless the desktop names one) stands in for its font.
  return QFontMetrics(QApplication::font("QMdiSubWindowTitleBar"))
      .horizontalAdvance(QString::fromStdString(text));
}

int SettingsWindow::ScoreBoxWidth(int side) { return companions_.Score(side).width(); }

void SettingsWindow::ShowChooser(bool backgroundMode) {
  const bool builtIn =
      backgroundMode ? pictures_.BackgroundIsBuiltIn() : pictures_.SheetIsBuiltIn();
  PictureChooserWindow chooser(this, chooser_, backgroundMode, builtIn, DefaultPlaces());
  chooser.exec();
}

}  // namespace pyra
