// The event loop: the next due timer or the next input, whichever comes
// first, until the program or the run ends; and the input delivered.
#include <algorithm>
#include <cstdio>

#include "runtime/keys.h"
#include "runtime/runtime.h"
#include "runtime/script.h"

namespace qs {

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
    case K::Dump: dump(); return;
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
    default: break;
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
    default: break;
  }
}

// A replay hands out input stamped t before the timers due at t. Input read
// live after a tick at t (it came while the tick ran, or once its deadline
// had passed) is therefore stamped t + 1, where a replay puts it after that
// tick too; nothing can be stamped before the clock.
InputEvent Runtime::stampedLive(InputEvent e) const {
  e.time = std::max({e.time, now_, firedAt_ + 1});
  return e;
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
        // first, in order; then each timer that fell due fires once. Input
        // that comes after the first of them waits for the last.
        if (scriptAt <= now_) {
          InputEvent e = script_[scriptPos_++];
          deliver(e);
        } else if (auto e = firedAt_ < now_ ? platform_.nextInput(now_, now_) : std::nullopt) {
          deliver(stampedLive(*e));
        } else {
          fire(*t);
        }
        continue;
      }
      if (t && due <= firedAt_) {
        // The other ticks of the ms just ticked: input read now would be
        // stamped after them.
        fire(*t);
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
        const InputEvent in = stampedLive(*e);
        passQuietPolls(in.time);  // input stamped t comes before the timers due at t
        deliver(in);
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
  } catch (const ProgramEnded&) {}
  present();
  return status_;
}

}  // namespace qs
