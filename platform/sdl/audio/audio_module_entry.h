#pragma once
#include "sound/audio_device.h"

// The audio output as the module qspe-audio.so: the one symbol it exports,
// which the game program looks up once it has loaded the module.
//
// Opens the machine's audio output as openSdlAudio() does; the device is the
// caller's to delete. Null only after one line on standard error that says why.
extern "C" qs::AudioDevice* qspe_open_audio(const char* programName) noexcept;

namespace qs {

using AudioModuleEntry = decltype(&qspe_open_audio);
inline constexpr char kAudioModuleEntry[] = "qspe_open_audio";

}  // namespace qs
