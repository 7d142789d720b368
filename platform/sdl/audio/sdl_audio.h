#pragma once
#include <memory>
#include <string>

#include "sound/audio_device.h"

namespace qs {

// Opens the machine's audio output: effects on SDL_mixer channels, music from
// FluidSynth mixed in through SDL_mixer's music hook. When there is no output
// (no device, the "dummy" driver), returns a device that plays nothing, after
// one line on standard error that says why; without a usable soundfont the
// effects still sound and the same one line says there is no music.
std::unique_ptr<AudioDevice> openSdlAudio(const std::string& programName);

}  // namespace qs
