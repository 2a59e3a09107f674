// The help window: the built help file with its contents, keyword index and search; what a
// missing or damaged file shows; how the game opens and closes the window.
#include "app/help_window.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QHelpContentWidget>
#include <QHelpIndexWidget>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>

#include "app/program.h"
#include "app/program_folder.h"

namespace pyra {
namespace {

QString U(const char* text) { return QString::fromUtf8(text); }

QString PageOf(const HelpWindow& help) { return help.Browser()->source().fileName(); }

// Whatever Qt or the help engine would print on the terminal.
QStringList printed;
void Record(QtMsgType, const QMessageLogContext&, const QString& text) {
  // The offscreen platform's own notes are not the program's.
  if (!text.startsWith("This plugin does not support")) printed << text;
}

TEST(HelpSearch, FindsPagesByEveryWordInAnyWidthOrCase) {
  const std::vector<HelpPage> pages = {
      {QUrl("a"), U("遊び方"), U("遊び方 トラックも油も置けます。")},
      {QUrl("b"), U("トラック"), U("トラック 油を運ぶ。油は消える。")},
      {QUrl("c"), U("油"), U("油 油のそばに火。油が燃えて油が減る。Store.sqlite3")},
  };
  struct Case {
    const char* query;
    std::vector<const char*> urls;
  } cases[] = {
      {"トラック", {"b", "a"}},      // the page named by the word first
      {"ﾄﾗｯｸ", {"b", "a"}},          // half-width kana
      {"油", {"c", "b", "a"}},       // then by the number of matches
      {"油　トラック", {"b", "a"}},  // every word, full-width blank between
      {"STORE.SQLITE3", {"c"}},      // letter case
      {"水", {}},
      {"  ", {}},
  };
  for (const Case& c : cases) {
    std::vector<std::string> urls;
    for (const HelpHit& hit : SearchHelp(pages, U(c.query)))
      urls.push_back(hit.url.toString().toStdString());
    EXPECT_EQ(urls, std::vector<std::string>(c.urls.begin(), c.urls.end())) << c.query;
  }
  // The snippet: the page's own words, a little before the first match and more after it.
  const QString a(20, QChar(u'あ')), i(40, QChar(u'い'));
  const HelpPage longPage{QUrl("d"), U("長い"), a + U("FIRE燃えて") + i};
  EXPECT_EQ(SearchHelp({longPage}, U("ｆｉｒｅ燃えて")).front().snippet,
            U("…") + a.left(12) + U("FIRE燃えて") + i.left(28) + U("…"));
}

class BuiltHelp : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(help.Loaded());
    help.ShowIndex();
    auto* contents = static_cast<QHelpContentWidget*>(help.Tabs()->widget(0));
    ASSERT_TRUE(QTest::qWaitFor([&] { return contents->model()->rowCount() > 0; }, 5000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return help.Index()->model()->rowCount() > 0; }, 5000));
  }
  HelpWindow help{ProgramFolder()};
};

TEST_F(BuiltHelp, OpensOnTheStartPageWithTheContents) {
  EXPECT_EQ(PageOf(help), QString("index.html"));
  EXPECT_EQ(help.windowTitle(), U("Pyra3 ヘルプ - 目次"));
  EXPECT_EQ(help.Tabs()->currentIndex(), 0);
  // Every piece page shows its picture from the help file.
  help.Open(QUrl("qthelp://org.pyra3.pyra3/doc/pieces.html"));
  const QVariant picture = help.Browser()->loadResource(
      QTextDocument::ImageResource, help.Browser()->source().resolved(QUrl("images/truck.png")));
  EXPECT_EQ(QImage::fromData(picture.toByteArray()).size(), QSize(64, 64));
}

TEST_F(BuiltHelp, IndexAndSearchLeadToThePageOfATerm) {
  const struct {
    const char* term;
    const char* page;
  } cases[] = {{"トラック", "truck.html"}, {"火", "fire.html"},      {"油", "oil.html"},
               {"水", "water.html"},       {"得点", "scoring.html"}, {"番付", "ranking.html"},
               {"中断", "pause.html"},     {"設定", "settings.html"}};
  for (const auto& c : cases) {
    help.IndexField()->setText(U(c.term));
    QTest::keyClick(help.IndexField(), Qt::Key_Return);
    EXPECT_EQ(PageOf(help), QString(c.page)) << "index " << c.term;
  }
  help.SearchField()->setText(U("トラック"));
  QTest::keyClick(help.SearchField(), Qt::Key_Return);
  ASSERT_GT(help.SearchResults()->count(), 1);
  emit help.SearchResults()->itemActivated(help.SearchResults()->item(0));
  EXPECT_EQ(PageOf(help), QString("truck.html"));
  EXPECT_EQ(help.Browser()->textCursor().selectedText(), U("トラック"));

  help.Search(U("どこにもない言葉"));
  ASSERT_EQ(help.SearchResults()->count(), 1);
  EXPECT_EQ(help.SearchResults()->item(0)->text(), U("見つかりませんでした。"));
}

TEST(HelpFiles, AMissingOrDamagedFileIsToldInThePageAreaOnly) {
  QTemporaryDir folder;
  const QString qch = folder.filePath("pyra3.qch");
  const QString qhc = folder.filePath("pyra3.qhc");
  auto write = [](const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
  };
  auto copy = [](const char* name, const QString& to) {
    QFile::remove(to);
    ASSERT_TRUE(QFile::copy(ProgramFile(name), to));
  };
  struct Case {
    std::function<void()> prepare;
    QString notice;
  } cases[] = {
      {[] {}, U("ヘルプファイル") + qch + U("が見つかりません。")},
      {[&] { copy("pyra3.qch", qch); }, U("ヘルプファイル") + qhc + U("が見つかりません。")},
      {[&] { write(qhc, "not a collection"); },
       U("ヘルプファイル") + qch + U("は壊れているため読み込めません。")},
      {[&] {
         copy("pyra3.qhc", qhc);
         write(qch, QByteArray(4096, 'x'));
       },
       U("ヘルプファイル") + qch + U("は壊れているため読み込めません。")},
  };
  const QtMessageHandler before = qInstallMessageHandler(Record);
  for (const Case& c : cases) {
    c.prepare();
    printed.clear();
    HelpWindow help(folder.path());
    help.ShowIndex();
    QTest::qWait(50);
    EXPECT_FALSE(help.Loaded());
    EXPECT_TRUE(help.Browser()->toPlainText().contains(c.notice))
        << help.Browser()->toPlainText().toStdString();
    EXPECT_TRUE(printed.isEmpty()) << printed.join('\n').toStdString();
  }
  qInstallMessageHandler(before);
}

TEST(HelpInTheGame, OpensWithoutHoldingTheClocksAndClosesWithTheGame) {
  QTemporaryDir storeFolder;
  Program program(storeFolder.filePath("store.sqlite3").toStdString());
  program.Screen().SetPacing(false);
  ASSERT_TRUE(program.Start(false));
  ASSERT_TRUE(program.Comtimer().Enabled());  // the demo's computer

  program.Window().HelpMenu()->actions().at(0)->trigger();
  HelpWindow* help = program.Shell().Help();
  ASSERT_NE(help, nullptr);
  EXPECT_TRUE(help->isVisible());
  QApplication::setActiveWindow(help);
  QApplication::processEvents();
  EXPECT_TRUE(program.Comtimer().Enabled());

  program.TheGame().ExitGame_Click();
  EXPECT_FALSE(help->isVisible());
}

}  // namespace
}  // namespace pyra
