#include "runtime/element.h"

#include <algorithm>
#include <stdexcept>

#include "runtime/form.h"
#include "runtime/trace.h"

namespace qs {
namespace {
const char* alignName(Align a) {
  switch (a) {
    case Align::Left: return "left";
    case Align::Right: return "right";
    case Align::Centre: return "centre";
  }
  return "left";
}
std::string flag(bool b) { return b ? "1" : "0"; }
}  // namespace

// ---- Element ----

std::string Element::path() const {
  std::string p = form_ ? form_->name() + "." + name_ : name_;
  if (index_ >= 0) p += "(" + std::to_string(index_) + ")";
  return p;
}

Rect Element::clientArea() const {
  int ox = 0, oy = 0;
  Units u = parent_ ? parent_->units() : Units::Pixels;
  if (parent_ && parent_ != form_) {
    // A box: its children lie inside its own area.
    const auto* box = static_cast<const Box*>(parent_);
    Rect b = box->clientArea();
    ox = b.left + 1;
    oy = b.top + 1;
  }
  auto px = [u](int v) { return u == Units::Twips ? v / kTwipsPerPixel : v; };
  auto pxUp = [u](int v) { return u == Units::Twips ? (v + kTwipsPerPixel - 1) / kTwipsPerPixel : v; };
  return Rect{ox + px(rect_.left) - 1, oy + px(rect_.top) - 1, pxUp(rect_.width) + 3, pxUp(rect_.height) + 3};
}

void Element::leaving() {
  if (form_ && visible_) form_->damageArea(clientArea());
}

void Element::changed(std::string_view prop, const std::string& value) {
  if (!form_) return;
  if (kind_ == Kind::Box) form_->elementChanged();  // a box holds others: redraw the whole
  else if (prop == "visible" ? !drawsNothing() : visible_) form_->damageArea(clientArea());
  if (form_->tracing()) form_->traceLine("set " + path() + " " + std::string(prop) + " " + value);
}

void Element::setSide(int Rect::*side, int v, std::string_view prop) {
  if (rect_.*side == v) return;
  leaving();
  rect_.*side = v;
  changed(prop, std::to_string(v));
}
void Element::setLeft(int v) { setSide(&Rect::left, v, "left"); }
void Element::setTop(int v) { setSide(&Rect::top, v, "top"); }
void Element::setWidth(int v) { setSide(&Rect::width, v, "width"); }
void Element::setHeight(int v) { setSide(&Rect::height, v, "height"); }
void Element::setVisible(bool v) {
  if (visible_ == v) return;
  visible_ = v;
  changed("visible", flag(v));
}
void Element::move(int left, int top) {
  setLeft(left);
  setTop(top);
}
void Element::move(int left, int top, int width, int height) {
  move(left, top);
  setWidth(width);
  setHeight(height);
}

void Element::zOrder() {
  if (parent_) parent_->toTop(this);
}

std::string Element::describe() const {
  return "visible=" + flag(visible_) + " left=" + std::to_string(rect_.left) + " top=" + std::to_string(rect_.top) +
         " width=" + std::to_string(rect_.width) + " height=" + std::to_string(rect_.height);
}

void Element::copyBaseFrom(const Element& other) {
  rect_ = other.rect_;
  visible_ = other.visible_;
}

// ---- Label ----

void Label::setCaption(std::string_view v) {
  if (caption_ == v) return;
  caption_ = v;
  changed("caption", quoted(caption_));
}
void Label::setFontFace(std::string_view v) {
  if (font_.face == v) return;
  font_.face = v;
  changed("font", quoted(font_.face));
}
void Label::setFontSize(double v) {
  if (font_.size == v) return;
  font_.size = v;
  changed("size", decimal(v));
}
void Label::setFontBold(bool v) {
  if (font_.bold == v) return;
  font_.bold = v;
  changed("bold", flag(v));
}
void Label::setFontItalic(bool v) {
  if (font_.italic == v) return;
  font_.italic = v;
  changed("italic", flag(v));
}
void Label::setFore(Color v) {
  if (fore_ == v) return;
  fore_ = v;
  changed("fore", v.hex());
}
void Label::setBack(Color v) {
  if (back_ == v) return;
  back_ = v;
  changed("back", v.hex());
}
void Label::setTransparent(bool v) {
  if (transparent_ == v) return;
  transparent_ = v;
  changed("transparent", flag(v));
}
void Label::setAlign(Align v) {
  if (align_ == v) return;
  align_ = v;
  changed("align", alignName(v));
}

std::string Label::describe() const {
  std::string d = "caption=" + quoted(caption_) + " " + Element::describe() + " fore=" + fore_.hex() +
                  " font=" + quoted(font_.face) + " size=" + decimal(font_.size) + " bold=" + flag(font_.bold) +
                  " italic=" + flag(font_.italic) + " align=" + alignName(align_);
  if (!transparent_) d += " back=" + back_.hex();
  return d;
}

void Label::copyFrom(const Label& other) {
  copyBaseFrom(other);
  caption_ = other.caption_;
  designCaption_ = other.designCaption_;
  font_ = other.font_;
  align_ = other.align_;
  fore_ = other.fore_;
  back_ = other.back_;
  transparent_ = other.transparent_;
}

void Label::applyDesign(const LabelDesign& s) {
  caption_ = s.caption;
  designCaption_ = s.caption;
  font_ = s.font;
  align_ = s.align;
  fore_ = s.fore;
  back_ = colors::white;
  transparent_ = true;
  Element::move(s.rect.left, s.rect.top, s.rect.width, s.rect.height);
  Element::setVisible(s.visible);
}

// ---- Image, Shape, Box ----

void Image::setPicture(std::string_view file) {
  if (picture_ == file) return;
  picture_ = file;
  changed("picture", quoted(picture_));
}
std::string Image::describe() const { return "picture=" + quoted(picture_) + " " + Element::describe(); }

void Shape::setBorder(Color c) {
  if (border_ == c) return;
  border_ = c;
  changed("fore", c.hex());
}
std::string Shape::describe() const { return Element::describe() + " fore=" + border_.hex(); }

void Box::setBack(Color c) {
  if (back_ == c) return;
  back_ = c;
  changed("back", c.hex());
}
std::string Box::describe() const { return Element::describe() + " back=" + back_.hex(); }

Rect Box::printSurface() const {
  Rect a = clientArea();
  return Rect{a.left + 1, a.top + 1, a.width - 2, a.height - 2};
}

// ---- Container ----

void Container::adopt(Element& e, std::string name, int index) {
  e.name_ = std::move(name);
  e.index_ = index;
  e.form_ = form_;
  e.parent_ = this;
}

Label& Container::place(Label& l, std::string name, const LabelDesign& look, int index) {
  adopt(l, std::move(name), index);
  l.applyDesign(look);
  children_.push_back(&l);
  return l;
}

Label& Container::place(LabelArray& a, std::string name, const LabelDesign& look) {
  if (form_) form_->registerArray(a);
  return place(a.first(), std::move(name), look, 0);
}

Image& Container::place(Image& i, std::string name, Rect r, std::string picture, bool visible, int index) {
  adopt(i, std::move(name), index);
  i.picture_ = std::move(picture);
  i.rect_ = r;
  i.visible_ = visible;
  children_.push_back(&i);
  return i;
}

Shape& Container::place(Shape& s, std::string name, Rect r, Color border) {
  adopt(s, std::move(name), -1);
  s.rect_ = r;
  s.visible_ = true;
  s.border_ = border;
  children_.push_back(&s);
  return s;
}

Box& Container::place(Box& b, std::string name, Rect r, Color back, Units inner) {
  adopt(b, std::move(name), -1);
  b.rect_ = r;
  b.visible_ = true;
  b.back_ = back;
  b.setUnits(inner);
  b.setForm(form_);
  b.clearChildren();
  b.resetPrinting();
  children_.push_back(&b);
  return b;
}

void Container::toTop(Element* e) {
  auto it = std::find(children_.begin(), children_.end(), e);
  if (it == children_.end() || it == children_.begin()) return;
  children_.erase(it);
  children_.insert(children_.begin(), e);
  if (form_) {
    if (e->visible()) form_->damageArea(e->clientArea());
    if (form_->tracing()) form_->traceLine("zorder " + e->path());
  }
}

void Container::insertAbove(Element* existing, Element* added) {
  auto it = std::find(children_.begin(), children_.end(), existing);
  children_.insert(it, added);
}

void Container::clearChildren() {
  for (Element* e : children_)
    if (e->kind() == Element::Kind::Box) static_cast<Box*>(e)->clearChildren();
  children_.clear();
}

void Container::resetPrinting() {
  printed_.clear();
  currentX_ = currentY_ = 0;
}

void Container::setPrintFontSize(double size) { printFont_.size = size; }

// Only the run's own place is drawn again: the typewriter prints one
// character at a time, and each would otherwise redraw the whole screen.
void Container::damagePrinted(int x, int y, int width, int height) {
  Rect s = printSurface();
  // A pixel around the measured box, and a quarter line to the right for a
  // glyph that stands out past its advance.
  int left = std::max(s.left, s.left + x - 1), top = std::max(s.top, s.top + y - 1);
  int right = std::min(s.left + s.width, s.left + x + width + 1 + height / 4);
  int bottom = std::min(s.top + s.height, s.top + y + height + 1);
  if (right > left && bottom > top) form_->damageArea(Rect{left, top, right - left, bottom - top});
}

void Container::print(std::string_view text, bool newline) {
  Form* f = form_;
  TextMeasurer* m = f ? f->measurer() : nullptr;
  int lineHeight = m ? m->lineHeight(printFont_) : 0;
  if (!text.empty()) {
    printed_.push_back(PrintedRun{std::string(text), currentX_, currentY_, printFore_, printFont_});
    int width = m ? m->textWidth(printFont_, text) : 0;
    if (f && m) damagePrinted(currentX_, currentY_, width, lineHeight);
    else if (f) f->elementChanged();  // nothing to measure the run with
    currentX_ += width;
  }
  if (newline) {
    currentX_ = 0;
    currentY_ += lineHeight;
  }
  if (f && f->tracing()) f->traceLine("print " + printPath() + " " + quoted(text));
}

void Container::cls() {
  resetPrinting();
  if (form_) {
    form_->damageArea(printSurface());
    if (form_->tracing()) form_->traceLine("cls " + printPath());
  }
}

// ---- LabelArray ----

Label& LabelArray::first() {
  auto& p = items_[0];
  if (!p) p = std::make_unique<Label>();
  return *p;
}

Label& LabelArray::operator[](int i) {
  auto it = items_.find(i);
  if (it == items_.end()) throw std::out_of_range("label array element " + std::to_string(i) + " is not loaded");
  return *it->second;
}
const Label& LabelArray::operator[](int i) const {
  auto it = items_.find(i);
  if (it == items_.end()) throw std::out_of_range("label array element " + std::to_string(i) + " is not loaded");
  return *it->second;
}

void LabelArray::load(int i) {
  Label& zero = (*this)[0];
  if (exists(i)) throw std::logic_error("label array element " + std::to_string(i) + " already loaded");
  auto copy = std::make_unique<Label>();
  copy->copyFrom(zero);
  copy->Element::setVisible(false);
  Container* parent = zero.parent();
  parent->adopt(*copy, zero.name(), i);
  parent->insertAbove(&zero, copy.get());
  items_[i] = std::move(copy);
}

void LabelArray::reset() {
  for (auto it = items_.begin(); it != items_.end();) {
    if (it->first != 0) it = items_.erase(it);
    else ++it;
  }
}

}  // namespace qs
