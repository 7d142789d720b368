#pragma once
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <type_traits>
#include <vector>

#include "platform/headless/headless_platform.h"
#include "qspe/game_services.h"
#include "qspe/score_file.h"
#include "runtime/program.h"
#include "runtime/runtime.h"
#include "sound/audio_device.h"
#include "sound/sound_system.h"
#include "support/files.h"
#include "support/trace_view.h"

namespace qs::test {

// An audio device that writes down what it is asked to do: "effect NAME",
// "default", "beep", "open NAME", "play MS", "stop", "close"; names without
// their directory.
class RecordingAudio : public AudioDevice {
 public:
  std::vector<std::string> calls;
  void playEffect(const std::string& path) override { calls.push_back("effect " + base(path)); }
  void playDefaultSound() override { calls.push_back("default"); }
  void beep() override { calls.push_back("beep"); }
  void openMusic(std::shared_ptr<const MidiTune> tune) override;
  void playMusic(std::int64_t fromMs) override { calls.push_back("play " + std::to_string(fromMs)); }
  void stopMusic() override { calls.push_back("stop"); }
  void closeMusic() override { calls.push_back("close"); }

 private:
  static std::string base(const std::string& p) { return std::filesystem::path(p).filename().string(); }
};

// Script lines that press `key` at time `t` and let it go `hold` ms later.
inline std::string press(std::int64_t t, const std::string& key, std::int64_t hold = 10) {
  return std::to_string(t) + " down " + key + "\n" + std::to_string(t + hold) + " up " + key + "\n";
}

// A headless run in the test process, in a program directory of its own:
// register forms, give a script, read the trace. Game scenes get the run's
// sound (recorded, silent) and score file.
class HeadlessRun {
 public:
  struct Setup {
    std::uint64_t seed = 1;
    std::int64_t until = kNever;
    // Files copied into the program directory from the build's own.
    std::vector<std::string> media{};
    // The score record the directory starts with; none by default.
    std::optional<Bytes> scores{};
    // Another program directory than the run's own.
    std::string dir{};
    // The screen, as --screen gives it.
    ScreenSize screen{};
    // Measures printed text (see FixedMeasurer); without one nothing is measured.
    FormPainter* painter = nullptr;
    // Script lines handed out as a live window's input: each only once the
    // run's clock has reached its time, as input that came while its ms ticked.
    std::string live{};
  };
  HeadlessRun() : HeadlessRun(Setup{}) {}
  explicit HeadlessRun(Setup s);
  ~HeadlessRun();

  Runtime& rt() { return *rt_; }
  GameServices& services() { return services_; }
  SoundSystem& sound() { return sound_; }
  RecordingAudio& audio() { return platform_.audio; }
  const std::string& dir() const { return setup_.dir; }
  std::string file(const std::string& name) const { return dir() + "/" + name; }

  template <class F>
  F& add() {
    if constexpr (std::is_constructible_v<F, GameServices&>)
      return static_cast<F&>(rt_->addForm(std::make_unique<F>(services_)));
    else return static_cast<F&>(rt_->addForm(std::make_unique<F>()));
  }

  // Takes a whole program's forms and services in place of single forms; the
  // program goes after its forms and before the sound output they played on.
  Program& load(std::unique_ptr<Program> program) {
    program_ = std::move(program);
    return *program_;
  }

  // Runs `action` at time `ms` of the run's clock, before the timers made
  // during the run that fall due then; at time 0 only in a run without a
  // start form, as it starts.
  void at(std::int64_t ms, std::function<void()> action);

  // Runs from `startForm` (a blank form when none is named) with the script;
  // without --until the run ends at the script's last line.
  TraceView run(const std::string& startForm = "", const std::string& script = "");
  // Runs a blank form until `ms` of the run's clock, for the actions given.
  TraceView runUntil(std::int64_t ms);
  TraceView trace() const { return TraceView(trace_.lines()); }

 private:
  class Platform : public HeadlessPlatform {
   public:
    using HeadlessPlatform::HeadlessPlatform;
    void beep() override { audio.beep(); }
    std::optional<InputEvent> nextInput(std::int64_t now, std::int64_t) override {
      if (live.empty() || live.front().time > now) return std::nullopt;
      InputEvent e = live.front();
      live.pop_front();
      return e;
    }
    RecordingAudio audio;
    std::deque<InputEvent> live;
  };

  TempDir ownDir_;
  Setup setup_;
  Platform platform_;
  Trace trace_;
  std::unique_ptr<Runtime> rt_;
  SoundSystem sound_;
  ScoreStore scores_;
  GameServices services_;
  std::unique_ptr<Program> program_;
  std::deque<Timer> actions_;
  std::vector<std::function<void()>> atStart_;
};

}  // namespace qs::test
