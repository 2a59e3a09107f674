#include "app/qt_ports.h"

#include <QApplication>
#include <QCoreApplication>
#include <QMessageBox>
#include <QScreen>
#include <QThread>
#include <algorithm>

#include "app/about_box.h"
#include "app/help_window.h"
#include "app/main_window.h"
#include "app/program_folder.h"
#include "app/qt_session_ports.h"
#include "sound/music.h"
#include "store/settings_session.h"
#include "view/board_painter.h"
#include "view/companion_windows.h"
#include "view/gdi.h"
#include "view/next_pieces.h"
#include "view/picture_holder.h"

namespace pyra {

namespace {

QString Q(const std::string& text) {
  return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

}  // namespace

// --- QtClock -------------------------------------------------------------------------------

QtClock::QtClock(int intervalMilliseconds) {
  timer_.setInterval(intervalMilliseconds);
  QObject::connect(&timer_, &QTimer::timeout, [this] {
    if (tick_) tick_();
  });
}

void QtClock::SetEnabled(bool on) {
  if (!on) {
    timer_.stop();
  } else if (!timer_.isActive()) {
    timer_.start();
  }
}

// --- QtDialogs -----------------------------------------------------------------------------

MsgAnswer QtDialogs::MessageBox(const std::string& text, const std::string& title,
                                MsgButtons buttons, MsgIcon icon) {
  QMessageBox box(parent_);
  box.setWindowTitle(Q(title));
  box.setTextFormat(Qt::PlainText);
  box.setText(Q(text));
  switch (icon) {
    case MsgIcon::None:
      box.setIcon(QMessageBox::NoIcon);
      break;
    case MsgIcon::Exclamation:
      box.setIcon(QMessageBox::Warning);
      break;
    case MsgIcon::Question:
      box.setIcon(QMessageBox::Question);
      break;
    case MsgIcon::Information:
      box.setIcon(QMessageBox::Information);
      break;
    case MsgIcon::Error:
      box.setIcon(QMessageBox::Critical);
      break;
  }
  // The first button is the default one; closing the box otherwise counts as the last.
  MsgAnswer dismissed = MsgAnswer::Ok;
  switch (buttons) {
    case MsgButtons::Ok:
      box.setStandardButtons(QMessageBox::Ok);
      box.setDefaultButton(QMessageBox::Ok);
      box.setEscapeButton(QMessageBox::Ok);
      break;
    case MsgButtons::YesNo:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
      box.setDefaultButton(QMessageBox::Yes);
      box.setEscapeButton(QMessageBox::No);
      dismissed = MsgAnswer::No;
      break;
    case MsgButtons::RetryCancel:
      box.setStandardButtons(QMessageBox::Retry | QMessageBox::Cancel);
      box.setDefaultButton(QMessageBox::Retry);
      box.setEscapeButton(QMessageBox::Cancel);
      dismissed = MsgAnswer::Cancel;
      break;
  }
  box.setWindowModality(Qt::ApplicationModal);
  // Over the main window and in front, so that it cannot get lost behind another window.
  // Before the main window is up (a refused start), in the middle of the screen instead.
  const bool overMain = parent_ != nullptr && parent_->isVisible();
  if (!overMain) {
    box.adjustSize();
    if (const QScreen* screen = box.screen()) {
      box.move(screen->availableGeometry().center() - box.rect().center());
    }
  }
  box.show();
  box.raise();
  box.activateWindow();
  const int answer = box.exec();
  // The keyboard goes back to the window the box came from (the main window, or a dialog
  // still open over it), also where no window manager hands it back.
  if (QWidget* modal = QApplication::activeModalWidget()) {
    modal->activateWindow();
  } else if (overMain && !parent_->isMinimized()) {
    parent_->activateWindow();
  }
  switch (answer) {
    case QMessageBox::Ok:
      return MsgAnswer::Ok;
    case QMessageBox::Yes:
      return MsgAnswer::Yes;
    case QMessageBox::No:
      return MsgAnswer::No;
    case QMessageBox::Retry:
      return MsgAnswer::Retry;
    case QMessageBox::Cancel:
      return MsgAnswer::Cancel;
    default:
      return dismissed;
  }
}

// --- QtScreen ------------------------------------------------------------------------------

QtScreen::QtScreen(MainWindow& window, CompanionWindows& companions, BoardPainter& painter,
                   PictureHolder& pictures, const GameSettings& settings)
    : window_(window),
      companions_(companions),
      painter_(painter),
      pictures_(pictures),
      settings_(settings),
      pacer_([this](const QRegion& area) { window_.Board().repaint(area); }) {
  window_.Board().SetImage(&painter_.Image());
  window_.Board().SetState(&painter_.State());
  window_.Board().SetResizeHandler([this](QSize client) {
    if (painter_.Image().size() != client) painter_.Resize(client);
  });
  painter_.SetCellPaintedHook([this](const QRect& rect) {
    pacer_.CellPainted(paintingStep_, rect);
    window_.Board().CellPainted(
        Cell{int16_t(rect.x() / CellPixels), int16_t(rect.y() / CellPixels)});
  });
  FitImageToClient();
}

bool QtScreen::PaceNow() const { return pacing_ && window_.isVisible() && !window_.isMinimized(); }

void QtScreen::FitImageToClient() {
  const QSize client = window_.ClientSize();
  if (painter_.Image().size() != client) painter_.Resize(client);
}

void QtScreen::PresentBoard() { window_.Board().repaint(); }

void QtScreen::PaintCell(int16_t column, int16_t row, int16_t step) {
  if (closing_) return;
  pacer_.SetEnabled(PaceNow());
  paintingStep_ = step;
  painter_.PaintCell(column, row, step);
}

void QtScreen::BeginReveal(int cells) {
  pacer_.SetEnabled(PaceNow());
  pacer_.BeginReveal(cells);
}

void QtScreen::EndReveal() { pacer_.EndReveal(); }

bool QtScreen::RasterCanStretch() { return painter_.RasterCanStretch(); }

void QtScreen::PrepareBackground() {
  const bool stretch = settings_.On(Switch::StretchBackground) && painter_.RasterCanStretch();
  const QSize client = window_.ClientSize();
  // A client squeezed to nothing while the window settles has no background to stretch to;
  // the last one serves until the next real size.
  if (stretch && client.isEmpty()) return;
  painter_.PrepareBackground(stretch, client);
}

void QtScreen::ClearBoard() {
  FitImageToClient();
  painter_.Clear();
  PresentBoard();
}

void QtScreen::SetFocusCell(std::optional<Cell> cell) { window_.Board().SetFocusCell(cell); }

void QtScreen::ShowTitlePicture() {
  FitImageToClient();
  QImage& board = painter_.Image();
  const QImage& title = pictures_.TitlePicture();
  // The about box shows its top-left 299 x 192 pixels of the picture.
  const int width = std::min(AboutBox::ClientSize.width(), title.width());
  const int height = std::min(AboutBox::ClientSize.height(), title.height());
  if (painter_.RasterCanStretch()) {
    StretchBlt(board, 0, 0, board.width(), board.height(), title, 0, 0, width, height, SRCCOPY);
  } else {
    BitBlt(board, 0, 0, width, height, title, 0, 0, SRCCOPY);
  }
  PresentBoard();
}

bool QtScreen::WindowIsNormal() { return window_.IsNormal(); }
int QtScreen::ClientWidth() { return window_.ClientSize().width(); }
int QtScreen::ClientHeight() { return window_.ClientSize().height(); }

void QtScreen::SetClientSize(int width, int height) {
  window_.SetClientSize(QSize(width, height));
  FitImageToClient();
}

std::string QtScreen::Caption() { return window_.windowTitle().toStdString(); }
void QtScreen::SetCaption(const std::string& text) { window_.setWindowTitle(Q(text)); }

void QtScreen::SetMenuCaption(MenuItem item, const std::string& text) {
  if (QAction* action = window_.Item(item)) action->setText(Q(text));
}

void QtScreen::SetMenuVisible(MenuItem item, bool visible) {
  if (QAction* action = window_.Item(item)) action->setVisible(visible);
}

void QtScreen::ShowScore(int side, int16_t score) { companions_.Score(side).ShowScore(score); }

void QtScreen::SetScoreCaption(int side, const std::string& caption) {
  companions_.Score(side).setWindowTitle(Q(caption));
}

void QtScreen::DrawNextPieces(const std::array<int16_t, 3>& queue) {
  CompanionWindow& next = companions_.NextBox();
  pyra::DrawNextPieces(next.Image(), queue, pictures_.activeSheet, next.BackgroundColour());
  next.setAccessibleDescription(Q(NextPiecesText(queue)));
  next.Present();
}

void QtScreen::ShowMessage(const std::string& text) {
  if (closing_) return;
  companions_.Message().ShowText(Q(text));
}

void QtScreen::HideMessage() { companions_.Message().hide(); }

bool QtScreen::MessageVisible() { return companions_.Message().isVisible(); }

void QtScreen::ShowMessageWindow() {
  if (closing_) return;
  companions_.Message().show();
  companions_.Message().raise();
}

void QtScreen::ShowCompanions() {
  if (closing_) return;
  companions_.ShowCompanions();
}

void QtScreen::HideCompanions() { companions_.HideCompanions(); }

bool QtScreen::ProcessPendingEvents() {
  if (closing_) return false;
  QCoreApplication::processEvents();
  return !closing_;
}

// --- QtShell -------------------------------------------------------------------------------

QtShell::QtShell(MainWindow& window, CompanionWindows& companions, QtScreen& screen,
                 PictureHolder& pictures, QtClock& computerClock, QtClock& humanClock,
                 SettingsSession& session, QtSessionPorts& settingsWindows)
    : window_(window),
      companions_(companions),
      screen_(screen),
      pictures_(pictures),
      computerClock_(computerClock),
      humanClock_(humanClock),
      session_(session),
      sessionPorts_(settingsWindows) {}

QtShell::~QtShell() = default;

void QtShell::LoadSettings() {
  session_.LoadSettings();
  screen_.PrepareBackground();
}

void QtShell::ShowMainWindow() {
  window_.show();
  window_.raise();
  window_.activateWindow();
  // What comes from the first-run defaults decides how the window settles once its frame
  // is known.
  sessionPorts_.SettleMainWindow(session_.FirstRun());
}

void QtShell::OpenMusic() { session_.OpenMusic(); }

void QtShell::CloseMusic() {
  if (music_ != nullptr) music_->Close();
}

void QtShell::SaveWindowPositions() {
  CloseHelp();
  session_.SaveWindowPositions();
}

void QtShell::SaveOptions() { session_.SaveOptions(); }

void QtShell::ClearWindows() {
  companions_.Message().Clear();
  companions_.NextBox().Clear();
  companions_.ScoreBoxA().Clear();
  companions_.ScoreBoxB().Clear();
  screen_.ClearBoard();
  // The pictures themselves go with the program a moment later.
}

void QtShell::ShowSettingsDialog() {
  if (quitting_ || !settingsDialog_) return;
  settingsDialog_();
  if (window_.isVisible() && !window_.isMinimized()) window_.activateWindow();
}

void QtShell::ShowAboutBox() {
  if (quitting_) return;
  if (about_ == nullptr) about_ = new AboutBox(&window_, pictures_.TitlePicture());
  about_->Run();
  if (window_.isVisible() && !window_.isMinimized()) window_.activateWindow();
}

void QtShell::ShowHelpIndex() {
  if (quitting_) return;
  if (help_ == nullptr) help_ = std::make_unique<HelpWindow>(ProgramFolder());
  help_->ShowIndex();
}

void QtShell::CloseHelp() {
  if (help_ != nullptr) help_->close();
}

void QtShell::Quit() {
  if (quitting_) return;
  quitting_ = true;
  window_.SetClosing();
  screen_.SetClosing();
  computerClock_.SetEnabled(false);
  humanClock_.SetEnabled(false);
  companions_.CloseAll();
  if (about_ != nullptr) about_->hide();
  window_.hide();
  // Leaves the event loop once the running handler has returned. Before the loop runs (a
  // refused start) there is nothing to leave, and telling the application to quit would
  // only make the next event loop return at once.
  if (QThread::currentThread()->loopLevel() > 0) QCoreApplication::exit(0);
}

}  // namespace pyra
