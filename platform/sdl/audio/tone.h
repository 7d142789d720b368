#pragma once
#include <cstdint>
#include <vector>

namespace qs {

// One note of a synthesized signal: a sine at `hz` for `ms`, dying away.
struct ToneStep {
  double hz;
  int ms;
};

// Interleaved signed 16-bit frames at `rate` for `channels`: the steps one
// after the other, each fading in and out so that nothing clicks.
std::vector<std::int16_t> toneSamples(int rate, int channels, const std::vector<ToneStep>& steps,
                                      double amplitude = 0.35);

// The short sound that stands in for a missing background effect, and the beep.
std::vector<ToneStep> defaultSoundSteps();
std::vector<ToneStep> beepSteps();

}  // namespace qs
