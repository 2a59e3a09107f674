#include "app/help_window.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHelpContentWidget>
#include <QHelpEngine>
#include <QHelpIndexWidget>
#include <QHelpLink>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QSplitter>
#include <QTabWidget>
#include <QTextBrowser>
#include <QTextDocument>
#include <QVBoxLayout>

#include "match/messages.h"

namespace pyra {

namespace caption {
constexpr const char* Window = "Pyra3 ヘルプ";
constexpr const char* Contents = "目次";
constexpr const char* Index = "索引";
constexpr const char* Search = "検索";
constexpr const char* IndexHint = "探す言葉を入力してください";
constexpr const char* SearchHint = "本文から探す言葉を入力してください";
}  // namespace caption

namespace {

QString Utf8(const char* text) { return QString::fromUtf8(text); }

// The page view reads the help file's pages and pictures through the help engine.
class HelpBrowser : public QTextBrowser {
 public:
  HelpBrowser(QHelpEngine* engine, QWidget* parent) : QTextBrowser(parent), engine_(engine) {}

  QVariant loadResource(int type, const QUrl& name) override {
    if (engine_ != nullptr && name.scheme() == QLatin1String("qthelp")) {
      return engine_->fileData(name);
    }
    return QTextBrowser::loadResource(type, name);
  }

