#pragma once
#include <functional>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "platform/headless/headless_platform.h"
#include "runtime/runtime.h"
#include "runtime/script.h"
#include "qspe/game_services.h"
#include "qspe/score_file.h"
#include "sound/audio_device.h"
#include "sound/sound_system.h"

namespace qs::test {

// A headless run in the test process: register forms, give a script, read the
// trace. Game scenes get the run's own sound (silent) and score file.
class HeadlessRun {
 public:
  struct Setup {
    std::string dir = QSPE_PROGRAM_DIR;
    std::uint64_t seed = 1;
    std::int64_t until = kNever;
    ScreenSize screen{};             // as --screen gives it
    FormPainter* painter = nullptr;  // measures printed text; without one nothing is measured
  };
  HeadlessRun() : HeadlessRun(Setup{}) {}
  explicit HeadlessRun(Setup s);
  ~HeadlessRun();

  Runtime& rt() { return *rt_; }
  GameServices& services() { return services_; }
  template <class F>
  F& add() {
    if constexpr (std::is_constructible_v<F, GameServices&>)
      return static_cast<F&>(rt_->addForm(std::make_unique<F>(services_)));
    else
      return static_cast<F&>(rt_->addForm(std::make_unique<F>()));
  }
  // Runs from `startForm` with the script text; returns the trace lines.
  const std::vector<std::string>& run(const std::string& startForm, const std::string& script = "");
  const std::vector<std::string>& lines() const { return trace_.lines(); }

  // Lines that contain `text`.
  std::vector<std::string> grep(const std::string& text) const;
  bool has(const std::string& line) const;
  // Index of the first line equal to `line` at or after `from`; -1 if none.
  int indexOf(const std::string& line, int from = 0) const;
  std::string dump() const;  // the whole trace, for failure messages

 private:
  Setup setup_;
  HeadlessPlatform platform_;
  SilentAudio audio_;
  Trace trace_;
  std::unique_ptr<Runtime> rt_;
  SoundSystem sound_;
  ScoreStore scores_;
  GameServices services_;
};

}  // namespace qs::test
