#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/form.h"
#include "runtime/platform.h"
#include "runtime/random.h"
#include "runtime/run_clock.h"
#include "runtime/trace.h"

namespace qs {

class ScriptRecorder;

// Thrown by End: unwinds every handler at once; the event loop stops.
struct ProgramEnded {};

struct RunConfig {
  std::string programName = "Qspe";
  std::string programDir;  // no trailing separator
  std::string dataDir;     // where the program's files are kept; the program directory when empty
  std::uint64_t seed = 1;
  std::int64_t until = kNever;      // end the run at this time
  std::int64_t scriptEnd = kNever;  // a headless run without --until ends after the script's last line
  // Ticks of polls that would change nothing are skipped, and a live run
  // sleeps through them (see Timer::setPoll). Off, every tick runs: the
  // trace is the same either way.
  bool quietPolls = true;
};

// The runtime every scene sees: forms and their lifecycle, the one scheduler
// of all timers, the clock, input delivery, random numbers, the beep and the
// message box. What a program adds (sound, its files) it keeps beside it.
class Runtime final : public RunClock {
 public:
  Runtime(Platform& platform, Trace& trace, RunConfig config);
  ~Runtime() override;
  Runtime(const Runtime&) = delete;
  Runtime& operator=(const Runtime&) = delete;

  // Scenes are registered once; each lives for the whole run.
  Form& addForm(std::unique_ptr<Form> form);
  Form& form(std::string_view name);
  bool hasForm(std::string_view name) const;
  // The largest client area of the forms that do not cover the screen, in
  // pixels, as their designs set it (a form not loaded is designed for this).
  ScreenSize largestWindow();
  template <class T>
  T& form(std::string_view name) {
    return static_cast<T&>(form(name));
  }

  // Load, Show, Hide, Unload, End.
  void load(Form& f);
  void show(Form& f);
  void hide(Form& f);
  void unload(Form& f);
  [[noreturn]] void end();

  std::int64_t now() const override { return now_; }
  const std::string& path() const { return config_.programDir; }
  // The folder of the score file: the program directory, or an installed program's data home.
  const std::string& dataPath() const { return config_.dataDir.empty() ? config_.programDir : config_.dataDir; }
  Random& random() { return random_; }
  double rnd() { return random_.draw(); }
  // Reseeds from the clock: the run's seed and the current time.
  void randomize();
  void beep();
  // A message box with an OK button; returns once it is answered.
  void msgBox(const std::string& title, const std::string& text);
  // Hides or shows the mouse cursor over the program's windows.
  void showCursor(bool show);
  ScreenSize screen() const { return platform_.screen(); }

  // Holds timers and input for `ms` of the run's clock.
  void hold(std::int64_t ms) override;

  Trace& trace() override { return trace_; }
  const std::string& programName() const { return config_.programName; }
  Platform& platform() { return platform_; }
  Form* activeForm() const { return active_; }
  const std::vector<Form*>& loadedForms() const { return loaded_; }
  std::uint64_t seed() const { return config_.seed; }

  void setScript(std::vector<InputEvent> events);
  void setScriptEnd(std::int64_t t) { config_.scriptEnd = t; }
  void setRecorder(ScriptRecorder* r) { recorder_ = r; }

  // Loads and shows the first form, then runs the event loop until the program
  // or the run ends; with no first form the program ends at once. Returns the
  // exit status (1 when a shot could not be written).
  int run(std::optional<std::string> startForm);
  bool programEnded() const override { return ended_; }
  // Ticks of quiet polls skipped so far (see RunConfig::quietPolls).
  std::uint64_t skippedTicks() const { return skippedTicks_; }

  // Called by timers and forms.
  void timerChanged(Timer& t) override;
  void attachTimer(Timer& t) override;
  void detachTimer(Timer& t) override;
  void formCaptionChanged(Form& f);

 private:
  // The timer due first; with `waking`, the first whose tick may change something.
  Timer* nextTimer(bool waking = false) const;
  void fire(Timer& t);
  // Counts the ticks of quiet polls due before `t` as run: they change nothing.
  void passQuietPolls(std::int64_t t);
  void deliver(const InputEvent& e);
  // The live input, stamped so that a replay hands it out in the same place.
  InputEvent stampedLive(InputEvent e) const;
  void dump();
  void activate(Form& f);
  void activateNext();
  void present();

  Platform& platform_;
  Trace& trace_;
  RunConfig config_;
  std::int64_t now_ = 0;
  std::int64_t firedAt_ = -1;  // the ms of the latest timer tick
  Random random_;
  std::vector<std::unique_ptr<Form>> forms_;
  std::vector<Form*> loaded_;       // load order
  std::vector<Timer*> freeTimers_;  // timers of no form
  std::vector<Form*> shown_;        // forms to redraw, kept to spare an allocation per wait
  std::vector<Form*> activation_;   // most recently active last
  Form* active_ = nullptr;
  std::uint64_t timerOrder_ = 0;
  std::vector<InputEvent> script_;
  std::size_t scriptPos_ = 0;
  ScriptRecorder* recorder_ = nullptr;
  bool ended_ = false;
  bool quit_ = false;
  bool cursorShown_ = true;
  int status_ = 0;
  std::uint64_t skippedTicks_ = 0;
};

}  // namespace qs
