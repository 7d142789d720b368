#include "platform/sdl/fluid_music.h"

#include <atomic>
#include <cstring>
#include <vector>

#include "platform/sdl/muted_stderr.h"
#include "sound/midi_file.h"
#include "platform/sdl/soundfont.h"

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

}  // namespace

std::unique_ptr<FluidMusic> FluidMusic::create(int sampleRate, const std::string& soundfont, std::string& error) {
  quietFluid();
  std::string fluidError;
  fluidErrors = &fluidError;
  std::unique_ptr<FluidMusic> m(new FluidMusic);
  m->settings_ = new_fluid_settings();
  if (m->settings_) {
    fluid_settings_setnum(m->settings_, "synth.sample-rate", sampleRate);
    fluid_settings_setnum(m->settings_, "synth.gain", 0.5);
    fluid_settings_setint(m->settings_, "synth.polyphony", 128);
    fluid_settings_setint(m->settings_, "synth.chorus.active", 0);
    fluid_settings_setint(m->settings_, "synth.threadsafe-api", 0);  // our own mutex guards it
    m->synth_ = new_fluid_synth(m->settings_);
  }
  std::string problem = soundFontProblem(soundfont);
  bool loaded = false;
  if (m->synth_ && problem.empty()) {
    MutedStderr quiet;
    loaded = fluid_synth_sfload(m->synth_, soundfont.c_str(), 1) != FLUID_FAILED;
  }
  fluidErrors = nullptr;
  if (!m->synth_) {
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

FluidMusic::~FluidMusic() {
  dropPlayer();
  if (synth_) delete_fluid_synth(synth_);
  if (settings_) delete_fluid_settings(settings_);
}

void FluidMusic::dropPlayer() {
  if (!player_) return;
  fluid_player_stop(player_);
  delete_fluid_player(player_);
  player_ = nullptr;
}

void FluidMusic::open(std::shared_ptr<const MidiTune> tune) {
  std::lock_guard lock(mutex_);
  dropPlayer();
  fluid_synth_all_sounds_off(synth_, -1);
  tune_ = std::move(tune);
}

void FluidMusic::play(std::int64_t fromMs) {
  // From a point within the tune the player reads the tune as it goes on from
  // there; a seek of the player's own would drop the notes at the point.
  std::vector<std::uint8_t> bytes = tune_ ? midiFrom(*tune_, fromMs) : std::vector<std::uint8_t>{};
  std::lock_guard lock(mutex_);
  dropPlayer();
  fluid_synth_all_sounds_off(synth_, -1);
  if (!tune_) return;
  player_ = new_fluid_player(synth_);
  if (!player_) return;
  if (fluid_player_add_mem(player_, bytes.data(), bytes.size()) != FLUID_OK) {  // the player keeps a copy
    dropPlayer();
    return;
  }
  fluid_player_play(player_);
}

void FluidMusic::stop() {
  std::lock_guard lock(mutex_);
  dropPlayer();
  fluid_synth_all_sounds_off(synth_, -1);
}

void FluidMusic::close() {
  std::lock_guard lock(mutex_);
  dropPlayer();
  fluid_synth_all_sounds_off(synth_, -1);
  tune_.reset();
}

void FluidMusic::render(std::int16_t* out, int frames) {
  std::lock_guard lock(mutex_);
  bool playing = player_ && fluid_player_get_status(player_) == FLUID_PLAYER_PLAYING;
  if (!playing && fluid_synth_get_active_voice_count(synth_) == 0) {
    std::memset(out, 0, static_cast<std::size_t>(frames) * 2 * sizeof(std::int16_t));
    return;
  }
  fluid_synth_write_s16(synth_, frames, out, 0, 2, out, 1, 2);
}

void FluidMusic::hook(void* udata, std::uint8_t* stream, int len) {
  static_cast<FluidMusic*>(udata)->render(reinterpret_cast<std::int16_t*>(stream), len / 4);
}

}  // namespace qs
