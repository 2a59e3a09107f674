#include "view/companion_windows.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QWindow>

namespace pyra {

namespace {

constexpr QSize NextClient(58, 32);
constexpr QSize ScoreAClient(155, 38);
constexpr QSize ScoreBClient(155, 37);
constexpr QSize MessageClient(318, 70);

}  // namespace

// --- CompanionWindow ------------------------------------------------------------------------

CompanionWindow::CompanionWindow(QWidget* mainWindow, const QString& caption, QSize clientSize)
    // Tool windows stay with the main window; they are never meant to take the keyboard.
    // A plain title bar without buttons leaves the narrow score boxes room for their
    // captions; they close with the program.
    : QWidget(mainWindow, Qt::Tool | Qt::WindowDoesNotAcceptFocus | Qt::CustomizeWindowHint |
                              Qt::WindowTitleHint) {
  setWindowTitle(caption);
  setFixedSize(clientSize);
  setFocusPolicy(Qt::NoFocus);
  setAttribute(Qt::WA_ShowWithoutActivating);
  setAttribute(Qt::WA_OpaquePaintEvent);
  image_ = QImage(clientSize, QImage::Format_RGB32);
  image_.fill(BackgroundColour());
}

QColor CompanionWindow::BackgroundColour() const { return palette().color(QPalette::Button); }

void CompanionWindow::Present() {
  if (isVisible()) repaint();
}

void CompanionWindow::Clear() {
  image_.fill(BackgroundColour());
  setAccessibleDescription(QString());
  Present();
}

QImage& CompanionWindow::TextCanvas() {
  const qreal ratio = devicePixelRatioF();
  if (!qFuzzyCompare(image_.devicePixelRatio(), ratio)) {
    image_ = QImage(size() * ratio, QImage::Format_RGB32);
    image_.setDevicePixelRatio(ratio);
  }
  return image_;
}

void CompanionWindow::Place(QPoint frameTopLeft) {
  placedAt_ = frameTopLeft;
  move(frameTopLeft);
}

void CompanionWindow::setVisible(bool visible) {
  // A window manager minimises a tool window together with its main window, and Qt keeps
  // that state. Shown again in it, the window would ask to start minimised, and the window
  // manager would minimise the main window with it once more.
  if (visible && (windowState() & Qt::WindowMinimized)) {
    setWindowState(windowState() & ~Qt::WindowMinimized);
  }
  QWidget::setVisible(visible);
  if (!visible || shown_) return;
  shown_ = true;
  QWindow* handle = windowHandle();
  if (!placedAt_ || handle == nullptr) return;
  if (handle->isExposed()) {
    ApplyPlaceToFrame();
  } else {
    awaitingMap_ = true;
    handle->installEventFilter(this);
  }
}

void CompanionWindow::ApplyPlaceToFrame() {
  // Once only: later moves are the user's.
  if (placedAt_ && frameGeometry().topLeft() != *placedAt_) move(*placedAt_);
}

bool CompanionWindow::eventFilter(QObject* watched, QEvent* event) {
  if (awaitingMap_ && watched == windowHandle() && event->type() == QEvent::Expose &&
      windowHandle()->isExposed()) {
    awaitingMap_ = false;
    watched->removeEventFilter(this);
    ApplyPlaceToFrame();
  }
  return QWidget::eventFilter(watched, event);
}

bool CompanionWindow::event(QEvent* event) {
  switch (event->type()) {
    case QEvent::WindowActivate:
      // Whatever activated this window, the keyboard belongs to the main window.
      if (giveBack_) giveBack_();
      break;
    case QEvent::WindowDeactivate:
    case QEvent::FocusOut:
      keys_.Forget();
      break;
    default:
      break;
  }
  return QWidget::event(event);
}

void CompanionWindow::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
  painter.drawImage(QPointF(0, 0), image_);
}

void CompanionWindow::keyPressEvent(QKeyEvent* event) {
  keys_.Pressed(*event);
  event->accept();
}

void CompanionWindow::keyReleaseEvent(QKeyEvent* event) {
  if (const auto code = keys_.Released(*event); code && keyHandler_) keyHandler_(*code);
  event->accept();
}

