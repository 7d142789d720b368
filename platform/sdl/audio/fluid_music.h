#pragma once
#include <fluidsynth.h>

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace qs {

struct MidiTune;

// MIDI music through FluidSynth, with the soundfont loaded once for both layers and
// a fresh file player each time the tune starts sounding.
//
// Two layers, each a synthesizer of its own: the tune plays on one; when it
// stops, starts again or makes way for another, what that layer still sounds
// fades out over kFadeMs, under the first notes of what comes next on the
// other layer, instead of falling silent at once.
//
// The audio thread calls render(); everything else comes from the program's
// thread. One mutex keeps them apart.
class FluidMusic {
 public:
  static constexpr int kFadeMs = 30;

  // Nothing, with the reason, when the synthesizer or the soundfont fails.
  static std::unique_ptr<FluidMusic> create(int sampleRate, const std::string& soundfont, std::string& error);
  ~FluidMusic();
  FluidMusic(const FluidMusic&) = delete;
  FluidMusic& operator=(const FluidMusic&) = delete;

  void open(std::shared_ptr<const MidiTune> tune);
  void play(std::int64_t fromMs);
  void stop();
  void close();
  // Paused, the tune and its fade hold where they are and render silence.
  void pause(bool on);

  // Fills `frames` stereo frames of signed 16-bit samples.
  void render(std::int16_t* out, int frames);
  // SDL_mixer's music hook: `udata` is the FluidMusic.
  static void hook(void* udata, std::uint8_t* stream, int len);

 private:
  struct Layer {
    fluid_settings_t* settings = nullptr;
    fluid_synth_t* synth = nullptr;
    fluid_player_t* player = nullptr;
    bool sharesFont = false;  // plays from the first layer's soundfont
    bool sounding() const;
    void dropPlayer();
  };

  FluidMusic() = default;
  void fadeOut();
  void endFade();

  std::mutex mutex_;
  Layer layers_[2];
  int current_ = 0;                // the layer that plays the tune
  int fading_ = -1;                // the layer fading out, if any
  int fadeFrames_ = 1;             // the length of a fade
  int faded_ = 0;                  // frames of the fade rendered
  std::vector<float> mix_, fade_;  // stereo frames of the current layer and of the fading one
  std::shared_ptr<const MidiTune> tune_;
  bool paused_ = false;
};

}  // namespace qs
