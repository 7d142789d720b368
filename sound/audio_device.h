#pragma once
#include <string>

namespace qs {

// What the sound code asks of the machine's audio output. The headless run
// and a machine without sound use a device that plays nothing.
class AudioDevice {
 public:
  virtual ~AudioDevice() = default;
  // Plays a WAV file on the one effect voice, cutting off the effect still sounding.
  virtual void playEffect(const std::string& path) = 0;
  // The short sound played in place of a missing background effect.
  virtual void playDefaultSound() = 0;
  virtual void beep() = 0;
};

class SilentAudio : public AudioDevice {
 public:
  void playEffect(const std::string&) override {}
  void playDefaultSound() override {}
  void beep() override {}
};

}  // namespace qs
