#pragma once
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <vector>

namespace qs {

class Form;
class TextMeasurer;

inline constexpr std::int64_t kNever = std::numeric_limits<std::int64_t>::max();
// The latest time a run may name (--until, a script line): about 24 days,
// so that a run given a time always ends and no timer's due time overflows.
inline constexpr std::int64_t kLatestTime = std::numeric_limits<std::int32_t>::max();

// One input event (or a script's control line), stamped with the run's clock.
struct InputEvent {
  // Pause and Resume: the player paused the live run there; its clock stood
  // still in between, so both carry the same time and change nothing else.
  enum class Kind { KeyDown, KeyUp, KeyRepeat, Close, Move, Click, Dump, Shot, Quit, Pause, Resume };
  Kind kind = Kind::KeyDown;
  std::int64_t time = 0;
  int key = 0;       // keys
  std::string form;  // close, shot
  int x = 0, y = 0;  // move
  std::string file;  // shot
  bool isInput() const { return kind != Kind::Dump && kind != Kind::Shot && kind != Kind::Quit; }
};

struct ScreenSize {
  int width = 1024, height = 768;
};

// The seam between the runtime and the machine: clock, windows, input. The
// sound output is the backend's too, handed to the program beside this.
class Platform {
 public:
  virtual ~Platform() = default;

  // True when time is the wall clock (a live run).
  virtual bool live() const = 0;
  // The next input event stamped no later than `deadline`; a live run waits
  // for it until its clock reaches the deadline. Nothing when none came.
  virtual std::optional<InputEvent> nextInput(std::int64_t now, std::int64_t deadline) = 0;
  // A waiting sound: the run's clock jumps to `until`; a live run sleeps until
  // then and keeps the input that arrives meanwhile, or returns at once when
  // a quit or a window's close button comes (the loop then carries it out).
  virtual void holdUntil(std::int64_t until) = 0;
  // Redraw the shown forms that changed.
  virtual void present(const std::vector<Form*>& forms) = 0;
  virtual void formShown(Form& f) = 0;
  virtual void formHidden(Form& f) = 0;
  virtual void formUnloaded(Form& f) = 0;
  virtual void formCaptionChanged(Form& f) = 0;
  // Writes a PNG of the form's client area; false with a message when it cannot.
  virtual bool shot(Form& f, const std::string& file, std::string& error) = 0;
  virtual ScreenSize screen() const = 0;
  virtual TextMeasurer* measurer() = 0;
  virtual void beep() = 0;
  // A message box with an OK button, shown before or between the windows;
  // returns once the player has answered it.
  virtual void messageBox(const std::string& title, const std::string& text) = 0;
  // Screen-saver services.
  virtual void showCursor(bool show) = 0;
  virtual void setTopmost(Form& f) = 0;
};

}  // namespace qs
