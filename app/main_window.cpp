#include "app/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QStyleOptionMenuItem>
#include <QWindowStateChangeEvent>
#include <cmath>

#include "app/menu_accessibility.h"
#include "app/menu_bar.h"
#include "match/messages.h"

namespace pyra {

namespace menu {
// Each caption carries a Latin and a kana access key; Qt uses the first.
constexpr const char* Game = "ｹﾞｰﾑ(&G&ｷ)";
constexpr const char* NewGame = "新規(&N&ﾐ)";
constexpr const char* Ranking = "番付(&H&ｸ)";
constexpr const char* Exit = "終了(&X&ｻ)";
constexpr const char* Settings = "設定(&S&ﾄ)...";
constexpr const char* Help = "ﾍﾙﾌﾟ(&H&ｵ)";
constexpr const char* Index = "トピックの検索(&H&ｸ)";
constexpr const char* About = "Pyra3について(&A&ﾁ)...";
}  // namespace menu

// --- MenuCaptionStyle ---------------------------------------------------------------------

int MenuCaptionStyle::Room(const QString& caption, const QFontMetrics& metrics) {
  const QString text = caption.section(QLatin1Char('\t'), 0, 0);
  const int flags = Qt::TextShowMnemonic | Qt::TextSingleLine;
  const int width = metrics.boundingRect(QRect(), flags, text).width();
  const int limit = width + 4 * metrics.height();
  int needed = width;
  while (needed < limit && metrics.elidedText(text, Qt::ElideMiddle, needed, flags) != text) {
    ++needed;
  }
  return needed - width;
}

QSize MenuCaptionStyle::sizeFromContents(ContentsType type, const QStyleOption* option,
                                         const QSize& size, const QWidget* widget) const {
  QSize result = QProxyStyle::sizeFromContents(type, option, size, widget);
  if (type == CT_MenuItem) {
    if (const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option)) {
      if (item->menuItemType == QStyleOptionMenuItem::Normal) {
        result.rwidth() += Room(item->text, QFontMetrics(item->font));
      }
    }
  }
  return result;
}

// --- MainWindow ----------------------------------------------------------------------------

MainWindow::MainWindow() : board_(new BoardWidget(this)) {
  InstallMenuAccessibility();
  setWindowTitle(QString::fromUtf8(ProductName));
  setMenuBar(new WrappingMenuBar(this));
  // The window may be as small as the user likes; the game fits the board to what is left.
  // Left to the layout, the least height would be that of the menu bar wrapped at no width.
  setMinimumSize(1, 1);
  setCentralWidget(board_);
  BuildMenus();
  board_->SetMouseHandler([this](MouseButton button, int x, int y) {
    if (Live()) inputs_->MouseUp(button, x, y);
  });
  board_->setFocus();
}

void MainWindow::BuildMenus() {
  QMenuBar* bar = menuBar();
  game_ = bar->addMenu(QString::fromUtf8(menu::Game));
  newGame_ = game_->addAction(QString::fromUtf8(menu::NewGame));
  pause_ = game_->addAction(QString::fromUtf8(text::PauseCaption));
  pause_->setVisible(false);  // until a game is on the board
  ranking_ = game_->addAction(QString::fromUtf8(menu::Ranking));
  gameSeparator_ = game_->addSeparator();
  exit_ = game_->addAction(QString::fromUtf8(menu::Exit));

  settings_ = bar->addAction(QString::fromUtf8(menu::Settings));

  help_ = bar->addMenu(QString::fromUtf8(menu::Help));
  helpIndex_ = help_->addAction(QString::fromUtf8(menu::Index));
  helpSeparator_ = help_->addSeparator();
  about_ = help_->addAction(QString::fromUtf8(menu::About));

  auto* style = new MenuCaptionStyle;
  style->setParent(this);
  game_->setStyle(style);
  help_->setStyle(style);

  Connect(newGame_, Command::NewGame);
  Connect(pause_, Command::Pause);
  Connect(ranking_, Command::Ranking);
  Connect(exit_, Command::Exit);
  Connect(settings_, Command::Settings);
  Connect(helpIndex_, Command::Help);
  Connect(about_, Command::About);
}

