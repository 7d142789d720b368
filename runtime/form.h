#pragma once
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/element.h"
#include "runtime/timer.h"

namespace qs {

class Runtime;

// One scene window. The scene object lives for the whole run, so its own
// variables keep their values; its elements and timers return to their design
// state at every load.
class Form : public Container {
 public:
  explicit Form(std::string name, Units units = Units::Twips);
  ~Form() override = default;

  const std::string& name() const { return name_; }
  Runtime& app() const;

  // Builds the elements and timers in their design state. Runs before every
  // Form_Load.
  virtual void design() = 0;

  virtual void Form_Load() {}
  virtual void Form_Activate() {}
  virtual void Form_Unload() {}
  virtual void Form_KeyDown(int /*keyCode*/) {}
  virtual void Form_KeyUp(int /*keyCode*/) {}
  virtual void Form_Click() {}
  virtual void Form_MouseMove(int /*x*/, int /*y*/) {}

  // Load, Show, Hide and Unload of this form.
  void load();
  void show();
  void hide();
  void unload();
  void setVisible(bool v) { v ? show() : hide(); }

  bool loaded() const { return loaded_; }
  bool visible() const { return visible_; }

  const std::string& caption() const { return caption_; }
  void setCaption(std::string_view c);
  Color back() const { return back_; }
  void setBack(Color c);
  // Outer size in twips, as the scene sets it.
  int width() const { return width_; }
  int height() const { return height_; }
  void setWidth(int twips);
  void setHeight(int twips);
  bool borderless() const { return borderless_; }
  // A borderless window over the whole screen, drawn at scale 1 from the
  // screen's top-left corner.
  bool coversScreen() const { return coversScreen_; }
  // Above all other windows: now, or when the window opens.
  bool topmost() const { return topmost_; }
  void setTopmost();
  // Size of the drawing area in pixels.
  int clientWidth() const { return clientW_; }
  int clientHeight() const { return clientH_; }

  const std::vector<Timer*>& timers() const { return timers_; }
  std::string describe() const;
  std::string printPath() const override { return name_; }
  Rect printSurface() const override { return Rect{0, 0, clientW_, clientH_}; }

  // Redraw bookkeeping: what changed since the last drawing, in client
  // pixels. Anything that is not confined to one element redraws the whole.
  bool dirty() const { return wholeDirty_ || damage_.width > 0; }
  bool wholeDirty() const { return wholeDirty_; }
  Rect damage() const { return damage_; }
  // The same as a few parts, together covering it: changes far apart (a
  // blinking prompt and the arrows above it) are redrawn without the space
  // between them.
  const std::vector<Rect>& damageParts() const { return damageParts_; }
  void clearDirty() {
    wholeDirty_ = false;
    damage_ = Rect{};
    damageParts_.clear();
  }
  void elementChanged() { wholeDirty_ = true; }
  void damageArea(const Rect& px);

  // Trace plumbing for elements and timers.
  bool tracing() const { return loaded_ && !designing_; }
  void traceLine(std::string_view text) const;
  TextMeasurer* measurer() const;
  void registerArray(LabelArray& a) { arrays_.push_back(&a); }

 protected:
  // Design helpers.
  void setDesignCaption(std::string c) { caption_ = std::move(c); }
  void setDesignBack(Color c) { back_ = c; }
  void setBorderless(bool b) { borderless_ = b; }
  void setClientSize(int widthPx, int heightPx) {
    clientW_ = widthPx;
    clientH_ = heightPx;
  }
  void setDesignSize(int widthTwips, int heightTwips) {
    width_ = widthTwips;
    height_ = heightTwips;
  }
  // Borderless, as large as the screen.
  void coverScreen();
  void addTimer(Timer& t, std::string name, int interval, bool enabled, std::function<void()> tick);

 private:
  friend class Runtime;
  void attach(Runtime& rt) { runtime_ = &rt; }
  void rebuildDesign();

  std::string name_;
  Runtime* runtime_ = nullptr;
  bool loaded_ = false;
  bool inFormLoad_ = false;
  bool visible_ = false;
  bool designing_ = false;
  bool wholeDirty_ = true;
  Rect damage_;
  std::vector<Rect> damageParts_;
  std::string caption_;
  Color back_ = colors::white;
  int width_ = 0, height_ = 0;
  int clientW_ = 0, clientH_ = 0;
  bool borderless_ = false;
  bool coversScreen_ = false;
  bool topmost_ = false;
  std::vector<Timer*> timers_;
  std::vector<LabelArray*> arrays_;
};

}  // namespace qs
