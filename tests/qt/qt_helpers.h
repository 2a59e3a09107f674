// Helpers for tests that drive real windows: a box answerer, a mouse release, and an image
// comparison that says where two pictures differ.
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QImage>
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
  QMessageBox::StandardButtons buttons;
};

// Answers every message box that opens while it lives and keeps what each one showed. It
// looks on every pass of the event loop, since a box opens from inside the game's handlers.
class BoxAnswerer {
 public:
  // How a box is answered: its default button unless told otherwise.
  std::function<void(QMessageBox*)> answer = [](QMessageBox* box) {
    box->defaultButton()->click();
  };
  std::vector<SeenBox> seen;

  BoxAnswerer() {
    poll_.setInterval(0);
    QObject::connect(&poll_, &QTimer::timeout, [this] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (box == nullptr || !box->isVisible()) return;
      seen.push_back({box->text(), box->windowTitle(), box->icon(), box->standardButtons()});
      answer(box);
    });
    poll_.start();
  }

 private:
  QTimer poll_;
};

// Presses and releases `button` at `at`, in the widget's own coordinates.
inline void Release(QWidget& widget, Qt::MouseButton button, QPointF at) {
  const QPointF global = widget.mapToGlobal(at);
  QMouseEvent press(QEvent::MouseButtonPress, at, global, button, button, Qt::NoModifier);
  QMouseEvent release(QEvent::MouseButtonRelease, at, global, button, Qt::NoButton,
                      Qt::NoModifier);
  QApplication::sendEvent(&widget, &press);
  QApplication::sendEvent(&widget, &release);
}

// Empty when the pictures have the same size and pixels; otherwise the first difference.
inline std::string Difference(const QImage& got, const QImage& want) {
  if (got.size() != want.size()) {
    return QString("size %1x%2 instead of %3x%4")
        .arg(got.width()).arg(got.height()).arg(want.width()).arg(want.height()).toStdString();
  }
  for (int y = 0; y < got.height(); ++y) {
    for (int x = 0; x < got.width(); ++x) {
      if (got.pixel(x, y) != want.pixel(x, y)) {
        return QString("pixel %1,%2 is %3 instead of %4")
            .arg(x).arg(y).arg(got.pixel(x, y), 8, 16).arg(want.pixel(x, y), 8, 16).toStdString();
      }
    }
  }
  return "";
}

}  // namespace pyra::testing
