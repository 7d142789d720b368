#include "platform/sdl/sdl_audio_device.h"

#include <SDL.h>

#include "platform/sdl/fluid_music.h"
#include "platform/sdl/tone.h"

namespace qs {
namespace {
constexpr int kEffectChannel = 0;
constexpr int kBeepChannel = 1;
}  // namespace

SdlAudioDevice::SdlAudioDevice(int rate, int channels, std::unique_ptr<FluidMusic> music) : music_(std::move(music)) {
  Mix_AllocateChannels(2);
  makeSynth(defaultSound_, toneSamples(rate, channels, defaultSoundSteps()));
  makeSynth(beep_, toneSamples(rate, channels, beepSteps()));
  if (music_) Mix_HookMusic(&FluidMusic::hook, music_.get());
}

SdlAudioDevice::~SdlAudioDevice() {
  Mix_HookMusic(nullptr, nullptr);  // the audio thread is done with the music once this returns
  Mix_HaltChannel(-1);
  for (auto& [path, chunk] : effects_)
    if (chunk) Mix_FreeChunk(chunk);
  for (Synth* s : {&defaultSound_, &beep_})
    if (s->chunk) Mix_FreeChunk(s->chunk);
  Mix_CloseAudio();
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void SdlAudioDevice::makeSynth(Synth& s, const std::vector<std::int16_t>& samples) {
  s.samples = samples;
  s.chunk = Mix_QuickLoad_RAW(reinterpret_cast<Uint8*>(s.samples.data()),
                              static_cast<Uint32>(s.samples.size() * sizeof(std::int16_t)));
}

void SdlAudioDevice::playEffect(const std::string& path) {
  auto it = effects_.find(path);
  if (it == effects_.end()) it = effects_.emplace(path, Mix_LoadWAV(path.c_str())).first;
  if (it->second) Mix_PlayChannel(kEffectChannel, it->second, 0);
  else Mix_HaltChannel(kEffectChannel);  // undecodable: the new sound is silence
}

void SdlAudioDevice::playDefaultSound() {
  if (defaultSound_.chunk) Mix_PlayChannel(kEffectChannel, defaultSound_.chunk, 0);
}

void SdlAudioDevice::beep() {
  if (beep_.chunk) Mix_PlayChannel(kBeepChannel, beep_.chunk, 0);
}

void SdlAudioDevice::openMusic(std::shared_ptr<const MidiTune> tune) {
  if (music_) music_->open(std::move(tune));
}

void SdlAudioDevice::playMusic(std::int64_t fromMs) {
  if (music_) music_->play(fromMs);
}

void SdlAudioDevice::stopMusic() {
  if (music_) music_->stop();
}

void SdlAudioDevice::closeMusic() {
  if (music_) music_->close();
}

}  // namespace qs
