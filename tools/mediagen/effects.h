// Recipes for the game's sound effects.
#pragma once

#include <string>
#include <vector>

#include "synth.h"

namespace qs::mediagen {

struct SoundEffect {
  std::string name;  // file name, e.g. "hit.wav"
  std::string description;
  Buffer samples;  // finished: faded, DC-free, peak at kEffectPeakDbfs
};

inline constexpr double kEffectPeakDbfs = -3.0;

std::vector<SoundEffect> makeSoundEffects();

}  // namespace qs::mediagen
