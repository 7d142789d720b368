#pragma once
#include <memory>
#include <string>

#include "sound/audio_device.h"

namespace qs {

// Loads the audio output module (qspe-audio.so) and opens the machine's audio
// output through it. It is looked for beside the program (the build tree),
// in the program's own installed tree (moved whole, perhaps), then where
// `cmake --install` put it, and loaded only from where it can be trusted
// (see trusted_module.h). When it is missing or cannot be loaded, says so in
// one line on standard error and returns null: the program plays on without sound.
std::unique_ptr<AudioDevice> openAudioModule(const std::string& programName);

}  // namespace qs
