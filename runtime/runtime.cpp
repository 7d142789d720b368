#include "runtime/runtime.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>

#include "runtime/keys.h"
#include "runtime/script.h"

namespace qs {

Runtime::Runtime(Platform& platform, Trace& trace, RunConfig config)
    : platform_(platform), trace_(trace), config_(std::move(config)), random_(config_.seed) {
  trace_.setProgramDir(config_.programDir);
}

Runtime::~Runtime() {
  // The scenes go first, while the runtime their members may still call is
  // all there; the program is over, so their music players send nothing more.
  ended_ = true;
  forms_.clear();
  for (Timer* t : freeTimers_) t->clock_ = nullptr;
  freeTimers_.clear();
}

Form& Runtime::addForm(std::unique_ptr<Form> form) {
  form->attach(*this);
  forms_.push_back(std::move(form));
  return *forms_.back();
}

ScreenSize Runtime::largestWindow() {
  ScreenSize most{0, 0};
  for (auto& f : forms_) {
    if (!f->loaded_) f->rebuildDesign();
    if (f->coversScreen()) continue;
    most.width = std::max(most.width, f->clientWidth());
    most.height = std::max(most.height, f->clientHeight());
  }
  return most;
}

Form& Runtime::form(std::string_view name) {
  for (auto& f : forms_)
    if (f->name() == name) return *f;
  throw std::out_of_range("no form named " + std::string(name));
}

bool Runtime::hasForm(std::string_view name) const {
  return std::any_of(forms_.begin(), forms_.end(), [&](auto& f) { return f->name() == name; });
}

// ---- forms ----

void Runtime::load(Form& f) {
  if (f.loaded_) return;
  f.rebuildDesign();
  f.loaded_ = true;
  f.visible_ = false;
  loaded_.push_back(&f);
  trace_.line("load " + f.name());
  for (Timer* t : f.timers_) {
    t->order_ = ++timerOrder_;  // timers due at the same ms fire in the order they were made
    t->restart();
  }
  f.inFormLoad_ = true;
  f.Form_Load();
  f.inFormLoad_ = false;
  // A form that showed itself in its Form_Load becomes active once the load is done.
  if (f.loaded_ && f.visible_ && active_ != &f) activate(f);
}

void Runtime::show(Form& f) {
  if (!f.loaded_) load(f);
  if (!f.loaded_) return;  // unloaded again by its own Form_Load
  if (!f.visible_) {
    f.visible_ = true;
    f.wholeDirty_ = true;
    trace_.line("show " + f.name());
    platform_.formShown(f);
  }
  if (active_ != &f && !f.inFormLoad_) activate(f);
}

void Runtime::activate(Form& f) {
  active_ = &f;
  std::erase(activation_, &f);
  activation_.push_back(&f);
  trace_.line("activate " + f.name());
  f.Form_Activate();
}

// When the active form goes away, the most recently active form still shown takes over.
void Runtime::activateNext() {
  for (auto it = activation_.rbegin(); it != activation_.rend(); ++it) {
    if ((*it)->visible_ && *it != active_) {
      activate(**it);
      return;
    }
  }
  active_ = nullptr;
}

void Runtime::hide(Form& f) {
  if (!f.loaded_ || !f.visible_) return;
  f.visible_ = false;
  trace_.line("hide " + f.name());
  platform_.formHidden(f);
  if (active_ == &f) {
    active_ = nullptr;
    activateNext();
  }
}

void Runtime::unload(Form& f) {
  if (!f.loaded_) return;
  trace_.line("unload " + f.name());
  f.Form_Unload();
  if (!f.loaded_) return;  // unloaded from inside its own Form_Unload
  f.loaded_ = false;
  bool wasVisible = f.visible_;
  f.visible_ = false;
  std::erase(loaded_, &f);
  std::erase(activation_, &f);
  platform_.formUnloaded(f);
  if (active_ == &f) {
    active_ = nullptr;
    if (wasVisible) activateNext();
  }
  if (loaded_.empty()) end();
}

void Runtime::end() {
  if (!ended_) {
    ended_ = true;
    trace_.line("end");
  }
  throw ProgramEnded{};
}

void Runtime::formCaptionChanged(Form& f) {
  if (f.loaded_) platform_.formCaptionChanged(f);
}

// ---- services ----

void Runtime::randomize() { random_.reseed(clockSeed(config_.seed, now_)); }

void Runtime::beep() {
  trace_.line("beep");
  platform_.beep();
}

void Runtime::msgBox(const std::string& title, const std::string& text) {
  trace_.line("msgbox " + quoted(title) + " " + quoted(text));
  platform_.messageBox(title, text);
}

void Runtime::showCursor(bool show) {
  if (cursorShown_ == show) return;
  cursorShown_ = show;
  trace_.line(show ? "cursor 1" : "cursor 0");
  platform_.showCursor(show);
}

void Runtime::hold(std::int64_t ms) {
  if (ms <= 0) return;
  present();  // the player sees what led to the sound while it plays
  now_ += ms;
  platform_.holdUntil(now_);
}

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

// ---- input ----

void Runtime::setScript(std::vector<InputEvent> events) {
  script_ = std::move(events);
  scriptPos_ = 0;
}

void Runtime::deliver(const InputEvent& e) {
  now_ = std::max(now_, e.time);
  if (recorder_ && e.isInput()) recorder_->record(e);
  using K = InputEvent::Kind;
  switch (e.kind) {
    case K::Quit:
      quit_ = true;  // the run ends here; the program itself does not
      return;
    case K::Dump:
      dump();
      return;
    case K::Pause:
    case K::Resume:
      trace_.line(e.kind == K::Pause ? "pause" : "resume");  // the scenes never see it
      return;
    case K::Shot: {
      if (!hasForm(e.form) || !form(e.form).loaded_) {
        std::fprintf(stderr, "shot: form %s is not loaded\n", e.form.c_str());
        status_ = 1;
        return;
      }
      std::string error;
      if (!platform_.shot(form(e.form), e.file, error)) {
        std::fprintf(stderr, "%s: shot: %s\n", config_.programName.c_str(), error.c_str());
        status_ = 1;
      }
      return;
    }
    case K::Close:
      if (hasForm(e.form) && form(e.form).loaded_) unload(form(e.form));
      return;
    default:
      break;
  }
  Form* f = active_;
  if (!f) return;
  switch (e.kind) {
    case K::KeyDown:
      trace_.line("key " + f->name() + " down " + keyName(e.key));
      f->Form_KeyDown(e.key);
      break;
    case K::KeyRepeat:
      trace_.line("key " + f->name() + " repeat " + keyName(e.key));
      f->Form_KeyDown(e.key);
      break;
    case K::KeyUp:
      trace_.line("key " + f->name() + " up " + keyName(e.key));
      f->Form_KeyUp(e.key);
      break;
    case K::Move: {
      trace_.line("mouse " + f->name() + " move " + std::to_string(e.x) + " " + std::to_string(e.y));
      int scale = f->units() == Units::Twips ? kTwipsPerPixel : 1;
      f->Form_MouseMove(e.x * scale, e.y * scale);
      break;
    }
    case K::Click:
      trace_.line("mouse " + f->name() + " click");
      f->Form_Click();
      break;
    default:
      break;
  }
}

void Runtime::dump() {
  for (Form* f : loaded_) {
    trace_.line("dump " + f->name() + " " + f->describe());
    auto walk = [&](auto&& self, const Container& c) -> void {
      for (const Element* e : c.children()) {
        trace_.line("dump " + e->path() + " " + e->describe());
        if (e->kind() == Element::Kind::Box) self(self, static_cast<const Box&>(*e));
      }
    };
    walk(walk, *f);
    for (const Timer* t : f->timers_) trace_.line("dump " + f->name() + "." + t->name() + " " + t->describe());
  }
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
