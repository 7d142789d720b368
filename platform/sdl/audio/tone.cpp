#include "platform/sdl/audio/tone.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace qs {

std::vector<std::int16_t> toneSamples(int rate, int channels, const std::vector<ToneStep>& steps, double amplitude) {
  std::vector<std::int16_t> out;
  const int edge = std::max(1, rate / 200);  // 5 ms in and out
  for (const ToneStep& s : steps) {
    const int frames = static_cast<int>(static_cast<std::int64_t>(rate) * s.ms / 1000);
    for (int i = 0; i < frames; ++i) {
      double env = std::min({1.0, static_cast<double>(i) / edge, static_cast<double>(frames - 1 - i) / edge});
      env *= std::exp(-3.0 * i / frames);  // a struck, not a held, note
      double v = amplitude * env * std::sin(2 * std::numbers::pi * s.hz * i / rate);
      auto sample = static_cast<std::int16_t>(std::lround(v * 32767));
      for (int c = 0; c < channels; ++c) out.push_back(sample);
    }
  }
  return out;
}

std::vector<ToneStep> defaultSoundSteps() { return {{880, 110}, {660, 190}}; }

std::vector<ToneStep> beepSteps() { return {{750, 160}}; }

}  // namespace qs
