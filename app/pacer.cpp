#include "app/pacer.h"

#include <algorithm>
#include <thread>

namespace pyra {

Pacer::Pacer(Present present)
    : Pacer(
          std::move(present),
          [] { return std::chrono::duration_cast<Duration>(Clock::now().time_since_epoch()); },
          [](Duration d) { std::this_thread::sleep_for(d); }) {}

Pacer::Pacer(Present present, Now now, Sleep sleep)
    : present_(std::move(present)), now_(std::move(now)), sleep_(std::move(sleep)) {}

void Pacer::WaitUntil(Duration deadline) {
  const Duration left = deadline - now_();
  if (left > Duration::zero()) sleep_(left);
}

void Pacer::CellPainted(int16_t step, const QRect& rect) {
  if (inReveal_) {
    dirty_ += rect;
    if (enabled_ && ++pending_ >= batch_) PresentRevealed();
    return;
  }
  // A frame of the grow/shrink effect: any step but 0, and the step-0 frame that ends a
  // growing piece. Each stays up for one frame time before the next replaces it.
  const bool frame = step != 0 || lastStep_ != 0;
  if (enabled_ && frame && havePresented_) WaitUntil(lastPresent_ + FrameTime);
  present_(QRegion(rect));
  lastPresent_ = now_();
  lastStep_ = step;
  havePresented_ = true;
}

void Pacer::BeginReveal(int cells) {
  inReveal_ = true;
  dirty_ = QRegion();
  pending_ = 0;
  presented_ = 0;
  cells = std::max(cells, 1);
  batch_ = (cells + RevealPresentations - 1) / RevealPresentations;
  const int presentations = (cells + batch_ - 1) / batch_;
  revealInterval_ = RevealTime / presentations;
  revealStart_ = now_();
}

void Pacer::PresentRevealed() {
  present_(dirty_);
  dirty_ = QRegion();
  pending_ = 0;
  ++presented_;
  // Deadlines from the start, so that the painting time does not add up.
  WaitUntil(revealStart_ + revealInterval_ * presented_);
}

void Pacer::EndReveal() {
  if (!dirty_.isEmpty()) {
    if (enabled_) {
      PresentRevealed();
    } else {
      present_(dirty_);
      dirty_ = QRegion();
    }
  }
  inReveal_ = false;
  pending_ = 0;
  lastStep_ = 0;
  lastPresent_ = now_();
  havePresented_ = true;
}

}  // namespace pyra
