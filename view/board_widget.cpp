#include "view/board_widget.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPointer>
#include <QWindow>
#include <cmath>
#include <vector>

#include "match/messages.h"

namespace pyra {

namespace {

QRect CellRect(Cell cell) {
  return {cell.column * CellPixels, cell.row * CellPixels, CellPixels, CellPixels};
}

QString Q(const std::string& text) { return QString::fromStdString(text); }

// One cell of the board's table.
class BoardCell final : public QAccessibleInterface, public QAccessibleTableCellInterface {
 public:
  BoardCell(BoardWidget* board, Cell cell) : board_(board), cell_(cell) {}

  bool isValid() const override { return !board_.isNull(); }
  QObject* object() const override { return nullptr; }
  QWindow* window() const override { return board_->window()->windowHandle(); }
  QAccessibleInterface* parent() const override {
    return QAccessible::queryAccessibleInterface(board_.data());
  }
  QAccessibleInterface* child(int) const override { return nullptr; }
  int childCount() const override { return 0; }
  int indexOfChild(const QAccessibleInterface*) const override { return -1; }
  QAccessibleInterface* childAt(int, int) const override { return nullptr; }
  QString text(QAccessible::Text t) const override {
    const GameState* s = board_->State();
    if (t != QAccessible::Name || s == nullptr) return {};
    return Q(CellName(cell_, s->board[CellIndex(*s, cell_.column, cell_.row)]));
  }
  void setText(QAccessible::Text, const QString&) override {}
  QRect rect() const override {
    const QRect r = CellRect(cell_);
    return {board_->mapToGlobal(r.topLeft()), r.size()};
  }
  QAccessible::Role role() const override { return QAccessible::Cell; }
  QAccessible::State state() const override {
    QAccessible::State s;
    s.focusable = true;
    s.focused = board_->hasFocus() && board_->FocusCell() == cell_;
    return s;
  }
  void* interface_cast(QAccessible::InterfaceType type) override {
    return type == QAccessible::TableCellInterface
               ? static_cast<QAccessibleTableCellInterface*>(this)
               : nullptr;
  }

  bool isSelected() const override { return false; }
  QList<QAccessibleInterface*> columnHeaderCells() const override { return {}; }
  QList<QAccessibleInterface*> rowHeaderCells() const override { return {}; }
  int columnIndex() const override { return cell_.column; }
  int rowIndex() const override { return cell_.row; }
  int columnExtent() const override { return 1; }
  int rowExtent() const override { return 1; }
  QAccessibleInterface* table() const override { return parent(); }

 private:
  QPointer<BoardWidget> board_;
  Cell cell_;
};

// The board as a table of rows and columns, one cell a child; the cells' interfaces are made
// on demand and dropped when the board changes its size.
class BoardTable final : public QAccessibleWidget, public QAccessibleTableInterface {
 public:
  explicit BoardTable(BoardWidget* board) : QAccessibleWidget(board, QAccessible::Table) {}
  ~BoardTable() override { Forget(); }

  void* interface_cast(QAccessible::InterfaceType type) override {
    if (type == QAccessible::TableInterface) return static_cast<QAccessibleTableInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
  }
  QString text(QAccessible::Text t) const override {
    return t == QAccessible::Name ? QString::fromUtf8(text::BoardName) : QAccessibleWidget::text(t);
  }
  int childCount() const override { return rowCount() * columnCount(); }
  // Row by row, as a table reads.
  QAccessibleInterface* child(int index) const override {
    if (index < 0 || index >= childCount()) return nullptr;
    return cellAt(index / columnCount(), index % columnCount());
  }
  int indexOfChild(const QAccessibleInterface* child) const override {
    // Qt's accessor is not const, though it only casts.
    auto* other = const_cast<QAccessibleInterface*>(child);
    const auto* cell = other != nullptr ? other->tableCellInterface() : nullptr;
    if (cell == nullptr || child->parent() != this) return -1;
    return cell->rowIndex() * columnCount() + cell->columnIndex();
  }
  QAccessibleInterface* childAt(int x, int y) const override {
    const QPoint at = Board()->mapFromGlobal(QPoint(x, y));
    if (at.x() < 0 || at.y() < 0) return nullptr;
    return cellAt(at.y() / CellPixels, at.x() / CellPixels);
  }
  QAccessibleInterface* focusChild() const override {
    const std::optional<Cell> focus = Board()->FocusCell();
    return focus ? cellAt(focus->row, focus->column) : nullptr;
  }

