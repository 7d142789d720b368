#include "platform/sdl/sdl_audio.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/sdl/fluid_music.h"
#include "platform/sdl/sdl_audio_device.h"
#include "platform/sdl/soundfont.h"

namespace qs {
namespace {

constexpr int kRate = 44100;

std::unique_ptr<AudioDevice> silent(const std::string& program, const std::string& why) {
  std::fprintf(stderr, "%s: no sound: %s\n", program.c_str(), why.c_str());
  return std::make_unique<SilentAudio>();
}

}  // namespace

std::unique_ptr<AudioDevice> openSdlAudio(const std::string& programName) {
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return silent(programName, SDL_GetError());
  const char* driver = SDL_GetCurrentAudioDriver();
  if (!driver || std::strcmp(driver, "dummy") == 0) {
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return silent(programName, "no audio output (the audio driver is \"dummy\")");
  }
  // The soundfont is loaded before the output starts, which then never waits on it.
  std::unique_ptr<FluidMusic> music;
  SoundFontChoice font = findSoundFont(std::getenv("SDL_SOUNDFONTS"));
  std::string noMusic = font.problem;
  if (!font.path.empty()) music = FluidMusic::create(kRate, font.path, noMusic);
  // Signed 16-bit stereo at the synthesizer's rate exactly; SDL converts for the hardware.
  if (Mix_OpenAudioDevice(kRate, AUDIO_S16SYS, 2, 1024, nullptr, 0) != 0) {
    std::string why = Mix_GetError();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return silent(programName, why);
  }
  if (!music) std::fprintf(stderr, "%s: no music: %s\n", programName.c_str(), noMusic.c_str());
  return std::make_unique<SdlAudioDevice>(kRate, 2, std::move(music), programName);
}

}  // namespace qs
