#include "loudness.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <stdexcept>
#include <vector>

namespace qs::mediagen {
namespace {

constexpr double kPiD = 3.14159265358979323846;
constexpr double kSilence = -70.0;

// One biquad section, direct form I, normalised so a0 = 1.
struct Section {
  double b0, b1, b2, a1, a2;
  double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
  double process(double x) {
    const double y = b0 * x + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
    x2 = x1;
    x1 = x;
    y2 = y1;
    y1 = y;
    return y;
  }
};

// The two K-weighting stages, derived for any sample rate from the analogue
// prototypes behind the 48 kHz coefficients of BS.1770.
Section shelfStage(int rate) {
  const double f0 = 1681.974450955533, gainDb = 3.999843853973347, q = 0.7071752369554196;
  const double k = std::tan(kPiD * f0 / rate);
  const double vh = std::pow(10.0, gainDb / 20.0);
  const double vb = std::pow(vh, 0.4996667741545416);
  const double a0 = 1.0 + k / q + k * k;
  return {(vh + vb * k / q + k * k) / a0, 2.0 * (k * k - vh) / a0, (vh - vb * k / q + k * k) / a0,
          2.0 * (k * k - 1.0) / a0, (1.0 - k / q + k * k) / a0};
}

Section highpassStage(int rate) {
  const double f0 = 38.13547087602444, q = 0.5003270373238773;
  const double k = std::tan(kPiD * f0 / rate);
  const double a0 = 1.0 + k / q + k * k;
  return {1.0, -2.0, 1.0, 2.0 * (k * k - 1.0) / a0, (1.0 - k / q + k * k) / a0};
}

// Running sum of the K-weighted power of all channels, frame by frame:
// sums[i] is the energy of frames [0, i).
std::vector<double> energySums(std::span<const float> samples, int channels, int rate) {
  if (channels < 1 || rate < 1 || samples.size() % static_cast<std::size_t>(channels) != 0)
    throw std::invalid_argument("samples do not divide into frames");
  const std::size_t frames = samples.size() / static_cast<std::size_t>(channels);
  std::vector<double> power(frames, 0.0);
  for (int c = 0; c < channels; ++c) {
    Section shelf = shelfStage(rate);
    Section highpass = highpassStage(rate);
    for (std::size_t i = 0; i < frames; ++i) {
      const double y = highpass.process(
          shelf.process(samples[i * static_cast<std::size_t>(channels) + static_cast<std::size_t>(c)]));
      power[i] += y * y;
    }
  }
  std::vector<double> sums(frames + 1, 0.0);
  for (std::size_t i = 0; i < frames; ++i) sums[i + 1] = sums[i] + power[i];
  return sums;
}

double lufs(double meanSquare) {
  return meanSquare > 0.0 ? std::max(kSilence, -0.691 + 10.0 * std::log10(meanSquare)) : kSilence;
}

}  // namespace

double maxMomentaryLufs(std::span<const float> samples, int channels, int rate) {
  const std::vector<double> sums = energySums(samples, channels, rate);
  const auto frames = static_cast<long>(sums.size() - 1);
  const auto window = std::lround(kMomentarySeconds * rate);
  const auto step = std::max(1L, std::lround(kMomentaryStep * rate));
  auto at = [&](long i) { return sums[static_cast<std::size_t>(std::clamp(i, 0L, frames))]; };
  double loudest = 0.0;
  // Windows from the one that just takes in the first frame to the one that
  // just takes in the last.
  for (long end = std::min(step, frames); end < frames + window; end += step)
    loudest = std::max(loudest, at(end) - at(end - window));
  loudest = std::max(loudest, at(frames) - at(frames - window));
  return lufs(loudest / static_cast<double>(window));
}

double integratedLufs(std::span<const float> samples, int channels, int rate) {
  const std::vector<double> sums = energySums(samples, channels, rate);
  const std::size_t frames = sums.size() - 1;
  const auto window = static_cast<std::size_t>(std::lround(kMomentarySeconds * rate));
  const std::size_t hop = window / 4;
  std::vector<double> blocks;
  for (std::size_t start = 0; start + window <= frames; start += hop)
    blocks.push_back((sums[start + window] - sums[start]) / static_cast<double>(window));
  auto gatedMean = [&](double gate) {
    double total = 0.0;
    std::size_t count = 0;
    for (double b : blocks)
      if (lufs(b) > gate) {
        total += b;
        ++count;
      }
    return count ? total / static_cast<double>(count) : 0.0;
  };
  const double ungated = gatedMean(kSilence);
  if (ungated <= 0.0) return kSilence;
  return lufs(gatedMean(lufs(ungated) - 10.0));
}

double playedMomentaryLufs(std::span<const float> mono, int rate) {
  return maxMomentaryLufs(mono, 1, rate) + 10.0 * std::log10(2.0);
}

double truePeak(std::span<const float> mono) {
  constexpr int kOver = 4;
  constexpr int kTaps = 16;  // on each side of the point
  // Kernel weights for the points 1/4, 2/4 and 3/4 of the way to the next sample.
  double kernel[kOver][2 * kTaps];
  for (int phase = 1; phase < kOver; ++phase) {
    const double frac = static_cast<double>(phase) / kOver;
    for (int k = 0; k < 2 * kTaps; ++k) {
      const double x = static_cast<double>(k - kTaps + 1) - frac;  // distance from sample k
      const double sinc = std::sin(kPiD * x) / (kPiD * x);
      const double window = 0.5 + 0.5 * std::cos(kPiD * x / (kTaps + 1));
      kernel[phase][k] = sinc * window;
    }
  }
  const auto n = static_cast<long>(mono.size());
  auto at = [&](long i) { return i >= 0 && i < n ? static_cast<double>(mono[static_cast<std::size_t>(i)]) : 0.0; };
  double peak = 0.0;
  for (long i = -1; i < n; ++i) {
    peak = std::max(peak, std::abs(at(i)));
    for (int phase = 1; phase < kOver; ++phase) {
      double v = 0.0;
      for (int k = 0; k < 2 * kTaps; ++k) v += kernel[phase][k] * at(i - kTaps + 1 + k);
      peak = std::max(peak, std::abs(v));
    }
  }
  return peak;
}

}  // namespace qs::mediagen
