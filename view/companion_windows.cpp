#include "view/companion_windows.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <algorithm>

namespace pyra {

namespace {

constexpr QSize NextClient(58, 32);
constexpr QSize PointClient(155, 38);
constexpr QSize Point2Client(155, 37);
constexpr QSize MessageClient(318, 70);

}  // namespace

// --- CompanionWindow ------------------------------------------------------------------------

CompanionWindow::CompanionWindow(QWidget* mainWindow, const QString& caption, QSize clientSize)
    // Tool windows stay with the main window; they are never meant to take the keyboard.
    : QWidget(mainWindow, Qt::Tool | Qt::WindowDoesNotAcceptFocus) {
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
  if (placed_) return;
  move(frameTopLeft);
  placed_ = true;
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
  show();
  raise();
  Present();
}

// --- Placement ---------------------------------------------------------------------------------

QPoint ClampToScreen(QPoint topLeft, QSize frame, const QRect& screen) {
  int top = topLeft.y();
  int left = topLeft.x();
  const int screenBottom = screen.y() + screen.height();
  const int screenRight = screen.x() + screen.width();
  if (top + frame.height() > screenBottom) top = screenBottom - frame.height();
  if (left + frame.width() > screenRight) left = screenRight - frame.width();
  if (top < screen.y()) top = screen.y();
  if (left < screen.x()) left = screen.x();
  return {left, top};
}

CompanionPlaces DefaultCompanionPlaces(const QRect& mainFrame, QSize nextFrame, QSize pointFrame,
                                       QSize point2Frame, QSize messageFrame, const QRect& screen) {
  const int mainRight = mainFrame.x() + mainFrame.width();
  const int mainBottom = mainFrame.y() + mainFrame.height();
  const int scoreHeight = std::max(pointFrame.height(), point2Frame.height());
  CompanionPlaces places;
  places.next = ClampToScreen({mainRight, mainFrame.y()}, nextFrame, screen);
  places.point = ClampToScreen({mainFrame.x(), mainBottom}, pointFrame, screen);
  places.point2 =
      ClampToScreen({mainFrame.x() + pointFrame.width(), mainBottom}, point2Frame, screen);
  // Below the score boxes rather than over them, so that a message never hides the scores.
  places.message = ClampToScreen({mainFrame.x(), mainBottom + scoreHeight}, messageFrame, screen);
  return places;
}

// --- CompanionWindows --------------------------------------------------------------------------

CompanionWindows::CompanionWindows(QWidget* mainWindow)
    : main_(mainWindow),
      next_(new CompanionWindow(mainWindow, QStringLiteral("NEXT"), NextClient)),
      point_(new ScoreBox(mainWindow, QStringLiteral("A"), PointClient,
                          mainWindow->palette().color(QPalette::WindowText))),
      point2_(new ScoreBox(mainWindow, QStringLiteral("B"), Point2Client, Qt::black)),
      message_(new MessageWindow(mainWindow)) {
  for (CompanionWindow* window : All()) {
    window->SetFocusReturn([this] {
      // A minimised or hidden main window is left alone: activating it would restore it.
      if (main_->isVisible() && !main_->isMinimized()) main_->activateWindow();
    });
  }
}

std::array<CompanionWindow*, 4> CompanionWindows::All() const {
  return {next_, point_, point2_, message_};
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

void CompanionWindows::PlaceByDefault() {
  const QRect mainFrame = main_->frameGeometry();
  const QRect mainClient = main_->geometry();
  // A window's frame is known only once it has been shown; until then assume the main
  // window's.
  const QMargins frame(mainClient.left() - mainFrame.left(), mainClient.top() - mainFrame.top(),
                       mainFrame.right() - mainClient.right(),
                       mainFrame.bottom() - mainClient.bottom());
  auto outer = [&](const QWidget* window) {
    const QRect f = window->frameGeometry();
    return f != window->geometry() ? f.size() : window->size().grownBy(frame);
  };
  const QScreen* screen = main_->screen();
  const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
  const CompanionPlaces places = DefaultCompanionPlaces(mainFrame, outer(next_), outer(point_),
                                                        outer(point2_), outer(message_), area);
  next_->Place(places.next);
  point_->Place(places.point);
  point2_->Place(places.point2);
  message_->Place(places.message);
}

void CompanionWindows::ShowCompanions() {
  PlaceByDefault();
  for (QWidget* window : {static_cast<QWidget*>(next_), static_cast<QWidget*>(point_),
                          static_cast<QWidget*>(point2_)}) {
    if (!window->isVisible()) window->show();
  }
}

void CompanionWindows::HideCompanions() {
  next_->hide();
  point_->hide();
  point2_->hide();
}

void CompanionWindows::CloseAll() {
  HideCompanions();
  message_->hide();
}

}  // namespace pyra