void MainWindow::Connect(QAction* action, Command command) {
  connect(action, &QAction::triggered, this, [this, command] {
    if (Live()) inputs_->MenuCommand(command);
  });
}

QAction* MainWindow::Item(MenuItem item) const {
  switch (item) {
    case MenuItem::NewGame:
      return newGame_;
    case MenuItem::Pause:
      return pause_;
    case MenuItem::Ranking:
      return ranking_;
    case MenuItem::Separator:
      return gameSeparator_;
    case MenuItem::Exit:
      return exit_;
  }
  return nullptr;
}

void MainWindow::SyncLayout() {
  // A hidden window lays itself out only when it is shown, and a shown one may still have
  // work pending, such as the menu bar wrapping onto another line.
  if (QLayout* l = layout()) {
    if (!isVisible()) l->invalidate();
    l->activate();
  }
}

QSize MainWindow::ClientSize() {
  SyncLayout();
  // Under a menu bar wrapped over the whole window Qt leaves the board at its last size.
  if (menuBar()->height() >= height()) return QSize(width(), 0);
  return board_->size();
}

void MainWindow::SetClientSize(QSize client) {
  client = client.expandedTo(QSize(0, 0));
  // The menu bar may wrap onto more lines as the width changes, covering part of the client
  // area or all of it, and the window system may refuse a size: a few attempts, each from
  // what the window really got, for as long as the window does change.
  for (int attempt = 0; attempt < 8; ++attempt) {
    const QSize before = ClientSize();
    if (before == client) return;
    const QSize outer = size();
    resize(outer + (client - before));
    if (size() == outer) return;  // the window cannot get there
  }
}

bool MainWindow::IsNormal() const {
  return !(windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen));
}

bool MainWindow::event(QEvent* event) {
  switch (event->type()) {
    case QEvent::WindowActivate:
      if (focusLost_ && Live()) {
        focusLost_ = false;
        inputs_->GotFocus();
      }
      break;
    case QEvent::WindowDeactivate: {
      keys_.Forget();
      // Qt names the new active window before it tells the old one. A companion hands the
      // activation straight back and a modal window of the program holds the clocks itself:
      // neither is a loss of the focus.
      const QWidget* now = QApplication::activeWindow();
      const bool companion = isCompanion_ && isCompanion_(now);
      const bool modal = now != nullptr && now->isModal();
      if (!companion && !modal && !focusLost_ && Live()) {
        focusLost_ = true;
        inputs_->LostFocus();
      }
      break;
    }
    default:
      break;
  }
  return QMainWindow::event(event);
}

void MainWindow::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  if (event->type() != QEvent::WindowStateChange || !Live()) return;
  const auto* change = static_cast<QWindowStateChangeEvent*>(event);
  const bool wasMinimised = change->oldState() & Qt::WindowMinimized;
  if (isMinimized()) {
    if (!wasMinimised) inputs_->Minimised();
  } else if (wasMinimised || IsNormal()) {
    // Back from the taskbar, also straight into the maximised state: the clocks and the
    // companion windows must not stay put away.
    inputs_->Restored();
  }
}

void MainWindow::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  if (Live() && isVisible() && IsNormal()) inputs_->Restored();
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (!closing_ && inputs_ != nullptr) inputs_->CloseRequested();
  // The game decides; it ends the program through its own shut-down.
  if (closing_) {
    event->accept();
  } else {
    event->ignore();
  }
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
  keys_.Pressed(*event);
  event->accept();
  // An arrow moves the focus cell at once, and again with each repeat of a held key.
  if (const auto arrow = ArrowOf(event->key()); arrow && Live()) inputs_->ArrowKey(*arrow);
}

void MainWindow::keyReleaseEvent(QKeyEvent* event) {
  const auto code = keys_.Released(*event);
  event->accept();
  if (code && Live()) inputs_->KeyUp(*code);
}

}  // namespace pyra
