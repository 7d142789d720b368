// The one scheduler of a run: every timer of every loaded form and of no
// form, fired in order of due time, with the input between them, until the
// program or the run ends.
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

// Runs before every wait of the loop: nothing to draw is the common case.
void Runtime::present() {
  shown_.clear();
  for (Form* f : loaded_)
    if (f->visible_ && f->dirty()) shown_.push_back(f);
  if (!shown_.empty()) platform_.present(shown_);
}

// ---- the event loop ----

int Runtime::run(std::optional<std::string> startForm) {
  try {
    if (!startForm) end();
    show(form(*startForm));
    while (!ended_ && !quit_) {
      Timer* t = nextTimer();
      std::int64_t due = t ? t->due_ : kNever;
      std::int64_t scriptAt = scriptPos_ < script_.size() ? script_[scriptPos_].time : kNever;
      if (t && due < now_) {
        // A waiting sound has just ended. As a desktop's message queue hands
        // out input before timer messages, the input kept meanwhile comes
        // first, in order; then each timer that fell due fires once.
        if (scriptAt <= now_) {
          InputEvent e = script_[scriptPos_++];
          deliver(e);
        } else if (auto e = platform_.nextInput(now_, now_)) {
          deliver(*e);
        } else {
          fire(*t);
        }
        continue;
      }
      std::int64_t endAt = std::min(config_.until, config_.scriptEnd);
      std::int64_t deadline = std::min({due, scriptAt, endAt});
      if (config_.quietPolls && t && t->quiet()) {
        // Nothing to wake for until a timer that may change something, a
        // script line or the end; a run with none of these still ticks.
        Timer* w = nextTimer(true);
        std::int64_t wake = std::min({w ? w->due_ : kNever, scriptAt, endAt});
        if (wake != kNever || platform_.live()) deadline = wake;
      }
      present();
      if (auto e = platform_.nextInput(now_, deadline)) {
        passQuietPolls(e->time);  // input stamped t comes before the timers due at t
        deliver(*e);
        continue;
      }
      if (deadline == kNever) break;
      if (deadline != due) {
        passQuietPolls(deadline);
        t = nextTimer();
        due = t ? t->due_ : kNever;
      }
      if (scriptAt == deadline) {  // input stamped t comes before the timers due at t
        InputEvent e = script_[scriptPos_++];
        deliver(e);
      } else if (due == deadline) {
        fire(*t);
      } else {
        break;  // the run's end time has come
      }
    }
  } catch (const ProgramEnded&) {
  }
  present();
  return status_;
}

}  // namespace qs
