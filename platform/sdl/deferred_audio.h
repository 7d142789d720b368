#pragma once
#include <functional>
#include <memory>
#include <string>

#include "sound/audio_device.h"

namespace qs {

// The machine's audio output, opened when it is first asked for something or
// when open() is called, whichever comes first: opening it (the output, the
// synthesizer, the soundfont) takes longer than the first frame of a window.
class DeferredAudio : public AudioDevice {
 public:
  using Opener = std::function<std::unique_ptr<AudioDevice>()>;
  explicit DeferredAudio(Opener opener) : opener_(std::move(opener)) {}

  void open();

  void playEffect(const std::string& path) override { device().playEffect(path); }
  void playDefaultSound() override { device().playDefaultSound(); }
  void beep() override { device().beep(); }
  void openMusic(std::shared_ptr<const MidiTune> tune) override { device().openMusic(std::move(tune)); }
  void playMusic(std::int64_t fromMs) override { device().playMusic(fromMs); }
  void stopMusic() override { device().stopMusic(); }
  void closeMusic() override { device().closeMusic(); }
  void pause(bool on) override {
    if (device_) device_->pause(on);  // nothing sounds before it opens
  }

 private:
  AudioDevice& device() {
    open();
    return *device_;
  }

  Opener opener_;
  std::unique_ptr<AudioDevice> device_;
};

}  // namespace qs
