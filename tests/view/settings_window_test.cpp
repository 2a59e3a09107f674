// The real settings dialog and chooser: each control in place, whole captions, round trips clicked.
#include "view/settings_window.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include "app/program.h"
#include "app/qt_session_ports.h"
#include "qt_helpers.h"
#include "store/store_values.h"
#include "view/picture_chooser_window.h"
#include "view/screen_area.h"

namespace pyra {
namespace {

// Clicks once the event loop runs again: a modal window it opens must not block the step.
void Click(QWidget* window, const char* name) {
  auto* button = window->findChild<QAbstractButton*>(name);
  ASSERT_NE(button, nullptr) << name;
  QMetaObject::invokeMethod(button, &QAbstractButton::click, Qt::QueuedConnection);
}

class SettingsWindowTest : public ::testing::Test {
 protected:
  ~SettingsWindowTest() override { QDir::setCurrent(cwd_); }

  // A program on this test's store holding `stored`, no opening demo; a new store when `fresh`.
  std::unique_ptr<Program> Started(std::map<std::string, std::string> stored = {},
                                   bool fresh = false) {
    if (fresh) QFile::remove(QString::fromStdString(StorePath()));
    stored.emplace("OpeningDemo", "0");
    SqliteSettingsStore store(StorePath());
    for (const auto& [key, value] : stored) WriteSetting(store, key, value);
    auto program = std::make_unique<Program>(StorePath());
    program->TheGame().SeedOnStart(false), program->Screen().SetPacing(false);
    program->Start(false);
    return program;
  }
  // Opens the settings window, lets `step` work in it, and closes it with OK.
  static void InSettings(Program& program, const std::function<void(QWidget*)>& step) {
    testing::ModalAnswerer script(
        {{"settings", [&](QWidget* top) { step(top), Click(top, "ok"); }}});
    program.TheGame().OnSettings();
    EXPECT_TRUE(script.steps.empty()) << "the settings window did not open";
  }
  std::string StorePath() const { return folder_.filePath("store.sqlite3").toStdString(); }

