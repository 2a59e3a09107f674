// The main window's menu bar. Titles that do not fit on one line wrap onto more lines, as on
// the original platform, instead of folding behind an extension button, and a title wider
// than the window is cut off at its edge: every title stays one click away at every width.
#pragma once

#include <QMenuBar>
#include <QPointer>
#include <vector>

namespace pyra {

// This bar is the first line; the lines below it are menu bars of their own, laid over it as
// its siblings, so that a screen reader, which lists a window's widgets and a menu bar's
// titles but not a menu bar's widgets, finds every line.
class WrappingMenuBar : public QMenuBar {
  Q_OBJECT

 public:
  explicit WrappingMenuBar(QWidget* parent = nullptr);
  ~WrappingMenuBar() override;

  // Every title, in order, whichever line shows it.
  const QList<QAction*>& Titles() const { return titles_; }
  // Where a title is shown, in this bar's coordinates; empty for what is none of its titles.
  QRect TitleGeometry(QAction* title) const;

  // All lines that the titles need at this width.
  int heightForWidth(int width) const override;

 protected:
  void actionEvent(QActionEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void moveEvent(QMoveEvent* event) override;

 private:
  // The line of each title at this width: a title that would cross the right edge starts a
  // new line, and one alone on its line stays there, however wide.
  std::vector<int> LineOfEachTitle(int width) const;
  int TitleWidth(QAction* title) const;
  int LineHeight() const;
  QMenuBar* Line(size_t index) const;
  // Deals the titles out to the lines for the bar's present width.
  void Flow();
  void TitlesChanged();

  QList<QAction*> titles_;
  std::vector<QPointer<QMenuBar>> more_;  // the lines after the first
  bool dealing_ = false;                  // moving titles between lines is no change of the titles
};

}  // namespace pyra
