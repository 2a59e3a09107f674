#include "options/game_option_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <cmath>

#include "app/qt_settings_windows.h"
#include "match/messages.h"
#include "view/companion_windows.h"
#include "view/image_chooser.h"
#include "view/picture_holder.h"

namespace pyra {

namespace {

using K = ControlKind;
constexpr const char* SideACaption = "プレーヤーＡ";
constexpr const char* SideBCaption = "プレーヤーＢ";
constexpr const char* Human = "人間";
// The series formats: best-of in the left column, first-to and unlimited in the right.
constexpr OptionControl FormatOption(int i) {
  const int row = i < 5 ? i : i - 5;
  return {ControlKind::Option,
          "Option2",
          i,
          i == 10 ? text::UnlimitedName : text::SeriesFormatNames[i],
          6,
          i < 5 ? 120 : 1680,
          240 + 360 * row,
          1575,
          375};
}

}  // namespace

const std::array<OptionControl, OptionControlCount> OptionControls = {{
    {K::Group, "Frame1", 0, SideACaption, -1, 240, 1440, 2055, 1215},
    {K::Option, "Option1", 0, Human, 0, 120, 240, 1815, 375},
    {K::Option, "Option1", 1, ComputerName, 0, 120, 720, 1815, 375},
    {K::Group, "Frame1", 1, SideBCaption, -1, 240, 2760, 2055, 1215},
    {K::Option, "Option1", 2, Human, 3, 120, 240, 1815, 375},
    {K::Option, "Option1", 3, ComputerName, 3, 120, 720, 1815, 375},
    {K::Group, "Frame1", 2, "ゲーム方式", -1, 2400, 1440, 3495, 2535},
    FormatOption(0),
    FormatOption(1),
    FormatOption(2),
    FormatOption(3),
    FormatOption(4),
    FormatOption(5),
    FormatOption(6),
    FormatOption(7),
    FormatOption(8),
    FormatOption(9),
    FormatOption(10),
    {K::Group, "Frame1", 3, "思考ルーチン", -1, 3840, 0, 2055, 1335},
    {K::Option, "Option3", 0, "自動", 18, 120, 360, 1815, 375},
    {K::Option, "Option3", 1, "最強", 18, 120, 720, 1815, 375},
    {K::Group, "Frame1", 4, "プレーヤー名の設定", -1, 120, 0, 3615, 1335},
    {K::Label, "Label1", -1, SideACaption, 21, 120, 240, 1575, 375},
    {K::Combo, "Combo1", 0, "", 21, 1680, 240, 1695, 390},
    {K::Label, "Label2", -1, SideBCaption, 21, 120, 720, 1575, 375},
    {K::Combo, "Combo1", 1, "", 21, 1680, 720, 1695, 390},
    {K::Group, "Frame1", 5, "プレーヤーの削除・成績のクリア", -1, 240, 4080, 5655, 735},
    {K::Combo, "Combo1", 2, "", 26, 240, 240, 1935, 390},
    {K::Button, "Command2", 0, "削除", 26, 2400, 240, 1335, 375},
    {K::Button, "Command2", 1, "成績クリア", 26, 4080, 240, 1335, 375},
    {K::Check, "Check1", 0, "背景の拡大縮小", -1, 6000, 1080, 1935, 495},
    {K::Check, "Check1", 1, "効果音", -1, 6000, 1680, 1935, 495},
    {K::Check, "Check1", 2, "音楽", -1, 6000, 2280, 1935, 495},
    {K::Check, "Check1", 3, "起動時デモ", -1, 6000, 2880, 1935, 495},
    {K::Button, "Command3", 0, "背景の変更...", -1, 6000, 3480, 1815, 495},
    {K::Button, "Command3", 1, "駒の変更...", -1, 6000, 4200, 1815, 495},
    {K::Button, "Command1", -1, "OK", -1, 6360, 480, 1215, 495},
}};

QString ControlObjectName(const OptionControl& control) {
  QString name = QString::fromLatin1(control.name);
  if (control.index >= 0) name += QStringLiteral("_%1").arg(control.index);
  return name;
}

GameOptionDialog::GameOptionDialog(QWidget* mainWindow, Game& game, GameOptions& options,
                                   PlayerRecords& records, SettingsStore& store,
                                   ChoicesKeeper& keeper, SettingsWindows& settingsWindows,
                                   CompanionWindows& companions, PictureHolder& pictures)
    : QDialog(mainWindow, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                              Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      logic_(game, options, records, keeper, *this),
      chooser_(game, store, settingsWindows),
      companions_(companions),
      pictures_(pictures),
      tppx_(settingsWindows.TwipsPerPixelX()),
      tppy_(settingsWindows.TwipsPerPixelY()) {
  setWindowTitle(QStringLiteral("ゲームの設定"));
  setObjectName(QStringLiteral("GameOption"));
  setModal(true);
  setFixedSize(static_cast<int>(std::lround(OptionClientWidth / tppx_)),
               static_cast<int>(std::lround(OptionClientHeight / tppy_)));
  Build();
  // Start: the middle of the screen.
  const QRect area = QtSettingsWindows::WorkArea();
  move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
}

void GameOptionDialog::Build() {
  std::array<QWidget*, OptionControlCount> made{};
  for (int row = 0; row < OptionControlCount; ++row) {
    const OptionControl& c = OptionControls[row];
    QWidget* parent = c.group < 0 ? static_cast<QWidget*>(this) : made[c.group];
    const QString caption = QString::fromUtf8(c.caption);
    QWidget* widget = nullptr;
    switch (c.kind) {
      case K::Group:
        widget = new QGroupBox(caption, parent);
        break;
      case K::Option:
        widget = new QRadioButton(caption, parent);
        break;
      case K::Label:
        widget = new QLabel(caption, parent);
        break;
      case K::Combo:
        widget = new QComboBox(parent);
        break;
      case K::Button:
        widget = new QPushButton(caption, parent);
        break;
      case K::Check:
        widget = new QCheckBox(caption, parent);
        break;
    }
    widget->setObjectName(ControlObjectName(c));
    widget->setGeometry(static_cast<int>(std::lround(c.left / tppx_)),
                        static_cast<int>(std::lround(c.top / tppy_)),
                        static_cast<int>(std::lround(c.width / tppx_)),
                        static_cast<int>(std::lround(c.height / tppy_)));
    made[row] = widget;
    Bind(c, widget);
  }
}

void GameOptionDialog::Bind(const OptionControl& c, QWidget* widget) {
  const std::string name = c.name;
  const int i = c.index;
  if (name == "Option1" || name == "Option2" || name == "Option3") {
    auto* button = static_cast<QRadioButton*>(widget);
    if (name == "Option1") option1_[i] = button;
    if (name == "Option2") option2_[i] = button;
    if (name == "Option3") option3_[i] = button;
    connect(button, &QRadioButton::clicked, this, [this, name, i] {
      if (name == "Option1") logic_.Option1_Click(i);
      if (name == "Option2") logic_.Option2_Click(i);
      if (name == "Option3") logic_.Option3_Click(i);
      Refresh();
    });
  } else if (name == "Check1") {
    check1_[i] = static_cast<QCheckBox*>(widget);
    connect(check1_[i], &QCheckBox::clicked, this,
            [this, i](bool on) { logic_.Check1_Click(i, on ? Checked : Unchecked); });
  } else if (name == "Combo1") {
    auto* combo = static_cast<QComboBox*>(widget);
    combo1_[i] = combo;
    combo->setEditable(true);
    // A typed name is a name, not a new list entry, and nothing completes it on its own.
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setCompleter(nullptr);
    connect(combo, &QComboBox::editTextChanged, this, [this, i](const QString& text) {
      logic_.Combo1_Change(i, text.toStdString());
      // The box shows what the name keeps: a pasted control character is gone at once.
      if (i == 2 || QString::fromStdString(logic_.Options().Combo1[i].text) != text) Refresh();
    });
  } else if (name == "Command1") {
    auto* ok = static_cast<QPushButton*>(widget);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  } else if (name == "Command2") {
    command2_[i] = static_cast<QPushButton*>(widget);
    connect(command2_[i], &QPushButton::clicked, this, [this, i] {
      logic_.Command2_Click(i);
      Refresh();
    });
  } else if (name == "Command3") {
    connect(static_cast<QPushButton*>(widget), &QPushButton::clicked, this,
            [this, i] { logic_.Command3_Click(i); });
  }
}

void GameOptionDialog::Refresh() {
  const GameOptions& o = logic_.Options();
  auto show = [](auto& buttons, const auto& states) {
    // Exclusive buttons refuse to be all cleared; a group may start with none selected.
    for (size_t k = 0; k < buttons.size(); ++k) {
      buttons[k]->setAutoExclusive(false);
      buttons[k]->setChecked(states[k]);
    }
    for (auto* button : buttons) button->setAutoExclusive(true);
  };
  show(option1_, o.Option1);
  show(option2_, o.Option2);
  show(option3_, o.Option3);
  for (size_t k = 0; k < check1_.size(); ++k) {
    check1_[k]->setCheckState(o.Check1[k] == Checked  ? Qt::Checked
                              : o.Check1[k] == Greyed ? Qt::PartiallyChecked
                                                      : Qt::Unchecked);
  }
  for (size_t k = 0; k < combo1_.size(); ++k) {
    QComboBox* combo = combo1_[k];
    const NameBox& box = o.Combo1[k];
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
  for (QPushButton* button : command2_) button->setEnabled(logic_.Command2Enabled());
}

void GameOptionDialog::Run() {
  logic_.Form_Activate();
  Refresh();
  exec();
  logic_.Command1_Click();
}

int GameOptionDialog::CaptionWidth(const std::string& text) {
  // The window manager draws the score boxes' captions; the title-bar font the application
  // knows (the plain application font unless the desktop names one) stands in for its font.
  return QFontMetrics(QApplication::font("QMdiSubWindowTitleBar"))
      .horizontalAdvance(QString::fromStdString(text));
}

int GameOptionDialog::ScoreBoxWidth(int side) { return companions_.Score(side).width(); }

void GameOptionDialog::ShowChooser(bool backgroundMode) {
  const bool builtIn =
      backgroundMode ? pictures_.BackgroundIsBuiltIn() : pictures_.SheetIsBuiltIn();
  ImageChooser chooser(this, chooser_, backgroundMode, builtIn, DefaultPlaces());
  chooser.exec();
}

}  // namespace pyra
