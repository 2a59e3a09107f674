// The settings dialog and the picture chooser in the real program: every control in place
// with its whole caption, and a round trip through each, clicked as a person would.
#include "view/settings_window.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
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

  // A program on this test's store, started with `stored` in it and no opening demo.
  std::unique_ptr<Program> Started(std::map<std::string, std::string> stored = {}) {
    stored.emplace("OpeningDemo", "0");
    SqliteSettingsStore store(StorePath());
    for (const auto& [key, value] : stored) WriteSetting(store, key, value);
    auto program = std::make_unique<Program>(StorePath());
    program->TheGame().SeedOnStart(false), program->Screen().SetPacing(false);
    program->Start(false);
    return program;
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
  EXPECT_TRUE(dialog.windowTitle() == "ゲームの設定" && dialog.size() == QSize(px(7920), px(5010)));
  for (const DialogControl& c : DialogControls) {
    SCOPED_TRACE(c.name);
    auto* w = dialog.findChild<QWidget*>(c.name);
    ASSERT_NE(w, nullptr);
    const QString holder = c.group < 0 ? "settings" : DialogControls[c.group].name;
    EXPECT_TRUE(w->parentWidget()->objectName() == holder &&
                (c.group < 0 || w->parentWidget()->rect().contains(w->geometry())));
    EXPECT_EQ(w->geometry(), QRect(px(c.left), px(c.top), px(c.width), px(c.height)));
    if (c.control == Control::Name) continue;
    const bool group = c.control == Control::Group;
    EXPECT_EQ(w->property(group ? "title" : "text").toString(), QString::fromUtf8(c.caption));
    const int needed =
        group ? w->fontMetrics().horizontalAdvance(c.caption) + 16 : w->sizeHint().width();
    EXPECT_LE(needed, w->width()) << "clipped";
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
          EXPECT_TRUE(off.manhattanLength() < 40 && names->count() == 1 &&
                      names->itemText(0) == "Ann" &&
                      top->findChild<QAbstractButton*>("sideAHuman")->isChecked() &&
                      top->findChild<QCheckBox*>("stretchBackground")->isChecked() &&
                      !top->findChild<QCheckBox*>("openingDemo")->isChecked());
          Click(top, "choosePieces");
        }},
       {"pictureChooser",
        [](QWidget* top) {
          EXPECT_EQ(top->windowTitle(), QString("駒の変更"));
          Click(top, "cancel");
        }},
       {"settings",
        [](QWidget* top) {
          top->findChild<QAbstractButton*>("bestOf3")->click();
          top->findChild<QAbstractButton*>("sideBComputer")->click();
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
  EXPECT_TRUE(nameB->currentText() == "コンピュータ" && !nameB->isEnabled() &&
              ReadSetting(program->Store(), "PlayerNameB", "") == "コンピュータ");
  script.seen.clear();
  // A click on the board first, as a person makes one: a game that has only just started
  // would not give way to another.
  program->TheGame().OnMouseRelease(MouseButton::Right, 0, 0);
  program->TheGame().OnSettings();  // closed with Esc: the same as OK
  EXPECT_EQ(script.Texts(), (QStringList{"ゲーム方式が五番勝負に変更されました。",
                                         "五番勝負です。頑張りましょう。"}));
  EXPECT_TRUE(script.steps.empty());
}

TEST_F(SettingsWindowTest, TheChooserInstallsASheetRefusesAWrongOneAndGoesBack) {
  QTemporaryDir pictures;
  const QString folder = pictures.path();
  const QRgb colour = qRgb(1, 200, 3);
  QImage sheet(192, 64, QImage::Format_RGB32);
  sheet.fill(Qt::white);  // white masks: every piece opaque
  QPainter(&sheet).fillRect(0, 0, 192, 32, QColor(colour));
  sheet.copy(0, 0, 40, 30).save(folder + "/BG.BMP", "BMP");
  ASSERT_TRUE(sheet.save(folder + "/s192.bmp") &&
              sheet.copy(0, 0, 193, 64).save(folder + "/s193.bmp"));
  QFile(folder + "/notes.txt").open(QIODevice::WriteOnly), QDir(folder).mkdir("sub");
  QDir::setCurrent(folder);

  auto program = Started();
  testing::ModalAnswerer script({}, true);
  program->TheGame().OnNewGame();  // pieces in the NEXT window
  PictureChooser logic(program->TheGame(), program->Session(), program->SessionWindows());
  auto open = [&] {
    auto chooser = std::make_unique<PictureChooserWindow>(
        &program->Window(), logic, false, program->Pictures().SheetIsBuiltIn(), DefaultPlaces());
    chooser->show();
    return chooser;
  };
  auto dlg = open();
  auto choose = [&](const char* file) {
    dlg->FileList()->setCurrentItem(dlg->FileList()->findItems(file, Qt::MatchExactly).value(0));
    QTest::mouseClick(dlg->OkButton(), Qt::LeftButton);
  };
  // Nothing chosen, and the built-in sheet in use: neither OK nor Default.
  EXPECT_TRUE(dlg->PathLabel()->text() == folder && !dlg->OkButton()->isEnabled() &&
              !dlg->DefaultButton()->isEnabled());
  // The path across the top; below it the files, then the folders from the root down, all at
  // a fixed size.
  const QRect path = dlg->PathLabel()->geometry(), list = dlg->FileList()->geometry(),
              tree = dlg->FolderList()->geometry();
  EXPECT_TRUE(path.left() == list.left() && tree.top() > path.bottom() &&
              tree.left() > list.right() && dlg->minimumSize() == dlg->maximumSize() &&
              dlg->FolderList()->topLevelItem(0)->text(0) == "/");
  QStringList files;
  for (int i = 0; i < dlg->FileList()->count(); ++i) files << dlg->FileList()->item(i)->text();
  EXPECT_EQ(files, (QStringList{"BG.BMP", "s192.bmp", "s193.bmp"}));
  script.seen.clear();
  choose("s193.bmp");
  EXPECT_TRUE(dlg->PathLabel()->text() == folder + "/s193.bmp" &&
              !dlg->Preview()->pixmap().isNull());
  EXPECT_EQ(script.Texts(), QStringList{"駒ファイルのサイズが違います。"});
  EXPECT_NE(dlg->result(), QDialog::Accepted) << "stays open";
  choose("s192.bmp");
  EXPECT_EQ(dlg->result(), QDialog::Accepted);
  const PictureHolder& p = program->Pictures();
  EXPECT_EQ(p.activeSheet.copy(0, 0, 160, 64), sheet.copy(0, 0, 160, 64));
  EXPECT_EQ(program->Companions().NextBox().Image().pixel(5, 5), colour);
  EXPECT_EQ(ReadSetting(program->Store(), "KomaPath", "") + "|" +
                ReadSetting(program->Store(), "KomaName", ""),
            folder.toStdString() + "|s192.bmp");

  dlg = open();
  dlg->FileList()->setCurrentRow(0);
  ASSERT_TRUE(dlg->OpenFolder(folder + "/sub"));
  EXPECT_TRUE(dlg->PathLabel()->text() == folder + "/sub" && !dlg->OkButton()->isEnabled())
      << "no file selected any more";
  QTest::mouseClick(dlg->DefaultButton(), Qt::LeftButton);  // Default
  EXPECT_TRUE(p.SheetIsBuiltIn() &&
              p.activeSheet.copy(0, 0, 160, 64) == p.builtInSheet.copy(0, 0, 160, 64) &&
              ReadSetting(program->Store(), "KomaName", "").empty());

  // A place that cannot be read: Cancel takes the lists back to where they were.
  PictureChooserWindow places(&program->Window(), logic, true, true,
                              {{"/", "/"}, {"USB", "/media/gone-for-this-test"}});
  script.seen.clear();
  places.PlaceList()->setCurrentIndex(1), places.ChoosePlace(1);
  EXPECT_TRUE(script.seen.size() == 1 && places.PlaceList()->currentIndex() == 0 &&
              QDir::currentPath() == folder + "/sub");
}

}  // namespace
}  // namespace pyra
