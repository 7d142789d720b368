#include "platform/sdl/audio/sdl_audio.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/sdl/audio/fluid_music.h"
#include "platform/sdl/audio/muted_stderr.h"
#include "platform/sdl/audio/sdl_audio_device.h"
#include "platform/sdl/audio/soundfont.h"

namespace qs {
namespace {

constexpr int kRate = kOutputRate;

std::unique_ptr<AudioDevice> silent(const std::string& program, const std::string& why) {
  std::fprintf(stderr, "%s: no sound: %s\n", program.c_str(), why.c_str());
  return std::make_unique<SilentAudio>();
}

// Starts the output and the synthesizer. False, with the reason in `why`, when there is no sound.
bool startOutput(std::unique_ptr<FluidMusic>& music, std::string& noMusic, std::string& why) {
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
    why = SDL_GetError();
    return false;
  }
  const char* driver = SDL_GetCurrentAudioDriver();
  if (!driver || std::strcmp(driver, "dummy") == 0) {
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    why = "no audio output (the audio driver is \"dummy\")";
    return false;
  }
  // The soundfont is loaded before the output starts, which then never waits on it.
  SoundFontChoice font = findSoundFont(std::getenv("SDL_SOUNDFONTS"));
  noMusic = font.problem;
  if (!font.path.empty()) music = FluidMusic::create(kRate, font.path, noMusic);
  // Signed 16-bit stereo at the synthesizer's rate exactly; SDL converts for the hardware.
  if (Mix_OpenAudioDevice(kRate, AUDIO_S16SYS, 2, 1024, nullptr, 0) != 0) {
    why = Mix_GetError();
    music.reset();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return false;
  }
  return true;
}

}  // namespace

std::unique_ptr<AudioDevice> openSdlAudio(const std::string& programName) {
  std::unique_ptr<FluidMusic> music;
  std::string noMusic, why;
  bool started;
  {
    // The audio libraries write their own complaints to standard error while
    // they look for a device (ALSA without a sound card writes a dozen lines);
    // what the player needs is the one line below.
    MutedStderr quiet;
    started = startOutput(music, noMusic, why);
  }
  if (!started) return silent(programName, why);
  if (!music) std::fprintf(stderr, "%s: no music: %s\n", programName.c_str(), noMusic.c_str());
  return std::make_unique<SdlAudioDevice>(kRate, 2, std::move(music), programName);
}

}  // namespace qs
