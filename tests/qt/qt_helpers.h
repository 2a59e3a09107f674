// Helpers for tests that drive real windows: a box answerer, a mouse release, and a picture
// comparison that says where two pictures differ.
#pragma once

#include <QApplication>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <functional>
#include <string>
#include <vector>

namespace pyra::testing {

// Answers every message box that opens while it lives (its default button unless told otherwise)
// and keeps what each showed. It looks on every pass of the event loop: boxes open in handlers.
struct BoxAnswerer {
  struct Seen {
    QString text, title;
    QMessageBox::Icon icon;
    QPoint offCentre;  // from the middle of the screen
  };
  std::vector<Seen> seen;
  std::function<void(QMessageBox*)> answer = [](QMessageBox* box) {
    box->defaultButton()->click();
  };
  QTimer poll;
  BoxAnswerer() {
    QObject::connect(&poll, &QTimer::timeout, [this] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (box == nullptr || !box->isVisible()) return;
      const QPoint offCentre =
          box->frameGeometry().center() - box->screen()->availableGeometry().center();
      seen.push_back({box->text(), box->windowTitle(), box->icon(), offCentre}), answer(box);
    });
    poll.start(0);
  }
};

// Presses and releases `button` at `at`, in the widget's own coordinates.
inline void Release(QWidget& widget, Qt::MouseButton button, QPointF at) {
  QMouseEvent press(QEvent::MouseButtonPress, at, widget.mapToGlobal(at), button, button,
                    Qt::NoModifier);
  QMouseEvent release(QEvent::MouseButtonRelease, at, widget.mapToGlobal(at), button, Qt::NoButton,
                      Qt::NoModifier);
  QApplication::sendEvent(&widget, &press), QApplication::sendEvent(&widget, &release);
}

// Empty when the pictures have the same size and pixels; otherwise the first difference.
inline std::string Difference(const QImage& got, const QImage& want) {
  if (got.size() != want.size()) return "another size";
  for (int i = 0; i < got.width() * got.height(); ++i) {
    const QRgb a = got.pixel(i % got.width(), i / got.width()),
               b = want.pixel(i % got.width(), i / got.width());
    if (a != b)
      return QString("pixel %1 is %2, not %3").arg(i).arg(a, 0, 16).arg(b, 0, 16).toStdString();
  }
  return "";
}

}  // namespace pyra::testing
