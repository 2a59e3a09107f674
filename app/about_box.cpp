#include "app/about_box.h"

#include <QPaintEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>

namespace pyra {

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
