// The main window's client area: the persistent board image shown pixel for pixel, the
// keyboard's focus cell framed over it, mouse releases reported in client pixels, and the
// board offered to screen readers as a table of named cells.
#pragma once

#include <QImage>
#include <QWidget>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "match/game.h"
#include "rules/board.h"

namespace pyra {

// How a screen reader names a cell: "3列目 2行目 火" (counted from 1).
std::string CellName(Cell cell, int16_t code);

class BoardWidget : public QWidget {
  Q_OBJECT

 public:
  explicit BoardWidget(QWidget* parent);

  void SetImage(const QImage* image) { image_ = image; }
  // What lies on the board, for the table a screen reader sees.
  void SetState(const GameState* state) { state_ = state; }
  void SetMouseHandler(std::function<void(MouseButton, int, int)> handler) {
    mouseUp_ = std::move(handler);
  }
  void SetResizeHandler(std::function<void(QSize)> handler) { resized_ = std::move(handler); }

  // Frames a cell, or none; a screen reader is told the framed cell has the focus.
  void SetFocusCell(std::optional<Cell> cell);
  // A cell was drawn again: a screen reader is told when what lies there has changed.
  void CellPainted(Cell cell);
  std::optional<Cell> FocusCell() const { return focus_; }
  const GameState* State() const { return state_; }

  // The frame: black, yellow, black from the cell's edge inwards, one pixel each, seen on any
  // piece or background and leaving the piece itself alone.
  static constexpr QRgb FrameColours[3] = {0xff000000, 0xffffd800, 0xff000000};

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  const QImage* image_ = nullptr;
  const GameState* state_ = nullptr;
  std::optional<Cell> focus_;
  std::vector<int16_t> toldContents_;  // by cell index; -1 where nothing was told
  std::function<void(MouseButton, int, int)> mouseUp_;
  std::function<void(QSize)> resized_;
};

}  // namespace pyra
