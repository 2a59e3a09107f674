#include "app/menu_bar.h"

#include <QActionEvent>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleOptionMenuItem>
#include <algorithm>

namespace pyra {

namespace {

// Where a line's titles may go: from the first title's left edge to the line's right edge.
struct LineRoom {
  int start;
  int spacing;
  int end;
};

LineRoom Room(const QStyle& style, const QWidget* line, int width) {
  const int frame = style.pixelMetric(QStyle::PM_MenuBarPanelWidth, nullptr, line);
  const int margin = style.pixelMetric(QStyle::PM_MenuBarHMargin, nullptr, line);
  const int spacing = style.pixelMetric(QStyle::PM_MenuBarItemSpacing, nullptr, line);
  return {frame + margin + spacing, spacing, width - frame};
}

// The look of every line: a title wider than its line is cut off at the line's right edge
// instead of being folded away, and only the first line answers a lone Alt key.
class LineStyle : public QProxyStyle {
 public:
  QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                         const QWidget* widget) const override {
    QSize result = QProxyStyle::sizeFromContents(type, option, size, widget);
    if (type == CT_MenuBarItem && widget != nullptr) {
      const LineRoom room = Room(*this, widget, widget->width());
      result.setWidth(std::max(1, std::min(result.width(), room.end - room.start)));
    }
    return result;
  }

  void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                   const QWidget* widget) const override {
    const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
    if (element == CE_MenuBarItem && item != nullptr) {
      const QSize text = item->fontMetrics.size(Qt::TextShowMnemonic, item->text);
      const int whole = QProxyStyle::sizeFromContents(CT_MenuBarItem, item, text, nullptr).width();
      if (whole > item->rect.width()) {
        // Drawn at its whole width from its left edge, so that its beginning shows.
        QStyleOptionMenuItem wide(*item);
        wide.rect.setWidth(whole);
        painter->save();
        painter->setClipRect(item->rect, Qt::IntersectClip);
        QProxyStyle::drawControl(element, &wide, painter, widget);
        painter->restore();
        return;
      }
    }
    QProxyStyle::drawControl(element, option, painter, widget);
  }

  int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                QStyleHintReturn* returned) const override {
    if (hint == SH_MenuBar_AltKeyNavigation && widget != nullptr &&
        qobject_cast<const WrappingMenuBar*>(widget) == nullptr) {
      return 0;
    }
    return QProxyStyle::styleHint(hint, option, widget, returned);
  }
};

}  // namespace

WrappingMenuBar::WrappingMenuBar(QWidget* parent) : QMenuBar(parent) {
  // The lines are laid out here; a menu bar outside the window would not wrap.
  setNativeMenuBar(false);
  auto* style = new LineStyle;
  style->setParent(this);
  setStyle(style);
}

WrappingMenuBar::~WrappingMenuBar() {
  // The menus are this bar's children, deleted after it has stopped being a wrapping bar:
  // their titles must not call back into it.
  for (QAction* title : titles_) disconnect(title, nullptr, this, nullptr);
  for (const QPointer<QMenuBar>& line : more_) delete line.data();
}

QMenuBar* WrappingMenuBar::Line(size_t index) const {
  return index == 0 ? const_cast<WrappingMenuBar*>(this) : more_[index - 1];
}

int WrappingMenuBar::TitleWidth(QAction* title) const {
  QStyleOptionMenuItem option;
  initStyleOption(&option, title);
  const QSize text = fontMetrics().size(Qt::TextShowMnemonic, title->text());
  // Without a widget the line style leaves the width whole.
  return style()->sizeFromContents(QStyle::CT_MenuBarItem, &option, text, nullptr).width();
}

std::vector<int> WrappingMenuBar::LineOfEachTitle(int width) const {
  const LineRoom room = Room(*style(), this, width);
  std::vector<int> lines;
  int line = 0;
  int x = room.start;
  for (QAction* title : titles_) {
    if (title->isVisible()) {
      const int w = TitleWidth(title);
      if (x > room.start && x + w > room.end) {
        ++line;
        x = room.start;
      }
      x += w + room.spacing;
    }
    lines.push_back(line);
  }
  return lines;
}

int WrappingMenuBar::LineHeight() const { return QMenuBar::heightForWidth(width()); }

int WrappingMenuBar::heightForWidth(int width) const {
  const std::vector<int> lines = LineOfEachTitle(width);
  return (lines.empty() ? 1 : lines.back() + 1) * LineHeight();
}

QRect WrappingMenuBar::TitleGeometry(QAction* title) const {
  for (size_t k = 0; k <= more_.size(); ++k) {
    const QMenuBar* line = Line(k);
    if (line->isVisible() && line->actions().contains(title)) {
      return line->actionGeometry(title).translated(k == 0 ? QPoint() : line->pos() - pos());
    }
  }
  return {};
}

void WrappingMenuBar::Flow() {
  const std::vector<int> lineOf = LineOfEachTitle(width());
  const size_t lines = lineOf.empty() ? 1 : size_t(lineOf.back()) + 1;
  QWidget* host = parentWidget() != nullptr ? parentWidget() : this;
  while (more_.size() + 1 < lines) {
    auto* line = new QMenuBar(host);
    line->setNativeMenuBar(false);
    line->setStyle(style());
    more_.push_back(line);
  }
  dealing_ = true;
  const int height = LineHeight();
  for (size_t k = 0; k <= more_.size(); ++k) {
    QList<QAction*> wanted;
    for (qsizetype i = 0; i < titles_.size(); ++i) {
      if (size_t(lineOf[size_t(i)]) == k) wanted << titles_[i];
    }
    QMenuBar* line = Line(k);
    // Compared element by element: QList's own comparison trips the sanitizer on empty lists.
    const QList<QAction*> shown = line->actions();
    if (!std::equal(shown.begin(), shown.end(), wanted.begin(), wanted.end())) {
      for (QAction* action : shown) line->removeAction(action);
      line->addActions(wanted);
    }
    if (k > 0) {
      if (line->parentWidget() != host) line->setParent(host);
      const QPoint origin = host == this ? QPoint() : pos();
      line->setGeometry(origin.x(), origin.y() + int(k) * height, width(), height);
      line->setVisible(k < lines);
      line->raise();
    }
  }
  dealing_ = false;
}

void WrappingMenuBar::TitlesChanged() {
  updateGeometry();  // the number of lines may change with the titles
  Flow();
}

void WrappingMenuBar::actionEvent(QActionEvent* event) {
  QMenuBar::actionEvent(event);
  if (dealing_) return;
  QAction* action = event->action();
  if (event->type() == QEvent::ActionAdded) {
    const qsizetype before = event->before() ? titles_.indexOf(event->before()) : -1;
    titles_.insert(before < 0 ? titles_.size() : before, action);
    connect(action, &QAction::changed, this, &WrappingMenuBar::TitlesChanged);
    connect(action, &QObject::destroyed, this, [this, action] {
      titles_.removeAll(action);
      TitlesChanged();
    });
  } else if (event->type() == QEvent::ActionRemoved) {
    titles_.removeAll(action);
    disconnect(action, nullptr, this, nullptr);
  } else {
    return;
  }
  TitlesChanged();
}

void WrappingMenuBar::resizeEvent(QResizeEvent* event) {
  QMenuBar::resizeEvent(event);
  Flow();
}

void WrappingMenuBar::moveEvent(QMoveEvent* event) {
  QMenuBar::moveEvent(event);
  Flow();  // the lines below are the window's, placed from this bar's corner
}

}  // namespace pyra
