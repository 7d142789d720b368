#pragma once
#include <SDL_mixer.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "host/media_report.h"
#include "sound/audio_device.h"

namespace qs {

class FluidMusic;

// The live audio device over an SDL_mixer output that is open, and that it
// closes at the end together with SDL's audio. Effects share one
// channel, so a new effect cuts off the one still sounding; the beep has its
// own. Decoded effects are kept by path for the whole run. An effect that
// SDL_mixer cannot decode, or a tune the synthesizer cannot read, is named
// once on standard error after `programName`.
class SdlAudioDevice : public AudioDevice {
 public:
  // `music` may be null: then the tunes stay silent.
  SdlAudioDevice(int rate, int channels, std::unique_ptr<FluidMusic> music, std::string programName);
  ~SdlAudioDevice() override;
  SdlAudioDevice(const SdlAudioDevice&) = delete;
  SdlAudioDevice& operator=(const SdlAudioDevice&) = delete;

  void playEffect(const std::string& path) override;
  void playDefaultSound() override;
  void beep() override;
  void openMusic(std::shared_ptr<const MidiTune> tune) override;
  void playMusic(std::int64_t fromMs) override;
  void stopMusic() override;
  void closeMusic() override;
  void pause(bool on) override;

 private:
  struct Synth {
    std::vector<std::int16_t> samples;
    Mix_Chunk* chunk = nullptr;
  };
  void makeSynth(Synth& s, const std::vector<std::int16_t>& samples);

  std::unique_ptr<FluidMusic> music_;
  MediaReport report_;
  std::map<std::string, Mix_Chunk*> effects_;  // null for a file that would not load
  std::map<std::string, bool> synthReads_;     // by path: whether the synthesizer reads the tune
  Synth defaultSound_, beep_;
};

// Whether FluidSynth reads a standard MIDI file. Its player reads a tune
// only once it starts sounding, on the audio thread, and drops one it cannot
// read without a word; a throwaway synthesizer with no soundfont reads it
// here instead (well under a millisecond).
bool synthesizerReads(const std::vector<std::uint8_t>& bytes);

}  // namespace qs
