#include "platform/sdl/audio/sdl_audio_device.h"

#include <SDL.h>
#include <fluidsynth.h>

#include "platform/sdl/audio/fluid_music.h"
#include "platform/sdl/audio/tone.h"
#include "sound/midi_file.h"

namespace qs {
namespace {
constexpr int kEffectChannel = 0;
constexpr int kBeepChannel = 1;
}  // namespace

bool synthesizerReads(const std::vector<std::uint8_t>& bytes) {
  fluid_settings_t* settings = new_fluid_settings();
  if (!settings) return true;
  fluid_settings_setint(settings, "synth.polyphony", 1);
  fluid_settings_setint(settings, "synth.reverb.active", 0);
  fluid_settings_setint(settings, "synth.chorus.active", 0);
  fluid_settings_setstr(settings, "player.timing-source", "sample");  // the player runs as samples are made
  bool reads = true;
  if (fluid_synth_t* synth = new_fluid_synth(settings)) {
    if (fluid_player_t* player = new_fluid_player(synth)) {
      if (fluid_player_add_mem(player, bytes.data(), bytes.size()) == FLUID_OK &&
          fluid_player_play(player) == FLUID_OK) {
        // The first samples make the player read the file; one it cannot read ends it at once.
        std::int16_t frames[2 * 64];
        fluid_synth_write_s16(synth, 64, frames, 0, 2, frames, 1, 2);
        reads = fluid_player_get_status(player) != FLUID_PLAYER_DONE;
        fluid_player_stop(player);
      }
      delete_fluid_player(player);
    }
    delete_fluid_synth(synth);
  }
  delete_fluid_settings(settings);
  return reads;
}

SdlAudioDevice::SdlAudioDevice(int rate, int channels, std::unique_ptr<FluidMusic> music, std::string programName)
    : music_(std::move(music)), report_(std::move(programName)) {
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
  if (it == effects_.end()) {
    it = effects_.emplace(path, Mix_LoadWAV(path.c_str())).first;
    if (!it->second)
      report_.cannotPlay(path, std::string("the sound output cannot decode it (") + Mix_GetError() + ")");
  }
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
  if (!music_) return;
  if (tune) {
    auto [it, fresh] = synthReads_.try_emplace(tune->path, true);
    if (fresh) it->second = synthesizerReads(tune->bytes);
    if (!it->second) report_.cannotPlay(tune->path, "the MIDI synthesizer cannot read it");
  }
  music_->open(std::move(tune));
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

void SdlAudioDevice::pause(bool on) {
  if (on) Mix_Pause(-1);
  else Mix_Resume(-1);
  if (music_) music_->pause(on);
}

}  // namespace qs
