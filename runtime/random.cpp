#include "runtime/random.h"

#include <cmath>

namespace qs {
namespace {
std::uint64_t splitmix(std::uint64_t& x) {
  std::uint64_t z = (x += 0x9E3779B97F4A7C15ULL);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
  return z ^ (z >> 31);
}
}  // namespace

void Random::reseed(std::uint64_t seed) { state_ = seed; }

double Random::draw() { return static_cast<double>(splitmix(state_) >> 40) / 16777216.0; }

int roundHalfEven(double v) { return static_cast<int>(std::nearbyint(v)); }

int dropFraction(double v) { return static_cast<int>(std::floor(v)); }

std::uint64_t clockSeed(std::uint64_t runSeed, std::int64_t nowMs) {
  std::uint64_t x = runSeed * 0x100000001B3ULL ^ static_cast<std::uint64_t>(nowMs);
  return splitmix(x);
}

}  // namespace qs
