// The one scheduler of a run: every timer of every loaded form and of no
// form, in order of due time (ties in the order the timers were made), and
// the quiet polls it skips.
#include <algorithm>

#include "runtime/runtime.h"

namespace qs {

// ---- timers ----

void Runtime::timerChanged(Timer& t) {
  if (t.form_ ? t.form_->loaded_ && t.form_->tracing() : t.clock_ == this) t.restart();
}

void Runtime::attachTimer(Timer& t) {
  t.order_ = ++timerOrder_;
  t.restart();
  if (std::find(freeTimers_.begin(), freeTimers_.end(), &t) == freeTimers_.end()) freeTimers_.push_back(&t);
}

void Runtime::detachTimer(Timer& t) { std::erase(freeTimers_, &t); }

// Every timer of every loaded form, shown or hidden: a hidden menu keeps
// blinking while a game is up.
Timer* Runtime::nextTimer(bool waking) const {
  Timer* best = nullptr;
  auto consider = [&](Timer* t) {
    if (!t->armed() || (waking && t->quiet())) return;
    if (!best || t->due_ < best->due_ || (t->due_ == best->due_ && t->order_ < best->order_)) best = t;
  };
  for (Form* f : loaded_)
    for (Timer* t : f->timers_) consider(t);
  for (Timer* t : freeTimers_) consider(t);
  return best;
}

void Runtime::fire(Timer& t) {
  now_ = std::max(now_, t.due_);
  firedAt_ = now_;
  // The next period counts from this tick; a handler that changes the timer restarts it.
  t.due_ = now_ + t.interval_;
  if (config_.quietPolls && t.quiet()) {
    ++skippedTicks_;
    return;
  }
  t.fire();
}

// Each tick would have found the clock at its due time and set the next one
// period later; nothing else happens meanwhile, so the period keeps its phase.
void Runtime::passQuietPolls(std::int64_t t) {
  auto pass = [&](Timer* p) {
    if (!p->armed() || p->due_ >= t || !p->quiet()) return;
    const std::int64_t ticks = (t - p->due_ + p->interval_ - 1) / p->interval_;
    p->due_ += ticks * p->interval_;
    skippedTicks_ += static_cast<std::uint64_t>(ticks);
    now_ = std::max(now_, p->due_ - p->interval_);
  };
  for (Form* f : loaded_)
    for (Timer* p : f->timers_) pass(p);
  for (Timer* p : freeTimers_) pass(p);
}

}  // namespace qs