 private:
  QHelpEngine* engine_;
};

constexpr int UrlRole = Qt::UserRole;

}  // namespace

HelpWindow::HelpWindow(const QString& folder) : QWidget(nullptr) {
  setWindowTitle(Utf8(caption::Window));
  // The game owns this window and closes it at exit; closing it alone only hides it.
  setAttribute(Qt::WA_QuitOnClose, false);
  if (Load(folder)) {
    BuildViews();
  } else {
    browser_ = new HelpBrowser(nullptr, this);
    browser_->setHtml(problem_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(browser_);
  }
  resize(880, 620);
}

HelpWindow::~HelpWindow() = default;

bool HelpWindow::Load(const QString& folder) {
  const QString separator = folder.endsWith(QLatin1Char('/')) ? QString() : QStringLiteral("/");
  const QString collection = folder + separator + QLatin1String(CollectionFile);
  const QString help = folder + separator + QLatin1String(HelpFile);
  // Qt Help complains on the terminal about files that are not there, so they are looked
  // for first.
  for (const QString& file : {help, collection}) {
    if (!QFileInfo(file).isFile()) {
      ShowProblem(file + Utf8(text::HelpFileMissing));
      return false;
    }
  }
  auto* engine = new QHelpEngine(collection, this);
  engine->setReadOnly(true);  // an installed program folder is not writable
  const QStringList docs = engine->setupData() ? engine->registeredDocumentations() : QStringList();
  if (docs.size() == 1) {
    // The start page proves that the help file itself can be read.
    startPage_ = QUrl(QStringLiteral("qthelp://%1/doc/index.html").arg(docs.first()));
    for (const QUrl& url : engine->files(docs.first(), QString(), QStringLiteral("html"))) {
      QTextDocument page;
      page.setHtml(QString::fromUtf8(engine->fileData(url)));
      pages_.push_back(
          {url, page.metaInformation(QTextDocument::DocumentTitle), page.toPlainText()});
    }
  }
  if (startPage_.isEmpty() || engine->fileData(startPage_).isEmpty()) {
    delete engine;
    pages_.clear();
    ShowProblem(help + Utf8(text::HelpFileDamaged));
    return false;
  }
  engine_ = engine;
  return true;
}

void HelpWindow::ShowProblem(const QString& text) {
  problem_ = QStringLiteral("<h1>%1</h1><p>%2%3</p>")
                 .arg(Utf8(text::HelpUnavailable), Utf8(text::HelpFileLabel), text.toHtmlEscaped());
}

void HelpWindow::BuildViews() {
  browser_ = new HelpBrowser(engine_, this);
  browser_->setOpenLinks(true);
  connect(browser_, &QTextBrowser::sourceChanged, this, [this](const QUrl& url) {
    setWindowTitle(Utf8(caption::Window) + QStringLiteral(" - ") + browser_->documentTitle());
    const QModelIndex item = engine_->contentWidget()->indexOf(url);
    if (item.isValid()) engine_->contentWidget()->setCurrentIndex(item);
  });

  QHelpContentWidget* contents = engine_->contentWidget();
  connect(contents, &QHelpContentWidget::linkActivated, this, &HelpWindow::Open);
  connect(engine_->contentModel(), &QHelpContentModel::contentsCreated, contents,
          &QTreeView::expandAll);

  auto* indexPage = new QWidget;
  auto* indexLayout = new QVBoxLayout(indexPage);
  indexField_ = new QLineEdit;
  indexField_->setPlaceholderText(Utf8(caption::IndexHint));
  indexField_->setClearButtonEnabled(true);
  QHelpIndexWidget* index = engine_->indexWidget();
  indexLayout->addWidget(indexField_);
  indexLayout->addWidget(index);
  connect(indexField_, &QLineEdit::textChanged, index,
          [index](const QString& text) { index->filterIndices(text); });
  connect(indexField_, &QLineEdit::returnPressed, index, &QHelpIndexWidget::activateCurrentItem);
  connect(index, &QHelpIndexWidget::documentActivated, this,
          [this](const QHelpLink& link, const QString&) { Open(link.url); });
  connect(index, &QHelpIndexWidget::documentsActivated, this,
          [this](const QList<QHelpLink>& links, const QString&) {
            if (!links.isEmpty()) Open(links.first().url);
          });

  auto* searchPage = new QWidget;
  auto* searchLayout = new QVBoxLayout(searchPage);
  auto* searchRow = new QHBoxLayout;
  searchField_ = new QLineEdit;
  searchField_->setPlaceholderText(Utf8(caption::SearchHint));
  searchField_->setClearButtonEnabled(true);
  auto* searchButton = new QPushButton(Utf8(caption::Search));
  searchRow->addWidget(searchField_);
  searchRow->addWidget(searchButton);
  results_ = new QListWidget;
  results_->setWordWrap(true);
  searchLayout->addLayout(searchRow);
  searchLayout->addWidget(results_);
  auto search = [this] { Search(searchField_->text()); };
  connect(searchField_, &QLineEdit::returnPressed, this, search);
  connect(searchButton, &QPushButton::clicked, this, search);
  connect(results_, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
    const QUrl url = item->data(UrlRole).toUrl();
    if (url.isEmpty()) return;
    Open(url);
    // The first match on the page is selected, so that the eye finds it.
    const QStringList words = lastQuery_.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (!words.isEmpty()) browser_->find(words.first());
  });
  connect(results_, &QListWidget::itemClicked, results_, &QListWidget::itemActivated);

  tabs_ = new QTabWidget;
  tabs_->addTab(contents, Utf8(caption::Contents));
  tabs_->addTab(indexPage, Utf8(caption::Index));
  tabs_->addTab(searchPage, Utf8(caption::Search));
  // A tab with a field takes the typing at once.
  connect(tabs_, &QTabWidget::currentChanged, this, [this](int tab) {
    if (tab == 1) indexField_->setFocus();
    if (tab == 2) searchField_->setFocus();
  });

  auto* splitter = new QSplitter(Qt::Horizontal);
  splitter->addWidget(tabs_);
  splitter->addWidget(browser_);
  splitter->setStretchFactor(1, 1);
  splitter->setSizes({260, 620});
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->addWidget(splitter);
}

QHelpIndexWidget* HelpWindow::Index() const {
  return engine_ != nullptr ? engine_->indexWidget() : nullptr;
}

void HelpWindow::ShowIndex() {
  if (!placed_) {
    placed_ = true;
    Open(startPage_);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
      move(screen->availableGeometry().center() - rect().center());
    }
  }
  showNormal();
  raise();
  activateWindow();
}

void HelpWindow::Open(const QUrl& url) {
  if (engine_ != nullptr) browser_->setSource(url);
}

void HelpWindow::Search(const QString& query) {
  if (results_ == nullptr) return;
  lastQuery_ = query;
  results_->clear();
  const std::vector<HelpHit> hits = SearchHelp(pages_, query);
  for (const HelpHit& hit : hits) {
    auto* item = new QListWidgetItem(hit.title + QLatin1Char('\n') + hit.snippet, results_);
    item->setData(UrlRole, hit.url);
  }
  if (hits.empty() && !query.trimmed().isEmpty()) {
    auto* none = new QListWidgetItem(Utf8(text::HelpNothingFound), results_);
    none->setFlags(Qt::NoItemFlags);
  }
}

}  // namespace pyra
