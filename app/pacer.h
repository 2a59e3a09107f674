// Spaces out what the board shows, so that a person can follow a placement and a new board
// dissolving in. Painting itself stays synchronous: the pacer only decides when a painted
// area is put on the screen and sleeps in between; it never runs the event loop.
#pragma once

#include <QRegion>
#include <chrono>
#include <cstdint>
#include <functional>

namespace pyra {

class Pacer {
 public:
  using Clock = std::chrono::steady_clock;
  using Duration = std::chrono::microseconds;
  // Puts the area on the screen at once.
  using Present = std::function<void(const QRegion&)>;
  using Now = std::function<Duration()>;
  using Sleep = std::function<void(Duration)>;

  // How long each frame of a placement stays on the screen.
  static constexpr Duration FrameTime = std::chrono::milliseconds(17);
  // How long a whole board takes to dissolve in, whatever its size.
  static constexpr Duration RevealTime = std::chrono::milliseconds(450);
  // At most this many presentations during a reveal; larger boards show several cells at a
  // time.
  static constexpr int RevealPresentations = 28;

  // Real time and real sleep.
  explicit Pacer(Present present);
  // Time and sleep from the caller (tests).
  Pacer(Present present, Now now, Sleep sleep);

  // Off: every painted cell is shown at once without waiting, a reveal in one piece at its
  // end.
  void SetEnabled(bool on) { enabled_ = on; }
  bool Enabled() const { return enabled_; }

  void BeginReveal(int cells);
  void EndReveal();
  // A cell has been painted into the board image at `step` of the grow/shrink effect.
  void CellPainted(int16_t step, const QRect& rect);

  // Cells put on the screen together during the current or last reveal.
  int RevealBatch() const { return batch_; }

 private:
  void WaitUntil(Duration deadline);
  void PresentRevealed();

  Present present_;
  Now now_;
  Sleep sleep_;
  bool enabled_ = true;

  // Placement frames.
  bool havePresented_ = false;
  Duration lastPresent_{0};
  int16_t lastStep_ = 0;

  // Reveal.
  bool inReveal_ = false;
  QRegion dirty_;
  int pending_ = 0;
  int batch_ = 1;
  int presented_ = 0;
  Duration revealStart_{0};
  Duration revealInterval_{0};
};

}  // namespace pyra
