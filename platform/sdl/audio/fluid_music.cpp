#include "platform/sdl/audio/fluid_music.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <vector>

#include "platform/sdl/audio/muted_stderr.h"
#include "platform/sdl/audio/soundfont.h"
#include "sound/midi_file.h"

namespace qs {
namespace {

// FluidSynth reports on standard error unless told otherwise: its errors are
// kept while the synthesizer is being set up, to say why it failed; all else
// is dropped.
std::atomic<std::string*> fluidErrors{nullptr};

void fluidLog(int level, const char* message, void*) {
  std::string* sink = fluidErrors.load();
  if (sink && (level == FLUID_PANIC || level == FLUID_ERR) && message) *sink = message;
}

void quietFluid() {
  for (int level : {FLUID_PANIC, FLUID_ERR, FLUID_WARN, FLUID_INFO, FLUID_DBG})
    fluid_set_log_function(level, fluidLog, nullptr);
}

fluid_settings_t* newSettings(int sampleRate) {
  fluid_settings_t* s = new_fluid_settings();
  if (!s) return nullptr;
  fluid_settings_setnum(s, "synth.sample-rate", sampleRate);
  fluid_settings_setnum(s, "synth.gain", 0.5);
  fluid_settings_setint(s, "synth.polyphony", 128);
  fluid_settings_setint(s, "synth.chorus.active", 0);
  fluid_settings_setint(s, "synth.threadsafe-api", 0);  // our own mutex guards it
  // A tune uses a handful of the soundfont's instruments: only their samples
  // are read into memory, as a program change first selects them.
  fluid_settings_setint(s, "synth.dynamic-sample-loading", 1);
  return s;
}

}  // namespace

std::unique_ptr<FluidMusic> FluidMusic::create(int sampleRate, const std::string& soundfont, std::string& error) {
  quietFluid();
  std::string fluidError;
  fluidErrors = &fluidError;
  std::unique_ptr<FluidMusic> m(new FluidMusic);
  m->fadeFrames_ = std::max(1, sampleRate * kFadeMs / 1000);
  std::string problem = soundFontProblem(soundfont);
  bool started = true, loaded = problem.empty();
  for (Layer& l : m->layers_) {
    l.settings = newSettings(sampleRate);
    if (l.settings) l.synth = new_fluid_synth(l.settings);
    started = started && l.synth;
    if (!started || !loaded) continue;
    if (&l == &m->layers_[0]) {
      MutedStderr quiet;
      loaded = fluid_synth_sfload(l.synth, soundfont.c_str(), 1) != FLUID_FAILED;
    } else {
      // The soundfont is loaded once; the other layer plays from the same one.
      loaded = fluid_synth_add_sfont(l.synth, fluid_synth_get_sfont(m->layers_[0].synth, 0)) != FLUID_FAILED;
      l.sharesFont = loaded;
    }
  }
  fluidErrors = nullptr;
  if (!started) {
    error = "cannot start the MIDI synthesizer";
    return nullptr;
  }
  if (!loaded) {
    if (problem.empty()) problem = fluidError.empty() ? "unreadable" : fluidError;
    error = "cannot load the soundfont " + soundfont + ": " + problem;
    return nullptr;
  }
  return m;
}

// The layer that borrows the soundfont gives it back before the first
// layer, which loaded it, frees it.
FluidMusic::~FluidMusic() {
  for (Layer* l : {&layers_[1], &layers_[0]}) {
    l->dropPlayer();
    if (l->sharesFont) fluid_synth_remove_sfont(l->synth, fluid_synth_get_sfont(layers_[0].synth, 0));
    if (l->synth) delete_fluid_synth(l->synth);
    if (l->settings) delete_fluid_settings(l->settings);
  }
}

bool FluidMusic::Layer::sounding() const {
  return (player && fluid_player_get_status(player) == FLUID_PLAYER_PLAYING) ||
         fluid_synth_get_active_voice_count(synth) > 0;
}

void FluidMusic::Layer::dropPlayer() {
  if (!player) return;
  fluid_player_stop(player);
  delete_fluid_player(player);
  player = nullptr;
}

void FluidMusic::open(std::shared_ptr<const MidiTune> tune) {
  std::lock_guard lock(mutex_);
  fadeOut();
  tune_ = std::move(tune);
}

void FluidMusic::play(std::int64_t fromMs) {
  // From a point within the tune the player reads the tune as it goes on from
  // there; a seek of the player's own would drop the notes at the point.
  std::vector<std::uint8_t> bytes = tune_ ? midiFrom(*tune_, fromMs) : std::vector<std::uint8_t>{};
  std::lock_guard lock(mutex_);
  fadeOut();
  if (!tune_) return;
  Layer& l = layers_[current_];
  fluid_synth_system_reset(l.synth);  // no notes, controllers at rest, no reverb left from before
  l.player = new_fluid_player(l.synth);
  if (!l.player) return;
  if (fluid_player_add_mem(l.player, bytes.data(), bytes.size()) != FLUID_OK) {  // the player keeps a copy
    l.dropPlayer();
    return;
  }
  fluid_player_play(l.player);
}

void FluidMusic::stop() {
  std::lock_guard lock(mutex_);
  fadeOut();
}

void FluidMusic::close() {
  std::lock_guard lock(mutex_);
  fadeOut();
  tune_.reset();
}

// The current layer stops playing; what it still sounds, held notes
// included, starts fading, and the other layer is the current one from now
// on. A fade still under way there ends at once: three sounds never overlap.
void FluidMusic::fadeOut() {
  Layer& l = layers_[current_];
  l.dropPlayer();
  if (!l.sounding()) return;
  if (fading_ >= 0) endFade();
  fading_ = current_;
  faded_ = 0;
  current_ = 1 - current_;
}

void FluidMusic::endFade() {
  fluid_synth_all_sounds_off(layers_[fading_].synth, -1);
  fading_ = -1;
}

// The current layer, plus the fading one on a straight line in amplitude
// from full to nothing over the length of the fade.
void FluidMusic::render(std::int16_t* out, int frames) {
  std::lock_guard lock(mutex_);
  const auto samples = static_cast<std::size_t>(frames) * 2;
  bool sounding = layers_[current_].sounding();
  if (paused_ || (!sounding && fading_ < 0)) {
    std::memset(out, 0, samples * sizeof(std::int16_t));
    return;
  }
  mix_.assign(samples, 0.0f);
  if (sounding) fluid_synth_write_float(layers_[current_].synth, frames, mix_.data(), 0, 2, mix_.data(), 1, 2);
  if (fading_ >= 0) {
    int n = std::min(frames, fadeFrames_ - faded_);
    fade_.resize(samples);
    fluid_synth_write_float(layers_[fading_].synth, n, fade_.data(), 0, 2, fade_.data(), 1, 2);
    for (int i = 0; i < n; ++i) {
      float gain = 1.0f - static_cast<float>(faded_ + i + 1) / static_cast<float>(fadeFrames_);
      mix_[2 * i] += gain * fade_[2 * i];
      mix_[2 * i + 1] += gain * fade_[2 * i + 1];
    }
    faded_ += n;
    if (faded_ >= fadeFrames_) endFade();
  }
  for (std::size_t i = 0; i < samples; ++i)
    out[i] = static_cast<std::int16_t>(std::clamp(std::lrint(mix_[i] * 32767.0f), -32768L, 32767L));
}

void FluidMusic::pause(bool on) {
  std::lock_guard lock(mutex_);
  paused_ = on;
}

void FluidMusic::hook(void* udata, std::uint8_t* stream, int len) {
  static_cast<FluidMusic*>(udata)->render(reinterpret_cast<std::int16_t*>(stream), len / 4);
}

}  // namespace qs
