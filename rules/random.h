// The run's one random generator: seeded once, every draw a uniform value in [0, 1).
#pragma once

#include <cstdint>
#include <random>

namespace pyra {

class Random {
 public:
  explicit Random(uint32_t seed = 1) : engine_(seed) {}
  void Seed(uint32_t seed) { engine_.seed(seed); }
  void SeedFromClock();
  // Uniform in [0, 1): 32 random bits scaled, never 1.0.
  double Next() { return engine_() * (1.0 / 4294967296.0); }
  // Integer part of Next() * n, for n > 0.
  int Below(int n) { return static_cast<int>(Next() * n); }

 private:
  std::mt19937 engine_;
};

}  // namespace pyra
