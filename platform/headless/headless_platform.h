#pragma once
#include "../../shell/painter.h"
#include "../../shell/platform.h"
#include "../../sound/audio_device.h"

namespace qs {

// No window, no audio output, no wall clock: time jumps straight to the next
// due timer or scripted event.
class HeadlessPlatform : public Platform {
 public:
  explicit HeadlessPlatform(ScreenSize screen = {}, FormPainter* painter = nullptr)
      : screen_(screen), painter_(painter) {}

  bool live() const override { return false; }
  std::optional<InputEvent> nextInput(std::int64_t, std::int64_t) override { return std::nullopt; }
  void holdUntil(std::int64_t) override {}
  void present(const std::vector<Form*>& forms) override;
  void formShown(Form&) override {}
  void formHidden(Form&) override {}
  void formUnloaded(Form&) override {}
  void formCaptionChanged(Form&) override {}
  bool shot(Form& f, const std::string& file, std::string& error) override;
  ScreenSize screen() const override { return screen_; }
  AudioDevice& audio() override { return audio_; }
  TextMeasurer* measurer() override { return painter_ ? &painter_->measurer() : nullptr; }
  void showCursor(bool) override {}
  void setTopmost(Form&) override {}

 private:
  ScreenSize screen_;
  FormPainter* painter_;
  SilentAudio audio_;
};

}  // namespace qs
