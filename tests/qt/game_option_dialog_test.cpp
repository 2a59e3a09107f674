// The settings dialog and the picture chooser in the real program: every control where the
// table puts it with its whole caption, and one round trip through each, clicked as a person
// would.
#include "options/game_option_dialog.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <deque>
#include <functional>
#include <memory>

#include "app/program.h"
#include "store/store_values.h"
#include "view/companion_windows.h"
#include "view/image_chooser.h"

namespace pyra {
namespace {

// Plays a person at the program's modal windows. Each step waits until its window is the one
// on top and returns true once done with it; every message box in between is answered (by
// the scripted answers, then by its default button) and remembered.
class ModalScript {
 public:
  using Step = std::function<bool(QWidget*)>;
  ModalScript(Program& program, std::deque<Step> steps) : steps_(std::move(steps)) {
    poll_.setInterval(0);
    QObject::connect(&poll_, &QTimer::timeout, [this, &program] {
      QWidget* top = QApplication::activeModalWidget();
      if (top == nullptr || !top->isVisible()) return;
      if (clock_.hasExpired(20000)) {  // a step that never comes: close up, do not hang
        if (auto* dialog = qobject_cast<QDialog*>(top)) dialog->reject();
        return;
      }
      if (auto* box = qobject_cast<QMessageBox*>(top)) {
        boxes.push_back(box->text());
        clocksRan |= program.Comtimer().Enabled() || program.Mantimer().Enabled();
        QAbstractButton* button = box->defaultButton();
        if (!answers.empty()) button = box->button(answers.front());
        if (!answers.empty()) answers.pop_front();
        button->click();
      } else if (!steps_.empty() && steps_.front()(top)) {
        steps_.pop_front();
      }
    });
    poll_.start();
    clock_.start();
  }
  bool Done() const { return steps_.empty(); }

  QStringList boxes;
  std::deque<QMessageBox::StandardButton> answers;
  bool clocksRan = false;

 private:
  std::deque<Step> steps_;
  QTimer poll_;
  QElapsedTimer clock_;
};

// Clicks a control once the event loop runs again: a click that opens a modal window must not
// run inside the script's step.
void Click(QWidget* window, const QString& name) {
  auto* button = window->findChild<QAbstractButton*>(name);
  ASSERT_NE(button, nullptr) << name.toStdString();
  QMetaObject::invokeMethod(button, &QAbstractButton::click, Qt::QueuedConnection);
}

bool Is(QWidget* top, const char* name) { return top->objectName() == QLatin1String(name); }

class GameOptionDialogTest : public ::testing::Test {
 protected:
  GameOptionDialogTest() : cwd_(QDir::currentPath()) {}
  ~GameOptionDialogTest() override { QDir::setCurrent(cwd_); }

  std::string StorePath() const { return folder_.filePath("store.sqlite3").toStdString(); }
  // A program on this test's store, started with `stored` in it and no opening demo.
  std::unique_ptr<Program> Started(std::map<std::string, std::string> stored = {}) {
    {
      SqliteSettingsStore store(StorePath());
      stored.emplace("OpeningDemo", "0");
      for (const auto& [key, value] : stored) WriteSetting(store, key, value);
    }
    auto program = std::make_unique<Program>(StorePath());
    program->TheGame().seedOnLoad = false;
    program->Screen().SetPacing(false);
    program->Start(false);
    return program;
  }
  std::string Stored(const std::string& key) {
    SqliteSettingsStore store(StorePath());
    return ReadSetting(store, key, "(none)");
  }

