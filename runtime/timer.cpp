#include "runtime/timer.h"

#include "runtime/form.h"
#include "runtime/runtime.h"

namespace qs {

bool Timer::armed() const { return enabled_ && interval_ > 0 && (form_ ? form_->loaded() : clock_ != nullptr); }

void Timer::attach(RunClock& clock, std::string name, int interval, bool enabled, std::function<void()> tick) {
  detach();
  name_ = std::move(name);
  interval_ = interval;
  enabled_ = enabled;
  tick_ = std::move(tick);
  clock_ = &clock;
  clock.attachTimer(*this);
}

void Timer::detach() {
  if (clock_) clock_->detachTimer(*this);
  clock_ = nullptr;
}

// Setting the interval or Enabled restarts the period even when the value
// does not change; only a change is traced.
void Timer::setInterval(int ms) {
  bool change = interval_ != ms;
  interval_ = ms;
  if (clock_) clock_->timerChanged(*this);
  if (form_ && form_->tracing()) {
    if (change) form_->traceLine("set " + form_->name() + "." + name_ + " interval " + std::to_string(ms));
    form_->app().timerChanged(*this);
  }
}

void Timer::setEnabled(bool on) {
  bool change = enabled_ != on;
  enabled_ = on;
  if (clock_) clock_->timerChanged(*this);
  if (form_ && form_->tracing()) {
    if (change) form_->traceLine("set " + form_->name() + "." + name_ + " enabled " + (on ? "1" : "0"));
    form_->app().timerChanged(*this);
  }
}

bool Timer::quiet() const { return poll_ && lastState_ && poll_() == lastState_; }

void Timer::restart() {
  lastState_.reset();
  ++starts_;
  if (form_) due_ = form_->app().now() + interval_;
  else if (clock_) due_ = clock_->now() + interval_;
}

void Timer::fire() {
  const std::uint64_t starts = starts_;
  const std::optional<std::uint64_t> before = poll_ ? poll_() : std::nullopt;
  if (tick_) tick_();
  if (starts_ != starts) return;
  lastState_ = before && poll_() == before ? before : std::nullopt;
}

std::string Timer::describe() const {
  return "interval=" + std::to_string(interval_) + " enabled=" + (enabled_ ? "1" : "0");
}

}  // namespace qs
