#include "timer.h"

#include "form.h"
#include "runtime.h"

namespace qs {

bool Timer::armed() const { return enabled_ && interval_ > 0 && form_ && form_->loaded(); }

void Timer::setInterval(int ms) {
  bool change = interval_ != ms;
  interval_ = ms;
  if (form_ && form_->tracing()) {
    if (change) form_->traceLine("set " + form_->name() + "." + name_ + " interval " + std::to_string(ms));
    form_->app().timerChanged(*this);
  }
}

void Timer::setEnabled(bool on) {
  bool change = enabled_ != on;
  enabled_ = on;
  if (form_ && form_->tracing()) {
    if (change) form_->traceLine("set " + form_->name() + "." + name_ + " enabled " + (on ? "1" : "0"));
    form_->app().timerChanged(*this);
  }
}

void Timer::restart() {
  if (form_) due_ = form_->app().now() + interval_;
}

void Timer::fire() {
  if (tick_) tick_();
}

std::string Timer::describe() const {
  return "interval=" + std::to_string(interval_) + " enabled=" + (enabled_ ? "1" : "0");
}

}  // namespace qs