  QTemporaryDir folder_;
  QString cwd_;
};

TEST_F(GameOptionDialogTest, EveryControlSitsWhereTheTableSaysWithItsWholeCaption) {
  auto program = Started();
  GameOptionDialog& dialog = program->OptionDialog();
  const double tpp = 1440.0 / QGuiApplication::primaryScreen()->logicalDotsPerInchX();
  auto px = [tpp](int twips) { return static_cast<int>(std::lround(twips / tpp)); };
  EXPECT_EQ(dialog.windowTitle(), QString("ゲームの設定"));
  EXPECT_EQ(dialog.size(), QSize(px(7920), px(5010)));
  for (const OptionControl& c : OptionControls) {
    const QString name = ControlObjectName(c);
    SCOPED_TRACE(name.toStdString());
    auto* w = dialog.findChild<QWidget*>(name);
    ASSERT_NE(w, nullptr);
    const QWidget* holder =
        c.group < 0 ? &dialog
                    : dialog.findChild<QWidget*>(ControlObjectName(OptionControls[c.group]));
    EXPECT_EQ(w->parentWidget(), holder);
    EXPECT_EQ(w->geometry(), QRect(px(c.left), px(c.top), px(c.width), px(c.height)));
    QString caption;
    int needed = 0;
    if (auto* group = qobject_cast<QGroupBox*>(w)) {
      caption = group->title();
      needed = group->fontMetrics().horizontalAdvance(caption) + 16;
    } else if (auto* label = qobject_cast<QLabel*>(w)) {
      caption = label->text();
      needed = label->sizeHint().width();
    } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
      caption = button->text();
      needed = button->sizeHint().width();
    }
    EXPECT_EQ(caption, QString::fromUtf8(c.caption));
    EXPECT_LE(needed, w->width()) << "clipped";
  }
  // Two rows checked against the dialog's own table.
  EXPECT_EQ(dialog.findChild<QWidget*>("Option2_10")->geometry(), QRect(112, 136, 105, 25));
  EXPECT_EQ(dialog.findChild<QWidget*>("Command1")->geometry(), QRect(424, 32, 81, 33));
}

TEST_F(GameOptionDialogTest, OkAndEscapeApplyTheChangesAndTheyOutliveTheRun) {
  auto program = Started({{"PlayerB", "0"}, {"PlayerNameB", "Bob"}});
  ModalScript script(*program, {
                                   [](QWidget* top) {
                                     if (!Is(top, "GameOption")) return false;
                                     top->findChild<QAbstractButton*>("Option2_1")->click();
                                     top->findChild<QAbstractButton*>("Option1_3")->click();
                                     Click(top, "Command1");
                                     return true;
                                   },
                                   [](QWidget* top) {
                                     if (!Is(top, "GameOption")) return false;
                                     top->findChild<QAbstractButton*>("Option2_2")->click();
                                     QTest::keyClick(top, Qt::Key_Escape);
                                     return true;
                                   },
                               });
  program->TheGame().gameset_Click();
  EXPECT_EQ(script.boxes,
            (QStringList{"ゲーム方式が三番勝負に変更されました。", "プレーヤー名が変更されました。",
                         "三番勝負です。頑張りましょう。"}));
  auto* nameB = program->OptionDialog().findChild<QComboBox*>("Combo1_1");
  EXPECT_EQ(nameB->currentText(), QString("コンピュータ"));
  EXPECT_FALSE(nameB->isEnabled());
  EXPECT_EQ(Stored("PlayerNameB"), "コンピュータ");
  EXPECT_NE(program->State().Turn, TurnNone) << "a game runs";

  script.boxes.clear();
  // A click on the board first, as a person makes one: a game that has only just started
  // would not give way to another.
  program->TheGame().Form_MouseUp(MouseButton::Right, 0, 0);
  program->TheGame().gameset_Click();  // closed with Esc: the same as OK
  EXPECT_EQ(script.boxes, (QStringList{"ゲーム方式が五番勝負に変更されました。",
                                       "五番勝負です。頑張りましょう。"}));
  EXPECT_TRUE(script.Done());
  EXPECT_FALSE(script.clocksRan);

  program->TheGame().ExitGame_Click();
  program.reset();
  auto next = Started();
  EXPECT_EQ(next->Options().SelectedSeriesFormat(), 2);
  EXPECT_TRUE(next->Options().IsComputer(SideB));
}

TEST_F(GameOptionDialogTest, TheChooserInstallsAPieceSheetRefusesAWrongOneAndGoesBack) {
  QTemporaryDir pictures;
  const QRgb colour = qRgb(1, 200, 3);
  QImage sheet(192, 64, QImage::Format_RGB32);
  sheet.fill(colour);
  // White masks: every piece opaque.
  for (int y = 32; y < 64; ++y) {
    for (int x = 0; x < 192; ++x) sheet.setPixel(x, y, qRgb(255, 255, 255));
  }
  ASSERT_TRUE(sheet.save(pictures.filePath("s192.bmp")));
  ASSERT_TRUE(sheet.copy(0, 0, 193, 64).save(pictures.filePath("s193.bmp")));
  ASSERT_TRUE(sheet.copy(0, 0, 40, 30).save(pictures.filePath("BG.BMP"), "BMP"));
  QFile(pictures.filePath("notes.txt")).open(QIODevice::WriteOnly);
  QDir(pictures.path()).mkdir("sub");
  const QString folder = pictures.path();
  QDir::setCurrent(folder);

  auto program = Started();
  auto select = [](ImageChooser* dlg, const char* file) {
    const auto items = dlg->File1()->findItems(file, Qt::MatchExactly);
    dlg->File1()->setCurrentItem(items.value(0));
  };
  ModalScript script(
      *program, {
                    [](QWidget* top) {
                      if (Is(top, "GameOption")) Click(top, "Command3_1");
                      return Is(top, "GameOption");
                    },
                    [&](QWidget* top) {
                      auto* dlg = qobject_cast<ImageChooser*>(top);
                      if (dlg == nullptr) return false;
                      EXPECT_EQ(dlg->windowTitle(), QString("駒の変更"));
                      EXPECT_EQ(dlg->Label2()->text(), QString("画像(*.bmp;*.wmf)"));
                      EXPECT_EQ(dlg->Label1()->text(), folder);
                      EXPECT_FALSE(dlg->Command1()->isEnabled());
                      EXPECT_FALSE(dlg->Command3()->isEnabled()) << "the built-in sheet is in use";
                      QStringList files;
                      for (int i = 0; i < dlg->File1()->count(); ++i)
                        files << dlg->File1()->item(i)->text();
                      EXPECT_EQ(files, (QStringList{"BG.BMP", "s192.bmp", "s193.bmp"}));
                      select(dlg, "s193.bmp");
                      EXPECT_EQ(dlg->Label1()->text(), folder + "/s193.bmp");
                      EXPECT_TRUE(dlg->Command1()->isEnabled());
                      EXPECT_FALSE(dlg->Preview()->pixmap().isNull());
                      return true;
                    },
                    [&](QWidget* top) {
                      auto* dlg = qobject_cast<ImageChooser*>(top);
                      if (dlg == nullptr) return false;
                      QMetaObject::invokeMethod(dlg->Command1(), &QAbstractButton::click,
                                                Qt::QueuedConnection);
                      return true;
                    },
                    [&](QWidget* top) {
                      auto* dlg = qobject_cast<ImageChooser*>(top);
                      if (dlg == nullptr || script.boxes.isEmpty()) return false;
                      select(dlg, "s192.bmp");
                      QMetaObject::invokeMethod(dlg->Command1(), &QAbstractButton::click,
                                                Qt::QueuedConnection);
                      return true;
                    },
                    [&](QWidget* top) {
                      if (!Is(top, "GameOption")) return false;
                      const PictureHolder& p = program->Pictures();
                      EXPECT_FALSE(p.SheetIsBuiltIn());
                      EXPECT_EQ(p.Picture2.copy(0, 0, 160, 64), sheet.copy(0, 0, 160, 64));
                      EXPECT_EQ(program->Companions().NextBox().Image().pixel(5, 5), colour);
                      EXPECT_EQ(Stored("KomaPath"), folder.toStdString());
                      EXPECT_EQ(Stored("KomaName"), "s192.bmp");
                      Click(top, "Command3_1");
                      return true;
                    },
                    [&](QWidget* top) {
                      auto* dlg = qobject_cast<ImageChooser*>(top);
                      if (dlg == nullptr) return false;
                      EXPECT_TRUE(dlg->Command3()->isEnabled());
                      select(dlg, "BG.BMP");
                      EXPECT_TRUE(dlg->Dir1_Change(folder + "/sub"));
                      EXPECT_EQ(dlg->Label1()->text(), folder + "/sub");
                      EXPECT_FALSE(dlg->Command1()->isEnabled()) << "no file selected any more";
                      EXPECT_EQ(dlg->File1()->count(), 0);
                      QMetaObject::invokeMethod(dlg->Command3(), &QAbstractButton::click,
                                                Qt::QueuedConnection);
                      return true;
                    },
                    [](QWidget* top) {
                      if (Is(top, "GameOption")) Click(top, "Command1");
                      return Is(top, "GameOption");
                    },
                });
  // A game on the board, so that the NEXT window shows pieces.
  program->TheGame().NewGame_Click();
  script.boxes.clear();
  program->TheGame().gameset_Click();
  EXPECT_TRUE(script.Done());
  EXPECT_EQ(script.boxes, QStringList{"駒ファイルのサイズが違います。"});
  EXPECT_TRUE(program->Pictures().SheetIsBuiltIn());
  EXPECT_EQ(program->Pictures().Picture2.copy(0, 0, 160, 64),
            program->Pictures().Picture5.copy(0, 0, 160, 64));
  EXPECT_EQ(Stored("KomaName"), "(none)");
  EXPECT_EQ(Stored("KomaPath"), (folder + "/sub").toStdString());
}

TEST_F(GameOptionDialogTest, APlaceThatCannotBeReadOffersRetryThenGoesBack) {
  auto program = Started();
  PictureChooser logic(program->TheGame(), program->Store(), program->QtSettings());
  const QString here = QDir::currentPath();
  ImageChooser dlg(&program->Window(), logic, true, true,
                   {{"/", "/"}, {"USB (/media/gone)", "/media/gone-for-this-test"}});
  ModalScript script(*program, {});
  script.answers = {QMessageBox::Retry, QMessageBox::Cancel};
  dlg.Drive1()->setCurrentIndex(1);
  dlg.Drive1_Change(1);
  EXPECT_EQ(script.boxes.size(), 2);
  EXPECT_TRUE(
      script.boxes.value(0).startsWith("ドライブUSB (/media/gone)からファイルを開けません。\n\n"));
  EXPECT_EQ(dlg.Drive1()->currentIndex(), 0);
  EXPECT_EQ(dlg.Folder(), here);
  EXPECT_EQ(QDir::currentPath(), here);
}

}  // namespace
}  // namespace pyra
