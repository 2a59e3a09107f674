// Painting costs: one cell at full and reduced size, a small-tile background, and the
// painting work of dissolving in a full 50 x 50 board.
#include <benchmark/benchmark.h>

#include <QImage>
#include <algorithm>
#include <numeric>
#include <random>
#include <vector>

#include "rules/board.h"
#include "rules/game_state.h"
#include "view/board_painter.h"
#include "view/picture_holder.h"

namespace pyra {
namespace {

QImage NoisePicture(int w, int h, uint32_t seed) {
  std::mt19937 rng(seed);
  QImage picture(w, h, QImage::Format_RGB32);
  for (int y = 0; y < h; ++y) {
    auto* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
    for (int x = 0; x < w; ++x) line[x] = 0xFF000000u | (rng() & 0xFFFFFFu);
  }
  return picture;
}

// A full 50 x 50 board of pieces over a tiled background, painted into a 1600 x 1600 client.
struct Scene {
  explicit Scene(int tileSize) : painter(state, pictures) {
    state.boardCols = MaxBoardCols;
    state.boardRows = MaxBoardRows;
    for (int i = 0; i < state.CellCount(); ++i) state.board[i] = static_cast<int16_t>(1 + i % 5);
    pictures.activeSheet = PictureHolder::GeneratedSheet();
    pictures.chosenBackground = NoisePicture(tileSize, tileSize, 7);
    const QSize client(MaxBoardCols * CellPixels, MaxBoardRows * CellPixels);
    painter.Resize(client);
    painter.PrepareBackground(false, client);
  }
  GameState state;
  PictureHolder pictures;
  BoardPainter painter;
};

void BM_PaintCellFullSize(benchmark::State& st) {
  Scene scene(300);
  for (auto _ : st) {
    scene.painter.PaintCell(17, 23, 0);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_PaintCellFullSize);

void BM_PaintCellShrunk(benchmark::State& st) {
  Scene scene(300);
  for (auto _ : st) {
    scene.painter.PaintCell(17, 23, 8);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_PaintCellShrunk);

void BM_PaintCellBackgroundSmallTile(benchmark::State& st) {
  Scene scene(10);
  for (auto _ : st) {
    scene.painter.PaintCellBackground(17, 23);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_PaintCellBackgroundSmallTile);

void BM_PaintReveal50x50(benchmark::State& st) {
  Scene scene(300);
  std::vector<int16_t> order(scene.state.CellCount());
  std::iota(order.begin(), order.end(), int16_t{0});
  std::shuffle(order.begin(), order.end(), std::mt19937(42));
  for (auto _ : st) {
    for (int16_t index : order) {
      scene.painter.PaintCell(CellColumn(scene.state, index), CellRow(scene.state, index), 0);
    }
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_PaintReveal50x50)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace pyra