  QTemporaryDir folder_;
  const QString cwd_ = QDir::currentPath();
};

TEST_F(SettingsWindowTest, EveryControlSitsWhereTheTableSaysWithItsWholeCaption) {
  auto program = Started();
  SettingsWindow& dialog = program->Dialog();
  const double tpp = 1440.0 / QGuiApplication::primaryScreen()->logicalDotsPerInchX();
  auto px = [tpp](int twips) { return static_cast<int>(std::lround(twips / tpp)); };
  EXPECT_EQ(std::tuple(dialog.windowTitle(), dialog.size()),
            std::tuple(QString::fromUtf8("ゲームの設定"), QSize(px(7920), px(5010))));
  const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
  EXPECT_EQ(
      dialog.pos(),
      area.topLeft() + QPoint(area.width() - dialog.width(), area.height() - dialog.height()) / 2)
      << "centred";
  for (const DialogControl& c : DialogControls) {
    SCOPED_TRACE(c.name);
    // The form's grid: places on 120 twips (8 pixels), sizes in whole pixels (15 twips).
    EXPECT_EQ(std::tuple(c.left % 120, c.top % 120, c.width % 15, c.height % 15),
              std::tuple(0, 0, 0, 0));
    auto* w = dialog.findChild<QWidget*>(c.name);
    ASSERT_NE(w, nullptr);
    const QString holder = c.group < 0 ? "settings" : DialogControls[c.group].name;
    EXPECT_EQ(w->parentWidget()->objectName(), holder);
    EXPECT_TRUE(c.group < 0 || w->parentWidget()->rect().contains(w->geometry())) << "in its frame";
    EXPECT_EQ(w->geometry(), QRect(px(c.left), px(c.top), px(c.width), px(c.height)));
    if (c.control == Control::Name) continue;
    const bool group = c.control == Control::Group;
    EXPECT_EQ(w->property(group ? "title" : "text").toString(), QString::fromUtf8(c.caption));
    const int needed =
        group ? w->fontMetrics().horizontalAdvance(c.caption) + 16 : w->sizeHint().width();
    EXPECT_LE(needed, w->width()) << "clipped";
  }
}

// The checked buttons of a window, by name, and each name box as "name=text" ("*" when
// disabled); the sound switches, which follow the machine, left out.
std::string Shown(QWidget* window) {
  QStringList shown;
  for (auto* button : window->findChildren<QAbstractButton*>()) {
    const QString name = button->objectName();
    if (button->isChecked() && name != "soundEffects" && name != "music") shown << name;
  }
  for (auto* box : window->findChildren<QComboBox*>())
    shown << box->objectName() + "=" + box->currentText() + (box->isEnabled() ? "" : "*");
  shown.sort();
  return shown.join(" ").toStdString();
}

TEST_F(SettingsWindowTest, OpensShowingTheLiveSettings) {
  const std::pair<std::map<std::string, std::string>, const char*> cases[] = {
      {{},
       "bestOf1 chosenPlayer= levelAutomatic nameA=Player A nameB=コンピュータ* sideAHuman "
       "sideBComputer stretchBackground"},
      {{{"PlayerA", "1"},
        {"PlayerB", "0"},
        {"PlayerNameB", "Bob"},
        {"FormOfGame", "10"},
        {"Level", "1"},
        {"BitmapStretch", "0"},
        {"OpeningDemo", "1"}},
       "chosenPlayer= levelStrongest nameA=コンピュータ* nameB=Bob openingDemo sideAComputer "
       "sideBHuman unlimited"},
      // Values out of range leave their buttons unselected.
      {{{"FormOfGame", "11"}, {"PlayerA", "2"}, {"Level", "7"}},
       "chosenPlayer= levelStrongest nameA=コンピュータ* nameB=コンピュータ* sideBComputer "
       "stretchBackground"},
  };
  for (const auto& [stored, shown] : cases)
    InSettings(*Started(stored, true), [&](QWidget* top) { EXPECT_EQ(Shown(top), shown); });
}

TEST_F(SettingsWindowTest, EachChoiceReachesTheSettingsAndOkKeepsItInTheStore) {
  // The control clicked; a stored key and its value afterwards.
  const std::tuple<const char*, const char*, const char*> cases[] = {
      {"sideAComputer", "PlayerA", "1"},   {"sideAComputer", "PlayerNameA", "コンピュータ"},
      {"sideBHuman", "PlayerB", "0"},      {"sideBHuman", "PlayerNameB", "Player B"},
      {"bestOf9", "FormOfGame", "4"},      {"firstTo2", "FormOfGame", "5"},
      {"firstTo10", "FormOfGame", "9"},    {"unlimited", "FormOfGame", "10"},
      {"levelStrongest", "Level", "1"},    {"stretchBackground", "BitmapStretch", "0"},
      {"openingDemo", "OpeningDemo", "1"},
  };
  {
    // A name typed or pasted with control characters keeps none of them, shown and stored.
    auto program = Started({}, true);
    InSettings(*program, [](QWidget* top) {
      auto* name = top->findChild<QComboBox*>("nameA");
      name->setEditText("A\tn\nn\x01");
      EXPECT_EQ(name->currentText(), "Ann");
    });
    EXPECT_EQ(ReadSetting(program->Store(), "PlayerNameA", ""), "Ann");
  }
  // A click, and a screen reader's first action (a toggle, which does not click).
  for (const bool reader : {false, true}) {
    for (const auto& [control, key, value] : cases) {
      SCOPED_TRACE(std::string(control) + (reader ? " by a screen reader" : " clicked"));
      auto program = Started({}, true);
      InSettings(*program, [&, control = control](QWidget* top) {
        auto* button = top->findChild<QAbstractButton*>(control);
        QAccessibleActionInterface* actions =
            QAccessible::queryAccessibleInterface(button)->actionInterface();
        reader ? actions->doAction(actions->actionNames().first()) : button->click();
      });
      EXPECT_EQ(ReadSetting(program->Store(), key, "(none)"), value) << key;
    }
  }
}

TEST_F(SettingsWindowTest, OkAndEscapeApplyTheChanges) {
  {
    SqliteSettingsStore store(StorePath());
    WriteStoreValue(store, "Ann", "Games", "1");  // a known player
  }
  auto program = Started({{"PlayerB", "0"}, {"PlayerNameB", "Bob"}, {"Player00", "Ann"}});
  testing::ModalAnswerer script(
      {{"settings",
        [](QWidget* top) {
          // Centred, showing the settings and the players known.
          const QPoint off = top->frameGeometry().center() - WorkArea().center();
          auto* names = top->findChild<QComboBox*>("nameA");
          EXPECT_LT(off.manhattanLength(), 40) << "centred";
          EXPECT_EQ(std::tuple(names->count(), names->itemText(0)), std::tuple(1, QString("Ann")));
          Click(top, "choosePieces");
        }},
       {"pictureChooser",
        [](QWidget* top) {
          EXPECT_EQ(top->windowTitle(), QString("駒の変更"));
          Click(top, "cancel");
        }},
       {"settings",
        [](QWidget* top) {
          for (const char* choice : {"bestOf3", "sideBComputer"})
            top->findChild<QAbstractButton*>(choice)->click();
          top->findChild<QComboBox*>("chosenPlayer")->setEditText("Ann");
          top->findChild<QAbstractButton*>("deletePlayer")->click();
          EXPECT_EQ(top->findChild<QComboBox*>("nameA")->count(), 0) << "Ann deleted";
          Click(top, "ok");
        }},
       {"settings",
        [](QWidget* top) {
          top->findChild<QAbstractButton*>("bestOf5")->click();
          QTest::keyClick(top, Qt::Key_Escape);
        }}},
      true);
  program->TheGame().OnSettings();
  EXPECT_EQ(script.Texts(),
            (QStringList{"ゲーム方式が三番勝負に変更されました。", "プレーヤー名が変更されました。",
                         "三番勝負です。頑張りましょう。"}));
  auto* nameB = program->Dialog().findChild<QComboBox*>("nameB");
  EXPECT_EQ(std::tuple(nameB->currentText(), nameB->isEnabled(),
                       ReadSetting(program->Store(), "PlayerNameB", "")),
            std::tuple(QString::fromUtf8("コンピュータ"), false, "コンピュータ"));
  script.seen.clear();
  // First a click on the board, as a person makes: a game just started would not yield to another.
  program->TheGame().OnMouseRelease(MouseButton::Right, 0, 0);
  program->TheGame().OnSettings();  // closed with Esc: the same as OK
  EXPECT_EQ(script.Texts(), (QStringList{"ゲーム方式が五番勝負に変更されました。",
                                         "五番勝負です。頑張りましょう。"}));
  EXPECT_TRUE(script.steps.empty());
}

// A pictures folder made current (a background, a sheet, one a column too wide, a text file and a
// subfolder), a game with pieces in NEXT, and the chooser's logic.
class ChooserTest : public SettingsWindowTest {
 protected:
  void SetUp() override {
    sheet.fill(Qt::white);  // white masks: every piece opaque
    QPainter(&sheet).fillRect(0, 0, 192, 32, QColor(colour));
    ASSERT_TRUE(sheet.scaled(400, 300).save(folder + "/BG.BMP", "BMP"));
    ASSERT_TRUE(sheet.save(folder + "/s192.bmp"));
    ASSERT_TRUE(sheet.copy(0, 0, 193, 64).save(folder + "/s193.bmp"));
    QFile(folder + "/notes.txt").open(QIODevice::WriteOnly), QDir(folder).mkdir("sub");
    QDir::setCurrent(folder);
    program = Started(), program->TheGame().OnNewGame();
    logic = std::make_unique<PictureChooser>(program->TheGame(), program->Session(),
                                             program->SessionWindows());
  }
  std::unique_ptr<PictureChooserWindow> Open() {  // the piece-sheet chooser
    auto chooser = std::make_unique<PictureChooserWindow>(
        &program->Window(), *logic, false, program->Pictures().SheetIsBuiltIn(), DefaultPlaces());
    chooser->show();
    return chooser;
  }
  std::string Stored(const char* key) {
    return program->Store().Read(MainSection, key).value_or("(none)");
  }
  QTemporaryDir pictures;
  const QString folder = pictures.path();
  const QRgb colour = qRgb(1, 200, 3);
  QImage sheet{192, 64, QImage::Format_RGB32};
  testing::ModalAnswerer script{{}, true};
  std::unique_ptr<Program> program;
  std::unique_ptr<PictureChooser> logic;
};

TEST_F(ChooserTest, ShowsItsListsInPlaceAndAPlaceThatCannotBeReadLeavesThemAsTheyWere) {
  auto dlg = Open();
  // Nothing chosen, and the built-in sheet in use: neither OK nor Default.
  EXPECT_EQ(std::tuple(dlg->PathLabel()->text(), dlg->OkButton()->isEnabled(),
                       dlg->DefaultButton()->isEnabled()),
            std::tuple(folder, false, false));
  // The path on top; below it the files, then the folders from the root down; all at a fixed size.
  const QRect path = dlg->PathLabel()->geometry(), list = dlg->FileList()->geometry(),
              tree = dlg->FolderList()->geometry();
  EXPECT_EQ(path.left(), list.left());
  EXPECT_GT(tree.top(), path.bottom());
  EXPECT_GT(tree.left(), list.right());
  EXPECT_LT(tree.bottom(), dlg->PlaceList()->geometry().top()) << "the places below the folders";
  EXPECT_EQ(static_cast<QGridLayout*>(dlg->layout())->cellRect(2, 0).height(), 180);
  EXPECT_EQ(dlg->minimumSize(), dlg->maximumSize());
  EXPECT_EQ(dlg->FolderList()->topLevelItem(0)->text(0), "/");
  QStringList files;
  for (int i = 0; i < dlg->FileList()->count(); ++i) files << dlg->FileList()->item(i)->text();
  EXPECT_EQ(files, (QStringList{"BG.BMP", "s192.bmp", "s193.bmp"}));
  dlg->FileList()->setCurrentRow(0);  // a picture larger than the preview is shown whole
  EXPECT_EQ(dlg->Preview()->pixmap().size(), QSize(200, 150));
  // A place that cannot be read: Cancel takes the lists back to where they were.
  PictureChooserWindow places(&program->Window(), *logic, true, true,
                              {{"/", "/"}, {"USB", "/media/gone-for-this-test"}, {"Mine", folder}});
  script.seen.clear();
  places.PlaceList()->setCurrentIndex(1);  // as a click, a key or a screen reader picks it
  EXPECT_EQ(std::tuple(script.seen.size(), places.PlaceList()->currentIndex(), QDir::currentPath()),
            std::tuple(1u, 2, folder));
  places.OpenFolder("/");  // a folder outside the place shown: its own place is shown
  EXPECT_EQ(places.PlaceList()->currentIndex(), 0);
}

TEST_F(ChooserTest, InstallsASheetRefusesAWrongOneAndDefaultUndoes) {
  const auto choose = [](PictureChooserWindow& chooser, const char* file) {
    chooser.FileList()->setCurrentItem(chooser.FileList()->findItems(file, Qt::MatchExactly)[0]);
    QTest::mouseClick(chooser.OkButton(), Qt::LeftButton);
  };
  // The five pieces and their masks, without the scratch square.
  const auto pieces = [](const QImage& of) { return of.copy(0, 0, 160, 64); };
  auto dlg = Open();
  script.seen.clear();
  choose(*dlg, "s193.bmp");
  EXPECT_EQ(dlg->PathLabel()->text(), folder + "/s193.bmp");
  EXPECT_FALSE(dlg->Preview()->pixmap().isNull()) << "a preview";
  EXPECT_EQ(script.Texts(), QStringList{"駒ファイルのサイズが違います。"});
  EXPECT_NE(dlg->result(), QDialog::Accepted) << "stays open";
  choose(*dlg, "s192.bmp");
  EXPECT_EQ(dlg->result(), QDialog::Accepted);
  EXPECT_EQ(testing::Difference(pieces(program->Pictures().activeSheet), pieces(sheet)), "");
  EXPECT_EQ(program->Companions().NextBox().Image().pixel(5, 5), colour);
  EXPECT_EQ(std::tuple(Stored("KomaPath"), Stored("KomaName")),
            std::tuple(folder.toStdString(), "s192.bmp"));
  dlg = Open();  // opened again: Default brings back the built-in sheet
  dlg->FileList()->setCurrentRow(0);
  ASSERT_TRUE(dlg->OpenFolder(folder + "/sub"));
  EXPECT_EQ(std::tuple(dlg->PathLabel()->text(), dlg->OkButton()->isEnabled()),
            std::tuple(folder + "/sub", false))
      << "no file selected any more";
  QTest::mouseClick(dlg->DefaultButton(), Qt::LeftButton);
  const PictureHolder& p = program->Pictures();
  EXPECT_EQ(std::tuple(p.SheetIsBuiltIn(), Stored("KomaPath"), Stored("KomaName")),
            std::tuple(true, (folder + "/sub").toStdString(), ""));
  EXPECT_EQ(testing::Difference(pieces(p.activeSheet), pieces(p.builtInSheet)), "");
}

}  // namespace
}  // namespace pyra
