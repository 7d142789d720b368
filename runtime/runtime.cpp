#include "runtime/runtime.h"

#include <algorithm>

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

}  // namespace qs
