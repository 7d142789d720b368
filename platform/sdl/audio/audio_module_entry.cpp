#include "platform/sdl/audio/audio_module_entry.h"

#include <cstdio>
#include <exception>

#include "platform/sdl/audio/sdl_audio.h"

extern "C" __attribute__((visibility("default"))) qs::AudioDevice* qspe_open_audio(const char* programName) noexcept {
  try {
    return qs::openSdlAudio(programName).release();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s: no sound: %s\n", programName, e.what());
    return nullptr;
  }
}
