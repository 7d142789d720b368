// Recipes for the game's sound effects.
#pragma once

#include <string>
#include <vector>

#include "synth.h"

namespace qs::mediagen {

struct SoundEffect {
  std::string name;  // file name, e.g. "hit.wav"
  std::string description;
  Buffer samples;  // finished: faded, DC-free, at its level in the mix
};

// The game sums the effects and the music (FluidSynth with the GM
// soundfont) into one output. The tunes play at about this loudness there
// (integrated, both channels), and every effect is set a few LU above it.
inline constexpr double kMusicLufs = -21.0;
// The loudest instants of the tunes reach about -6.3 dBFS; an effect that
// peaks (between samples too) no higher than this leaves their sum below
// full scale wherever it starts.
inline constexpr double kEffectCeilingDbfs = -6.5;

std::vector<SoundEffect> makeSoundEffects();

}  // namespace qs::mediagen
