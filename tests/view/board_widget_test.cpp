// The board for a person and a screen reader: focus frame over its image; a table of named cells.
#include "view/board_widget.h"

#include <gtest/gtest.h>

#include <QAccessible>

#include "qt_helpers.h"

namespace pyra {
namespace {

TEST(BoardWidget, FramesTheFocusCellInsideItAndLeavesTheRestAlone) {
  QImage image(4 * CellPixels, 3 * CellPixels, QImage::Format_RGB32);
  image.fill(0xff3060a0);
  BoardWidget board(nullptr);
  board.resize(image.size());
  board.SetImage(&image);
  EXPECT_EQ(testing::Difference(board.grab().toImage(), image), "") << "no frame yet";

  board.SetFocusCell(Cell{2, 1});
  const QImage shown = board.grab().toImage().convertToFormat(QImage::Format_RGB32);
  const QRect cell(64, 32, 32, 32);
  // Rings 0, 1 and 2 from the cell's edge are the frame; everything else is the image.
  for (int x = 0, y = 0; y < image.height(); x = (x + 1) % image.width(), y += x == 0) {
    const int ring =
        cell.contains(x, y)
            ? std::min({x - cell.left(), cell.right() - x, y - cell.top(), cell.bottom() - y})
            : -1;
    const QRgb want = ring >= 0 && ring < 3 ? BoardWidget::FrameColours[ring] : image.pixel(x, y);
    ASSERT_EQ(shown.pixel(x, y), want) << "pixel " << x << "," << y << " ring " << ring;
  }
  board.SetFocusCell(std::nullopt);
  EXPECT_EQ(testing::Difference(board.grab().toImage(), image), "") << "the frame is gone";
}

TEST(BoardWidget, IsATableOfNamedCellsWithTheFocusCellFocused) {
  GameState state;
  state.boardCols = 3, state.boardRows = 2;
  state.board[CellIndex(state, 2, 1)] = Fire;
  state.board[CellIndex(state, 0, 1)] = Blocked;
  state.board[CellIndex(state, 1, 0)] = Truck;
  BoardWidget board(nullptr);
  board.SetState(&state);
  QAccessibleInterface* table = QAccessible::queryAccessibleInterface(&board);
  ASSERT_TRUE(table != nullptr && table->tableInterface() != nullptr);
  EXPECT_EQ(std::tuple(table->role(), table->text(QAccessible::Name), table->childCount(),
                       table->tableInterface()->columnCount(), table->tableInterface()->rowCount()),
            std::tuple(QAccessible::Table, QString("盤面"), 6, 3, 2));
  const std::tuple<int, int, const char*> cells[] = {{0, 0, "1列目 1行目 空き"},
                                                     {1, 0, "2列目 1行目 トラック"},
                                                     {2, 1, "3列目 2行目 火"},
                                                     {0, 1, "1列目 2行目 立入禁止"}};
  for (const auto& [column, row, name] : cells) {
    QAccessibleInterface* cell = table->tableInterface()->cellAt(row, column);
    ASSERT_NE(cell, nullptr) << name;
    EXPECT_EQ(std::tuple(cell->role(), cell->text(QAccessible::Name), table->indexOfChild(cell),
                         cell->tableCellInterface()->columnIndex()),
              std::tuple(QAccessible::Cell, QString(name), row * 3 + column, column));
    EXPECT_EQ(table->child(row * 3 + column), cell) << name;
  }
  EXPECT_EQ(table->tableInterface()->cellAt(2, 0), nullptr) << "a row past the board";
  EXPECT_EQ(table->focusChild(), nullptr);
  board.SetFocusCell(Cell{1, 0});
  ASSERT_NE(table->focusChild(), nullptr);
  EXPECT_EQ(table->focusChild()->text(QAccessible::Name), QString("2列目 1行目 トラック"));
  EXPECT_TRUE(table->focusChild()->state().focusable);
}

}  // namespace
}  // namespace pyra
