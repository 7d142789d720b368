#pragma once
#include <fluidsynth.h>

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

namespace qs {

struct MidiTune;

// MIDI music through FluidSynth: one synthesizer with the soundfont loaded
// once, and a fresh file player each time the tune starts sounding.
//
// The audio thread calls render(); everything else comes from the program's
// thread. One mutex keeps them apart.
class FluidMusic {
 public:
  // Nothing, with the reason, when the synthesizer or the soundfont fails.
  static std::unique_ptr<FluidMusic> create(int sampleRate, const std::string& soundfont, std::string& error);
  ~FluidMusic();
  FluidMusic(const FluidMusic&) = delete;
  FluidMusic& operator=(const FluidMusic&) = delete;

  void open(std::shared_ptr<const MidiTune> tune);
  void play(std::int64_t fromMs);
  void stop();
  void close();

  // Fills `frames` stereo frames of signed 16-bit samples.
  void render(std::int16_t* out, int frames);
  // SDL_mixer's music hook: `udata` is the FluidMusic.
  static void hook(void* udata, std::uint8_t* stream, int len);

 private:
  FluidMusic() = default;
  void dropPlayer();

  std::mutex mutex_;
  fluid_settings_t* settings_ = nullptr;
  fluid_synth_t* synth_ = nullptr;
  fluid_player_t* player_ = nullptr;
  std::shared_ptr<const MidiTune> tune_;
};

}  // namespace qs
