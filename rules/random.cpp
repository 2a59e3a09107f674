#include "rules/random.h"

#include <chrono>

namespace pyra {

void Random::SeedFromClock() {
  const auto now = std::chrono::high_resolution_clock::now().time_since_epoch().count();
  Seed(static_cast<uint32_t>(now ^ (now >> 32)));
}

}  // namespace pyra
