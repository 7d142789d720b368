#pragma once
#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "form.h"
#include "platform.h"
#include "random.h"
#include "trace.h"

namespace qs {

class SoundEffects;
class MediaControl;
class ScriptRecorder;
class ScoreStore;

// Thrown by End: unwinds every handler at once; the event loop stops.
struct ProgramEnded {};

struct RunConfig {
  std::string programName = "Qspe";
  std::string programDir;      // no trailing separator
  std::uint64_t seed = 1;
  std::int64_t until = kNever;  // end the run at this time
  std::int64_t scriptEnd = kNever;  // a headless run without --until ends after the script's last line
};

// Waiting (mode 2) or background (mode 1) sound effects.
enum class SoundMode { Background = 1, Wait = 2 };

// The runtime every scene sees: forms and their lifecycle, the one scheduler
// of all timers, the clock, input delivery, random numbers, sound and beep.
class Runtime {
 public:
  Runtime(Platform& platform, Trace& trace, RunConfig config);
  ~Runtime();
  Runtime(const Runtime&) = delete;
  Runtime& operator=(const Runtime&) = delete;

  // Scenes are registered once; each lives for the whole run.
  Form& addForm(std::unique_ptr<Form> form);
  Form& form(std::string_view name);
  bool hasForm(std::string_view name) const;
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

  std::int64_t now() const { return now_; }
  const std::string& path() const { return config_.programDir; }
  Random& random() { return random_; }
  double rnd() { return random_.draw(); }
  // Reseeds from the clock: the run's seed and the current time.
  void randomize();
  void beep();
  // Plays a WAV file (a full path); a waiting sound holds the program still for its length.
  void sndPlaySound(const std::string& file, SoundMode mode);
  // Sends a media-control command string and returns its answer.
  std::string mciSendString(const std::string& command);

  // A media file that cannot be used: one line on standard error, once per
  // file; the game goes on without it.
  void mediaUnusable(const std::string& path, const char* why);

  // Holds timers and input for `ms` of the run's clock.
  void hold(std::int64_t ms);

  Trace& trace() { return trace_; }
  const std::string& programName() const { return config_.programName; }
  ScoreStore& scoreStore();
  Platform& platform() { return platform_; }
  Form* activeForm() const { return active_; }
  const std::vector<Form*>& loadedForms() const { return loaded_; }
  std::uint64_t seed() const { return config_.seed; }

  void setScript(std::vector<InputEvent> events);
  void setScriptEnd(std::int64_t t) { config_.scriptEnd = t; }
  void setRecorder(ScriptRecorder* r) { recorder_ = r; }
  void setMediaControl(std::unique_ptr<MediaControl> mci);
  MediaControl* mediaControl() { return mci_.get(); }

  // Loads and shows the first form, then runs the event loop until the program
  // or the run ends. Returns the exit status (1 when a shot could not be written).
  int run(std::string_view startForm);
  bool programEnded() const { return ended_; }

  // Called by timers and forms.
  void timerChanged(Timer& t);
  void attachTimer(Timer& t);
  void detachTimer(Timer& t);
  void formCaptionChanged(Form& f);

 private:
  Timer* nextTimer() const;
  void fire(Timer& t);
  void deliver(const InputEvent& e);
  void dump();
  void activate(Form& f);
  void activateNext();
  void present();

  Platform& platform_;
  Trace& trace_;
  RunConfig config_;
  std::int64_t now_ = 0;
  Random random_;
  std::vector<std::unique_ptr<Form>> forms_;
  std::vector<Form*> loaded_;      // load order
  std::vector<Timer*> freeTimers_;  // timers of no form
  std::vector<Form*> shown_;        // forms to redraw, kept to spare an allocation per wait
  std::vector<Form*> activation_;  // most recently active last
  Form* active_ = nullptr;
  std::uint64_t timerOrder_ = 0;
  std::vector<InputEvent> script_;
  std::size_t scriptPos_ = 0;
  ScriptRecorder* recorder_ = nullptr;
  std::unique_ptr<SoundEffects> effects_;
  std::unique_ptr<MediaControl> mci_;
  std::unique_ptr<ScoreStore> scores_;
  std::set<std::string> unusableMedia_;
  bool ended_ = false;
  bool quit_ = false;
  int status_ = 0;
};

}  // namespace qs
