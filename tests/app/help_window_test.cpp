// Help window: built file's contents, index, search; a missing or damaged file; game open/close.
#include "app/help_window.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
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
#include "qt_helpers.h"

namespace pyra {
namespace {

QString U(const char* text) { return QString::fromUtf8(text); }

QString PageOf(const HelpWindow& help) { return help.Browser()->source().fileName(); }

QStringList printed;  // what would reach the terminal, less the offscreen platform's own notes
void Record(QtMsgType, const QMessageLogContext&, const QString& text) {
  if (!text.startsWith("This plugin does not support")) printed << text;
}

TEST(HelpSearch, FindsPagesByEveryWordInAnyWidthOrCase) {
  const std::vector<HelpPage> pages = {
      {QUrl("a"), U("遊び方"), U("遊び方 トラックも油も置けます。")},
      {QUrl("b"), U("トラック"), U("トラック 油を運ぶ。油は消える。")},
      {QUrl("c"), U("油"), U("油 油のそばに火。油が燃えて油が減る。Store.sqlite3")}};
  const std::pair<const char*, const char*> cases[] = {
      {"トラック", "ba"},      // the page named by the word first
      {"ﾄﾗｯｸ", "ba"},          // half-width kana
      {"油", "cba"},           // then by the number of matches
      {"油　トラック", "ba"},  // every word, full-width blank between
      {"STORE.SQLITE3", "c"},  // letter case
      {"水", ""},
      {"  ", ""}};
  for (const auto& [query, expected] : cases) {
    QString found;
    for (const HelpHit& hit : SearchHelp(pages, U(query))) found += hit.url.toString();
    EXPECT_EQ(found, QString(expected)) << query;
  }
  // The snippet: the page's own words, a little before the first match and more after it.
  const QString a(20, QChar(u'あ')), i(40, QChar(u'い'));
  const HelpPage longPage{QUrl("d"), U("長い"), a + U("FIRE燃えて") + i};
  EXPECT_EQ(SearchHelp({longPage}, U("ｆｉｒｅ燃えて")).front().snippet,
            U("…") + a.left(12) + U("FIRE燃えて") + i.left(28) + U("…"));
  // A page that ends near the match shows its end without a mark.
  EXPECT_EQ(SearchHelp({pages[2]}, U("sqlite3")).front().snippet, U("…て油が減る。Store.sqlite3"));
}

TEST(BuiltHelp, OpensOnTheContentsAndLeadsFromTermsToTheirPages) {
  HelpWindow help(ProgramFolder());
  ASSERT_TRUE(help.Loaded());
  help.ShowIndex();
  EXPECT_EQ(std::tuple(help.windowTitle(), help.Tabs()->currentIndex()),
            std::tuple(U("Pyra3 ヘルプ - 目次"), 0));
  // The page beside the tabs, and wider; both 4 pixels in from the edges; the window centred.
  const QRect page(help.Browser()->mapTo(&help, QPoint()), help.Browser()->size()),
      tabs(help.Tabs()->mapTo(&help, QPoint()), help.Tabs()->size());
  EXPECT_GT(page.left(), tabs.right());
  const QPoint centred =
      QGuiApplication::primaryScreen()->availableGeometry().center() - help.rect().center();
  EXPECT_EQ(std::tuple(tabs.topLeft(), tabs.width(), page.width(),
                       help.rect().bottomRight() - page.bottomRight(), help.pos()),
            std::tuple(QPoint(4, 4), 260, 608, QPoint(4, 4), centred));
  auto* contents = static_cast<QHelpContentWidget*>(help.Tabs()->widget(0));
  ASSERT_TRUE(QTest::qWaitFor([&] { return contents->model()->rowCount() > 0; }, 5000));
  ASSERT_TRUE(QTest::qWaitFor([&] { return help.Index()->model()->rowCount() > 0; }, 5000));

  const std::pair<const char*, const char*> terms[] = {
      {"トラック", "truck.html"}, {"火", "fire.html"},      {"油", "oil.html"},
      {"水", "water.html"},       {"得点", "scoring.html"}, {"番付", "ranking.html"},
      {"中断", "pause.html"},     {"設定", "settings.html"}};
  for (const auto& [term, page] : terms) {
    help.IndexField()->setText(U(term));
    QTest::keyClick(help.IndexField(), Qt::Key_Return);
    EXPECT_EQ(PageOf(help), QString(page)) << term;
  }
  // The piece pictures come from the help file.
  const QVariant truck = help.Browser()->loadResource(
      QTextDocument::ImageResource, help.Browser()->source().resolved(QUrl("images/truck.png")));
  EXPECT_EQ(QImage::fromData(truck.toByteArray()).size(), QSize(64, 64));

  help.Tabs()->setCurrentIndex(2);  // the search tab: its field above the results, in its page
  EXPECT_TRUE(help.Tabs()->widget(2)->isAncestorOf(help.SearchField()));
  EXPECT_TRUE(help.SearchField()->isClearButtonEnabled());
  EXPECT_LT(help.SearchField()->geometry().bottom(), help.SearchResults()->geometry().top());
  help.SearchField()->setText(U("トラック"));
  QTest::keyClick(help.SearchField(), Qt::Key_Return);
  ASSERT_GT(help.SearchResults()->count(), 1);
  emit help.SearchResults()->itemActivated(help.SearchResults()->item(0));
  EXPECT_EQ(std::tuple(PageOf(help), help.Browser()->textCursor().selectedText()),
            std::tuple("truck.html", U("トラック")));
  help.Search(U("どこにもない言葉"));
  ASSERT_EQ(help.SearchResults()->count(), 1);
  EXPECT_EQ(help.SearchResults()->item(0)->text(), U("見つかりませんでした。"));
}

TEST(HelpFiles, AMissingOrDamagedFileIsToldInThePageAreaOnly) {
  QTemporaryDir folder;
  const QString qch = folder.filePath("pyra3.qch"), qhc = folder.filePath("pyra3.qhc");
  auto put = [](const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
  };
  auto built = [](const char* name) {
    QFile file(ProgramFile(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  };
  const QString missing = U("が見つかりません。"), damaged = U("は壊れているため読み込めません。");
  const std::pair<std::function<void()>, QString> cases[] = {
      {[] {}, qch + missing},
      {[&] { put(qch, built("pyra3.qch")); }, qhc + missing},
      {[&] { put(qhc, "not a collection"); }, qch + damaged},
      {[&] { put(qhc, built("pyra3.qhc")), put(qch, QByteArray(4096, 'x')); }, qch + damaged}};
  const QtMessageHandler before = qInstallMessageHandler(Record);
  for (const auto& [prepare, notice] : cases) {
    prepare(), printed.clear();
    HelpWindow help(folder.path());
    help.ShowIndex(), QTest::qWait(50);
    EXPECT_FALSE(help.Loaded());
    EXPECT_TRUE(help.Browser()->toPlainText().contains(U("ヘルプファイル") + notice))
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
  ASSERT_TRUE(program.ComputerClock().Enabled());  // the demo's computer
  program.Window().HelpMenu()->actions().at(0)->trigger();
  HelpWindow* help = program.Shell().Help();
  ASSERT_NE(help, nullptr);
  EXPECT_EQ(std::tuple(help->isVisible(), help->size()), std::tuple(true, QSize(880, 620)));
  QApplication::setActiveWindow(help), QApplication::processEvents();
  EXPECT_TRUE(program.ComputerClock().Enabled());
  program.TheGame().OnExit();
  EXPECT_FALSE(help->isVisible());
}

}  // namespace
}  // namespace pyra