void CompanionWindow::closeEvent(QCloseEvent* event) {
  // The windows live as long as the program: the user cannot close one on its own.
  if (event->spontaneous()) {
    event->ignore();
  } else {
    event->accept();
  }
}

// --- Score boxes and the message window ------------------------------------------------------

QString ScoreText(int16_t score) {
  return score >= 0 ? QStringLiteral(" %1").arg(score) : QString::number(score);
}

QFont ScoreFont() {
  QFont font;
  // Liberation Sans has Arial's metrics.
  font.setFamilies(
      {QStringLiteral("Liberation Sans"), QStringLiteral("Arial"), QStringLiteral("Arimo")});
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(32);  // 24 pt at 96 dots per inch
  font.setBold(true);
  return font;
}

QFont MessageFont() {
  QFont font;
  font.setFamilies({QStringLiteral("IPAGothic"), QStringLiteral("IPAexGothic"),
                    QStringLiteral("Noto Sans CJK JP"), QStringLiteral("VL Gothic")});
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(18);  // 13.5 pt at 96 dots per inch
  font.setBold(true);
  return font;
}

ScoreBox::ScoreBox(QWidget* mainWindow, const QString& caption, QSize clientSize, QColor textColour)
    : CompanionWindow(mainWindow, caption, clientSize), textColour_(textColour) {}

void ScoreBox::ShowScore(int16_t score) {
  QImage& image = TextCanvas();
  image.fill(BackgroundColour());
  {
    QPainter painter(&image);
    painter.setFont(ScoreFont());
    painter.setPen(textColour_);
    painter.drawText(QRect(QPoint(0, 0), size()), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                     ScoreText(score));
  }
  setAccessibleDescription(ScoreText(score).trimmed());  // read out as well as drawn
  Present();
}

MessageWindow::MessageWindow(QWidget* mainWindow)
    : CompanionWindow(mainWindow, QStringLiteral("Message"), MessageClient) {}

void MessageWindow::ShowText(const QString& text) {
  text_ = text;
  QImage& image = TextCanvas();
  image.fill(BackgroundColour());
  {
    QPainter painter(&image);
    painter.setFont(MessageFont());
    painter.setPen(palette().color(QPalette::ButtonText));
    painter.drawText(QRect(QPoint(0, 0), size()), Qt::AlignLeft | Qt::AlignTop, text);
  }
  setAccessibleDescription(text);
  show();
  raise();
  Present();
}

// --- CompanionWindows --------------------------------------------------------------------------

CompanionWindows::CompanionWindows(QWidget* mainWindow)
    : main_(mainWindow),
      next_(new CompanionWindow(mainWindow, QStringLiteral("NEXT"), NextClient)),
      scoreA_(new ScoreBox(mainWindow, QStringLiteral("A"), ScoreAClient,
                           mainWindow->palette().color(QPalette::WindowText))),
      scoreB_(new ScoreBox(mainWindow, QStringLiteral("B"), ScoreBClient, Qt::black)),
      message_(new MessageWindow(mainWindow)) {
  for (CompanionWindow* window : All()) {
    window->SetFocusReturn([this] {
      // A minimised or hidden main window is left alone: activating it would restore it.
      if (main_->isVisible() && !main_->isMinimized()) main_->activateWindow();
    });
  }
}

std::array<CompanionWindow*, 4> CompanionWindows::All() const {
  return {next_, scoreA_, scoreB_, message_};
}

void CompanionWindows::SetKeyHandler(const std::function<void(int)>& handler) {
  for (CompanionWindow* window : All()) window->SetKeyHandler(handler);
}

bool CompanionWindows::IsCompanion(const QWidget* window) const {
  if (window == nullptr) return false;
  for (const CompanionWindow* companion : All()) {
    if (window == companion) return true;
  }
  return false;
}

void CompanionWindows::ShowCompanions() {
  for (QWidget* window : {static_cast<QWidget*>(next_), static_cast<QWidget*>(scoreA_),
                          static_cast<QWidget*>(scoreB_)}) {
    if (!window->isVisible()) window->show();
  }
}

void CompanionWindows::HideCompanions() {
  next_->hide();
  scoreA_->hide();
  scoreB_->hide();
}

void CompanionWindows::CloseAll() {
  HideCompanions();
  message_->hide();
}

}  // namespace pyra
