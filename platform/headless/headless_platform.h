#pragma once
#include "runtime/painter.h"
#include "runtime/platform.h"

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
  TextMeasurer* measurer() override { return painter_ ? &painter_->measurer() : nullptr; }
  void beep() override {}
  // Answered OK at once.
  void messageBox(const std::string&, const std::string&) override {}
  void showCursor(bool) override {}
  void setTopmost(Form&) override {}

 private:
  ScreenSize screen_;
  FormPainter* painter_;
};

}  // namespace qs
