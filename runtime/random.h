#pragma once
#include <cstdint>

namespace qs {

// The program's one random generator. A draw is uniform in [0, 1) with the
// 24-bit resolution of a single-precision value, so products such as
// draw * 4 can land exactly on a half and the rounding rule below matters.
class Random {
 public:
  explicit Random(std::uint64_t seed = 1) { reseed(seed); }
  void reseed(std::uint64_t seed);
  double draw();

 private:
  std::uint64_t state_ = 0;
};

// Round to the nearest whole number, halves to the even neighbour
// (so n * draw gives 0..n with both end values half as likely).
int roundHalfEven(double v);
// Drop the fraction (n * draw gives 0..n-1, uniform).
int dropFraction(double v);

// Seed of a reseed from the clock: the run's seed mixed with the time in ms.
std::uint64_t clockSeed(std::uint64_t runSeed, std::int64_t nowMs);

}  // namespace qs
