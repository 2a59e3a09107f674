// Helpers for tests that drive real windows: a box answerer, a mouse release, and a picture
// comparison that says where two pictures differ.
#pragma once

#include <QApplication>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>
#include <functional>
#include <string>
#include <vector>

namespace pyra::testing {

struct SeenBox {
  QString text, title;
  QMessageBox::Icon icon;
};

// Answers every message box that opens while it lives, by default with its default button,
// and keeps what each one showed. It looks on every pass of the event loop, since a box
// opens from inside the game's handlers.
struct BoxAnswerer {
  std::function<void(QMessageBox*)> answer = [](QMessageBox* box) { box->defaultButton()->click(); };
  std::vector<SeenBox> seen;
  QTimer poll;
  BoxAnswerer() {
    QObject::connect(&poll, &QTimer::timeout, [this] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (box == nullptr || !box->isVisible()) return;
      seen.push_back({box->text(), box->windowTitle(), box->icon()});
      answer(box);
    });
    poll.start(0);
  }
};

// Presses and releases `button` at `at`, in the widget's own coordinates.
inline void Release(QWidget& widget, Qt::MouseButton button, QPointF at) {
  for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
    QMouseEvent event(type, at, widget.mapToGlobal(at), button,
                      type == QEvent::MouseButtonPress ? button : Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&widget, &event);
  }
}

// Empty when the pictures have the same size and pixels; otherwise the first difference.
inline std::string Difference(const QImage& got, const QImage& want) {
  if (got.size() != want.size()) return "another size";
  for (int i = 0; i < got.width() * got.height(); ++i) {
    const int x = i % got.width(), y = i / got.width();
    if (got.pixel(x, y) != want.pixel(x, y)) {
      return QString("%1,%2 is %3, not %4").arg(x).arg(y).arg(got.pixel(x, y), 0, 16).arg(want.pixel(x, y), 0, 16).toStdString();
    }
  }
  return "";
}

}  // namespace pyra::testing
