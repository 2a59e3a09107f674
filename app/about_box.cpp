#include "app/about_box.h"

#include <QPaintEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>

#if QT_CONFIG(xcb)
#include <xcb/xcb.h>

#include <QGuiApplication>
#include <cstdlib>
#include <cstring>
#endif

namespace pyra {

namespace {

// Qt writes the application's name into an empty title; the box has no title text at all.
void ClearNativeTitle([[maybe_unused]] QWidget& window) {
#if QT_CONFIG(xcb)
  // Only a window on an X server of its own has such a title (not one drawn off screen).
  const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  if (x11 == nullptr || QGuiApplication::platformName() != QLatin1String("xcb")) return;
  xcb_connection_t* connection = x11->connection();
  if (connection == nullptr) return;
  const auto atom = [connection](const char* name) {
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, uint16_t(strlen(name)), name), nullptr);
    const xcb_atom_t result = reply != nullptr ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    free(reply);
    return result;
  };
  const xcb_atom_t netName = atom("_NET_WM_NAME");
  const xcb_atom_t utf8 = atom("UTF8_STRING");
  if (netName == XCB_ATOM_NONE || utf8 == XCB_ATOM_NONE) return;
  xcb_change_property(connection, XCB_PROP_MODE_REPLACE, xcb_window_t(window.winId()), netName,
                      utf8, 8, 0, nullptr);
  xcb_flush(connection);
#endif
}

}  // namespace

AboutBox::AboutBox(QWidget* parent, const QImage& picture)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint),
      picture_(picture),
      ok_(new QPushButton(QStringLiteral("OK"), this)) {
  setWindowTitle(QString());
  setModal(true);
  setFixedSize(ClientSize);
  setAttribute(Qt::WA_OpaquePaintEvent);
  ok_->setGeometry(OkGeometry);
  ok_->setDefault(true);
  // OK only hides the box: it stays loaded for the next opening.
  connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
}

void AboutBox::Run() {
  if (!placed_) {
    const QScreen* screen = parentWidget() ? parentWidget()->screen() : this->screen();
    if (screen != nullptr) {
      const QRect area = screen->geometry();
      move(area.x() + area.width() / 2 - width() / 2, area.y() + area.height() / 2 - height() / 2);
    }
    placed_ = true;
  }
  ok_->setFocus();
  ClearNativeTitle(*this);
  exec();
}

void AboutBox::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
  painter.fillRect(event->rect(), palette().color(QPalette::Window));
  // Drawn from the top-left corner and cut off by the client area.
  painter.drawImage(QPoint(0, 0), picture_);
}

}  // namespace pyra
