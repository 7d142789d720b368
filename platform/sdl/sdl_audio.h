#pragma once
#include <memory>
#include <string>

#include "sound/audio_device.h"

namespace qs {

// Opens the machine's audio output. When there is none, returns a device that
// plays nothing, after one line on standard error that says why.
std::unique_ptr<AudioDevice> openSdlAudio(const std::string& programName);

}  // namespace qs