  QAccessibleInterface* caption() const override { return nullptr; }
  QAccessibleInterface* summary() const override { return nullptr; }
  QAccessibleInterface* cellAt(int row, int column) const override {
    if (row < 0 || column < 0 || row >= rowCount() || column >= columnCount()) return nullptr;
    const QSize size(columnCount(), rowCount());
    if (size != size_) {
      Forget();
      size_ = size;
      cells_.assign(size.width() * size.height(), 0);
    }
    QAccessible::Id& id = cells_[column * size.height() + row];
    if (id == 0) {
      const Cell cell{static_cast<int16_t>(column), static_cast<int16_t>(row)};
      id = QAccessible::registerAccessibleInterface(new BoardCell(Board(), cell));
    }
    return QAccessible::accessibleInterface(id);
  }
  int columnCount() const override {
    const GameState* s = Board()->State();
    return s != nullptr ? s->boardCols : 0;
  }
  int rowCount() const override {
    const GameState* s = Board()->State();
    return s != nullptr ? s->boardRows : 0;
  }
  QString columnDescription(int column) const override {
    return QString::number(column + 1) + QString::fromUtf8(text::ColumnAfter);
  }
  QString rowDescription(int row) const override {
    return QString::number(row + 1) + QString::fromUtf8(text::RowAfter);
  }
  int selectedCellCount() const override { return 0; }
  int selectedColumnCount() const override { return 0; }
  int selectedRowCount() const override { return 0; }
  QList<QAccessibleInterface*> selectedCells() const override { return {}; }
  QList<int> selectedColumns() const override { return {}; }
  QList<int> selectedRows() const override { return {}; }
  bool isColumnSelected(int) const override { return false; }
  bool isRowSelected(int) const override { return false; }
  bool selectRow(int) override { return false; }
  bool selectColumn(int) override { return false; }
  bool unselectRow(int) override { return false; }
  bool unselectColumn(int) override { return false; }
  void modelChange(QAccessibleTableModelChangeEvent*) override {}

 private:
  BoardWidget* Board() const { return static_cast<BoardWidget*>(widget()); }
  void Forget() const {
    for (QAccessible::Id id : cells_) {
      if (id != 0) QAccessible::deleteAccessibleInterface(id);
    }
    cells_.clear();
  }
  mutable std::vector<QAccessible::Id> cells_;
  mutable QSize size_;
};

QAccessibleInterface* BoardAccessibility(const QString&, QObject* object) {
  auto* board = qobject_cast<BoardWidget*>(object);
  return board != nullptr ? new BoardTable(board) : nullptr;
}

}  // namespace

std::string CellName(Cell cell, int16_t code) {
  const int kinds = static_cast<int>(std::size(text::CellContents));
  return std::to_string(cell.column + 1) + text::ColumnAfter + " " + std::to_string(cell.row + 1) +
         text::RowAfter + " " + (code >= 0 && code < kinds ? text::CellContents[code] : "");
}

BoardWidget::BoardWidget(QWidget* parent) : QWidget(parent) {
  static const bool installed = (QAccessible::installFactory(&BoardAccessibility), true);
  (void)installed;
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::StrongFocus);
  setMinimumSize(0, 0);
}

void BoardWidget::SetFocusCell(std::optional<Cell> cell) {
  if (cell == focus_) return;
  if (focus_) update(CellRect(*focus_));
  focus_ = cell;
  if (!focus_) return;
  update(CellRect(*focus_));
  if (!QAccessible::isActive()) return;
  if (auto* table = QAccessible::queryAccessibleInterface(this)->tableInterface()) {
    if (QAccessibleInterface* focused = table->cellAt(focus_->row, focus_->column)) {
      QAccessibleEvent event(focused, QAccessible::Focus);
      QAccessible::updateAccessibility(&event);
    }
  }
}

void BoardWidget::CellPainted(Cell cell) {
  if (state_ == nullptr || !QAccessible::isActive()) return;
  const int index = CellIndex(*state_, cell.column, cell.row);
  if (index < 0 || index >= BoardCapacity) return;
  toldContents_.resize(BoardCapacity, -1);
  const int16_t code = state_->board[index];
  if (toldContents_[index] == code) return;
  toldContents_[index] = code;
  if (auto* table = QAccessible::queryAccessibleInterface(this)->tableInterface()) {
    if (QAccessibleInterface* named = table->cellAt(cell.row, cell.column)) {
      QAccessibleEvent event(named, QAccessible::NameChanged);
      QAccessible::updateAccessibility(&event);
    }
  }
}

void BoardWidget::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  // One image pixel per logical pixel; on a scaled screen each becomes a block of whole
  // device pixels, never a blur.
  painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
  const QRect area = event->rect();
  if (image_ != nullptr && !image_->isNull()) {
    const QRect drawn = area.intersected(image_->rect());
    if (!drawn.isEmpty()) painter.drawImage(drawn, *image_, drawn);
    // Whatever the image does not cover yet (the window has just grown) shows white.
    const QRegion rest = QRegion(area).subtracted(QRegion(image_->rect()));
    for (const QRect& r : rest) painter.fillRect(r, Qt::white);
  } else {
    painter.fillRect(area, Qt::white);
  }
  if (!focus_) return;
  QRect frame = CellRect(*focus_);
  for (QRgb colour : FrameColours) {
    painter.setPen(QColor::fromRgb(colour));
    painter.drawRect(frame.adjusted(0, 0, -1, -1));
    frame.adjust(1, 1, -1, -1);
  }
}

void BoardWidget::mouseReleaseEvent(QMouseEvent* event) {
  event->accept();
  if (!mouseUp_) return;
  MouseButton button = MouseButton::Middle;  // any other button only counts as a click
  if (event->button() == Qt::LeftButton) {
    button = MouseButton::Left;
  } else if (event->button() == Qt::RightButton) {
    button = MouseButton::Right;
  }
  const QPointF p = event->position();
  mouseUp_(button, static_cast<int>(std::floor(p.x())), static_cast<int>(std::floor(p.y())));
}

void BoardWidget::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (resized_) resized_(size());
}

}  // namespace pyra
