#include "app/menu_accessibility.h"

#include <QAccessible>
#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QWindow>

namespace pyra {

QString ShownCaption(const QString& caption) {
  QString out;
  const QString text = caption.section(QLatin1Char('\t'), 0, 0);
  for (qsizetype i = 0; i < text.size(); ++i) {
    if (text[i] == QLatin1Char('&')) {
      if (i + 1 >= text.size()) break;
      ++i;  // "&&" shows one "&"; "&x" shows an underlined x
    }
    out += text[i];
  }
  return out;
}

namespace {

// The menu bar line that holds a title now, or the menu of an item; none for an action shown
// in neither. A menu bar also lends its titles to a hidden overflow menu of its own, which is
// never the holder of a title.
QWidget* Holder(QAction* action) {
  QWidget* menu = nullptr;
  for (QObject* o : action->associatedObjects()) {
    auto* w = qobject_cast<QWidget*>(o);
    if (w == nullptr || !w->actions().contains(action)) continue;
    if (qobject_cast<QMenuBar*>(w) != nullptr) return w;
    if (qobject_cast<QMenu*>(w) != nullptr && menu == nullptr) menu = w;
  }
  return menu;
}

// A menu title or item. The widget that shows it is looked up each time: a title moves from
// line to line of a wrapping menu bar as the window's width changes.
class MenuEntry final : public QAccessibleInterface, public QAccessibleActionInterface {
 public:
  explicit MenuEntry(QAction* action) : action_(action) {}

  bool isValid() const override { return !action_.isNull() && Owner() != nullptr; }
  QObject* object() const override { return action_; }
  QWindow* window() const override {
    QWidget* owner = Owner();
    return owner != nullptr ? owner->window()->windowHandle() : nullptr;
  }
  QAccessibleInterface* parent() const override {
    return QAccessible::queryAccessibleInterface(Owner());
  }
  QAccessibleInterface* child(int index) const override {
    return index == 0 && Submenu() != nullptr ? QAccessible::queryAccessibleInterface(Submenu())
                                              : nullptr;
  }
  int childCount() const override { return Submenu() != nullptr ? 1 : 0; }
  int indexOfChild(const QAccessibleInterface* child) const override {
    return child != nullptr && Submenu() != nullptr && child->object() == Submenu() ? 0 : -1;
  }
  QAccessibleInterface* childAt(int, int) const override { return nullptr; }
  QString text(QAccessible::Text t) const override {
    if (action_.isNull()) return {};
    if (t == QAccessible::Name) return ShownCaption(action_->text());
    if (t == QAccessible::Accelerator) return action_->text().section(QLatin1Char('\t'), 1);
    return {};
  }
  void setText(QAccessible::Text, const QString&) override {}
  QRect rect() const override {
    QWidget* owner = Owner();
    if (owner == nullptr) return {};
    const QRect r = Geometry(owner);
    return r.isEmpty() ? QRect() : QRect(owner->mapToGlobal(r.topLeft()), r.size());
  }
  QAccessible::Role role() const override {
    return !action_.isNull() && action_->isSeparator() ? QAccessible::Separator
                                                       : QAccessible::MenuItem;
  }
  QAccessible::State state() const override {
    QAccessible::State s;
    QWidget* owner = Owner();
    if (action_.isNull() || owner == nullptr) return s;
    s.invisible = !action_->isVisible() || !owner->isVisible() || Geometry(owner).isEmpty();
    s.disabled = !action_->isEnabled();
    s.focusable = !action_->isSeparator();
    s.checkable = action_->isCheckable();
    s.checked = action_->isChecked();
    s.hasPopup = Submenu() != nullptr;
    s.focused = ActiveAction(owner) == action_;
    return s;
  }
  void* interface_cast(QAccessible::InterfaceType type) override {
    return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this)
                                                : nullptr;
  }

  QStringList actionNames() const override {
    if (action_.isNull() || action_->isSeparator()) return {};
    return {Submenu() != nullptr ? showMenuAction() : pressAction()};
  }
  void doAction(const QString& name) override {
    QWidget* owner = Owner();
    if (owner == nullptr || !action_->isEnabled()) return;
    if (name == pressAction()) {
      if (auto* menu = qobject_cast<QMenu*>(owner)) menu->hide();
      // Later, from the event loop: an item may open a modal window, and the screen reader
      // waits for this call to return.
      QMetaObject::invokeMethod(action_, &QAction::trigger, Qt::QueuedConnection);
    } else if (name == showMenuAction()) {
      if (Submenu()->isVisible()) {
        Submenu()->hide();
      } else if (auto* bar = qobject_cast<QMenuBar*>(owner)) {
        bar->setActiveAction(action_);
      } else if (auto* menu = qobject_cast<QMenu*>(owner)) {
        menu->setActiveAction(action_);
      }
    }
  }
  QStringList keyBindingsForAction(const QString&) const override { return {}; }

 private:
  QMenu* Submenu() const { return action_.isNull() ? nullptr : action_->menu(); }
  QWidget* Owner() const { return action_.isNull() ? nullptr : Holder(action_); }
  QRect Geometry(QWidget* owner) const {
    if (auto* bar = qobject_cast<QMenuBar*>(owner)) return bar->actionGeometry(action_);
    if (auto* menu = qobject_cast<QMenu*>(owner)) return menu->actionGeometry(action_);
    return {};
  }
  static QAction* ActiveAction(QWidget* owner) {
    if (auto* bar = qobject_cast<QMenuBar*>(owner)) return bar->activeAction();
    if (auto* menu = qobject_cast<QMenu*>(owner)) return menu->activeAction();
    return nullptr;
  }

  QPointer<QAction> action_;
};

QAccessibleInterface* MenuEntryFactory(const QString&, QObject* object) {
  auto* action = qobject_cast<QAction*>(object);
  return action != nullptr && Holder(action) != nullptr ? new MenuEntry(action) : nullptr;
}

}  // namespace

void InstallMenuAccessibility() {
  static const bool installed = (QAccessible::installFactory(&MenuEntryFactory), true);
  (void)installed;
}

}  // namespace pyra
