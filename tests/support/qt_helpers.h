// Real-window test helpers: Qt values printed, a modal answerer, a release, a picture comparison.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QMouseEvent>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <deque>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

// Qt's values as a failing check prints them.
inline void PrintTo(const QString& t, std::ostream* out) { *out << '"' << t.toStdString() << '"'; }
inline void PrintTo(const QSize& s, std::ostream* out) { *out << s.width() << "x" << s.height(); }
inline void PrintTo(const QPoint& p, std::ostream* out) { *out << p.x() << "," << p.y(); }
inline void PrintTo(const QRect& r, std::ostream* out) {
  *out << r.x() << "," << r.y() << " " << r.width() << "x" << r.height();
}

namespace pyra::testing {

// Reruns this test in a process of its own with these variables, for what is fixed once the app
// starts (platform, screen DPI). What it printed on failure; nothing on success or within that run.
inline bool InRunOfItsOwn() { return qEnvironmentVariableIsSet("PYRA_TEST_RUN_OF_ITS_OWN"); }
inline std::string RunOfItsOwn(const std::vector<std::pair<QString, QString>>& variables) {
  if (InRunOfItsOwn()) return "";
  QProcess run;
  auto env = QProcessEnvironment::systemEnvironment();
  for (const auto& [name, value] : variables) env.insert(name, value);
  env.insert("PYRA_TEST_RUN_OF_ITS_OWN", "1");
  run.setProcessEnvironment(env), run.setProcessChannelMode(QProcess::MergedChannels);
  const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
  run.start(QCoreApplication::applicationFilePath(),
            {QString("--gtest_filter=%1.%2").arg(test->test_suite_name(), test->name())});
  if (!run.waitForFinished(30000)) return "timed out";
  return run.exitStatus() == QProcess::NormalExit && run.exitCode() == 0
             ? ""
             : run.readAll().toStdString() + " (exit " + std::to_string(run.exitCode()) + ")";
}

// Plays a person at modal windows, looking on every event-loop pass (they open in handlers). Each
// message box is answered (default button, or as Esc) and remembered; a step runs once its named
// window is on top. A step that never comes closes its window after 20 s: a failure, not a hang.
struct ModalAnswerer {
  struct Seen {
    QString text, title;
    QMessageBox::Icon icon;
    QPoint offCentre;  // from the middle of the window it stands over, else of the screen
  };
  using Step = std::pair<QString, std::function<void(QWidget*)>>;
  std::vector<Seen> seen;
  std::deque<Step> steps;
  QTimer poll;
  QElapsedTimer clock;
  explicit ModalAnswerer(std::deque<Step> script = {}, bool byEscape = false)
      : steps(std::move(script)) {
    QObject::connect(&poll, &QTimer::timeout, [this, byEscape] {
      QWidget* top = QApplication::activeModalWidget();
      if (top == nullptr || !top->isVisible()) return;
      if (auto* box = qobject_cast<QMessageBox*>(top)) {
        const QWidget* over = box->parentWidget();
        const QPoint middle = over != nullptr && over->isVisible()
                                  ? over->frameGeometry().center()
                                  : box->screen()->availableGeometry().center();
        const QPoint offCentre = box->frameGeometry().center() - middle;
        seen.push_back({box->text(), box->windowTitle(), box->icon(), offCentre});
        (byEscape ? box->escapeButton() : box->defaultButton())->click();
      } else if (clock.hasExpired(20000)) {
        if (auto* dialog = qobject_cast<QDialog*>(top)) dialog->reject();
      } else if (!steps.empty() && steps.front().first == top->objectName()) {
        const auto step = steps.front().second;
        steps.pop_front(), step(top);
      }
    });
    poll.start(0), clock.start();
  }
  QStringList Texts() const {
    QStringList texts;
    for (const Seen& box : seen) texts << box.text;
    return texts;
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
