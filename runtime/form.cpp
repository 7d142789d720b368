#include "runtime/form.h"

#include <algorithm>
#include <stdexcept>

#include "runtime/runtime.h"
#include "runtime/trace.h"

namespace qs {

Form::Form(std::string name, Units units) : Container(units, this), name_(std::move(name)) {}

Runtime& Form::app() const {
  if (!runtime_) throw std::logic_error("form " + name_ + " is not registered with the runtime");
  return *runtime_;
}

void Form::load() { app().load(*this); }
void Form::show() { app().show(*this); }
void Form::hide() { app().hide(*this); }
void Form::unload() { app().unload(*this); }

void Form::setCaption(std::string_view c) {
  if (caption_ == c) return;
  caption_ = c;
  wholeDirty_ = true;
  if (tracing()) {
    traceLine("set " + name_ + " caption " + quoted(caption_));
    app().formCaptionChanged(*this);
  }
}

void Form::setBack(Color c) {
  if (back_ == c) return;
  back_ = c;
  wholeDirty_ = true;
  if (tracing()) traceLine("set " + name_ + " back " + c.hex());
}

void Form::setWidth(int twips) {
  if (width_ == twips) return;
  width_ = twips;
  if (borderless_) clientW_ = twips / kTwipsPerPixel;
  wholeDirty_ = true;
  if (tracing()) traceLine("set " + name_ + " width " + std::to_string(twips));
}

void Form::setHeight(int twips) {
  if (height_ == twips) return;
  height_ = twips;
  if (borderless_) clientH_ = twips / kTwipsPerPixel;
  wholeDirty_ = true;
  if (tracing()) traceLine("set " + name_ + " height " + std::to_string(twips));
}

void Form::coverScreen() {
  ScreenSize s = app().screen();
  borderless_ = coversScreen_ = true;
  setDesignSize(s.width * kTwipsPerPixel, s.height * kTwipsPerPixel);
  setClientSize(s.width, s.height);
}

void Form::setTopmost() {
  if (topmost_) return;
  topmost_ = true;
  if (tracing()) traceLine("topmost " + name_);
  if (runtime_) runtime_->platform().setTopmost(*this);
}

std::string Form::describe() const {
  return "caption=" + quoted(caption_) + " visible=" + (visible_ ? "1" : "0") + " width=" + std::to_string(width_) +
         " height=" + std::to_string(height_) + " back=" + back_.hex();
}

namespace {

constexpr std::size_t kDamageParts = 4;

Rect unite(const Rect& a, const Rect& b) {
  int right = std::max(a.left + a.width, b.left + b.width);
  int bottom = std::max(a.top + a.height, b.top + b.height);
  int left = std::min(a.left, b.left), top = std::min(a.top, b.top);
  return Rect{left, top, right - left, bottom - top};
}

bool touch(const Rect& a, const Rect& b) {
  return a.left <= b.left + b.width && b.left <= a.left + a.width && a.top <= b.top + b.height &&
         b.top <= a.top + a.height;
}

}  // namespace

// A change that touches a part grows that part; past kDamageParts parts the
// last one takes in the rest.
void Form::damageArea(const Rect& px) {
  if (wholeDirty_ || px.width <= 0 || px.height <= 0) return;
  damage_ = damage_.width <= 0 ? px : unite(damage_, px);
  for (Rect& part : damageParts_) {
    if (!touch(part, px)) continue;
    part = unite(part, px);
    return;
  }
  if (damageParts_.size() < kDamageParts) damageParts_.push_back(px);
  else damageParts_.back() = unite(damageParts_.back(), px);
}

void Form::traceLine(std::string_view text) const {
  if (runtime_) runtime_->trace().line(text);
}

TextMeasurer* Form::measurer() const { return runtime_ ? runtime_->platform().measurer() : nullptr; }

void Form::addTimer(Timer& t, std::string name, int interval, bool enabled, std::function<void()> tick) {
  t.name_ = std::move(name);
  t.form_ = this;
  t.interval_ = interval;
  t.enabled_ = enabled;
  t.tick_ = std::move(tick);
  timers_.push_back(&t);
}

void Form::rebuildDesign() {
  designing_ = true;
  clearChildren();
  resetPrinting();
  for (LabelArray* a : arrays_) a->reset();
  arrays_.clear();
  timers_.clear();
  wholeDirty_ = true;
  topmost_ = false;  // a new window is an ordinary one until the scene says otherwise
  design();
  designing_ = false;
}

}  // namespace qs
