#pragma once
#include <cstdint>
#include <memory>
#include <string>

namespace qs {

struct MidiTune;

// The sample rate of the machine's audio output (stereo, 16-bit): effects
// are converted to it as they are loaded.
inline constexpr int kOutputRate = 44100;

// What the sound code asks of the machine's audio output. The headless run
// and a machine without sound use a device that plays nothing.
//
// The music side only sounds: whether a tune is playing, where it is and when
// it ends are kept by the media-control device on the run's clock.
class AudioDevice {
 public:
  virtual ~AudioDevice() = default;
  // Plays a WAV file on the one effect voice, cutting off the effect still sounding.
  virtual void playEffect(const std::string& path) = 0;
  // The short sound played in place of a missing background effect.
  virtual void playDefaultSound() = 0;
  virtual void beep() = 0;

  // The one tune: opening replaces the tune before, which falls silent.
  virtual void openMusic(std::shared_ptr<const MidiTune> tune) = 0;
  // Sounds the open tune from `fromMs` on.
  virtual void playMusic(std::int64_t fromMs) = 0;
  // Silences the tune (stop and pause alike); it stays open.
  virtual void stopMusic() = 0;
  virtual void closeMusic() = 0;
  // The player's pause: every sound holds where it is (`on`) and goes on
  // from there; the run's clock stands still meanwhile.
  virtual void pause(bool /*on*/) {}
};

class SilentAudio : public AudioDevice {
 public:
  void playEffect(const std::string&) override {}
  void playDefaultSound() override {}
  void beep() override {}
  void openMusic(std::shared_ptr<const MidiTune>) override {}
  void playMusic(std::int64_t) override {}
  void stopMusic() override {}
  void closeMusic() override {}
};

}  // namespace qs
