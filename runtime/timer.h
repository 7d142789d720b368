#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace qs {

class Form;
class RunClock;

// While enabled, raises its tick every interval ms; setting the interval or
// Enabled restarts the period. An interval of 0 never ticks.
class Timer {
 public:
  Timer() = default;
  ~Timer() { detach(); }
  Timer(const Timer&) = delete;
  Timer& operator=(const Timer&) = delete;

  const std::string& name() const { return name_; }
  Form* form() const { return form_; }
  int interval() const { return interval_; }
  bool enabled() const { return enabled_; }
  void setInterval(int ms);
  void setEnabled(bool on);

  // A timer that belongs to no form (the music player's poll): it runs while
  // attached to the run's clock.
  void attach(RunClock& clock, std::string name, int interval, bool enabled, std::function<void()> tick);
  void detach();

  // Marks the timer as a poll of what `state` returns: the state its tick
  // reads, as one value that any change to it changes (nothing while the
  // tick reads more than that). A tick run in some state that left that
  // state as it found it must change nothing when run again in it: such a
  // tick is skipped, and a live run sleeps through it.
  using PollState = std::function<std::optional<std::uint64_t>()>;
  void setPoll(PollState state) { poll_ = std::move(state); }
  // True while a tick would change nothing: the state is what the last
  // tick since the timer's start found and left.
  bool quiet() const;

  // Scheduling state, kept by the runtime.
  bool armed() const;
  std::int64_t due() const { return due_; }
  std::uint64_t order() const { return order_; }
  std::string describe() const;

 private:
  friend class Form;
  friend class Runtime;
  void restart();
  void fire();

  std::string name_;
  Form* form_ = nullptr;
  RunClock* clock_ = nullptr;  // set while attached without a form
  int interval_ = 0;
  bool enabled_ = false;
  std::function<void()> tick_;
  std::int64_t due_ = 0;
  std::uint64_t order_ = 0;
  PollState poll_;
  std::optional<std::uint64_t> lastState_;  // the state the last tick found and left
  std::uint64_t starts_ = 0;                // restarts, so that a tick that restarts its timer is run again
};

}  // namespace qs
