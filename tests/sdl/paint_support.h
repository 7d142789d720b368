#pragma once
// Forms built in a test, one shared painter, and reading back drawn pixels.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>

#include "platform/sdl/draw/form_painter.h"
#include "platform/sdl/sdl_platform.h"
#include "platform/sdl/video/png_shot.h"
#include "runtime/fonts.h"
#include "runtime/form.h"
#include "runtime/runtime.h"
#include "sound/audio_device.h"
#include "support/files.h"

namespace qs::test {

// A form whose elements a test places one by one: each goes below those
// placed before it.
class Sheet : public Form {
 public:
  Sheet(int w, int h, Units u = Units::Pixels, Color back = colors::white) : Form("Sheet", u) {
    setClientSize(w, h);
    setDesignBack(back);
  }
  void design() override {}

  Label& label(const LabelDesign& s) { return place(kept<Label>(), "Label", s); }
  Label& labelIn(Box& b, const LabelDesign& s) { return b.place(kept<Label>(), "Label", s); }
  Box& box(Rect r, Color back, Units inner = Units::Pixels) { return place(kept<Box>(), "Box", r, back, inner); }
  Shape& shape(Rect r, Color border) { return place(kept<Shape>(), "Shape", r, border); }
  Image& image(Rect r, const std::string& picture) { return place(kept<Image>(), "Image", r, picture); }

 private:
  template <class E>
  E& kept() {
    return static_cast<E&>(*elements_.emplace_back(std::make_unique<E>()));
  }
  std::vector<std::unique_ptr<Element>> elements_;
};

// The folder the shared painter takes its pictures from, this process's own.
inline const TempDir kPictureDir;

// The painter every drawing test shares; its pictures come from kPictureDir.
inline SdlFormPainter& painter() {
  static std::unique_ptr<SdlFormPainter> p = [] {
    std::string error;
    auto faces = findFaces(standardFaces(), error);
    if (!faces) ADD_FAILURE() << error;
    return std::make_unique<SdlFormPainter>("sdl_tests", kPictureDir.path(), faces ? *faces : FaceTable{});
  }();
  return *p;
}

inline SurfacePtr draw(const Form& f, int scale = 1) {
  std::string error;
  SurfacePtr s = drawOffscreen(painter(), f, scale, error);
  EXPECT_TRUE(s) << error;
  return s;
}

inline Color pixel(const SDL_Surface* s, int x, int y) {
  const auto* row = static_cast<const std::uint8_t*>(s->pixels) + y * s->pitch;
  Uint32 v = 0;
  std::memcpy(&v, row + x * s->format->BytesPerPixel, s->format->BytesPerPixel);
  Color c;
  SDL_GetRGB(v, s->format, &c.r, &c.g, &c.b);
  return c;
}

// Pixels of `expected` that `shown` holds otherwise, `expected` lying at `at` in `shown`.
inline int differingPixels(const SDL_Surface* shown, const SDL_Surface* expected, SDL_Point at = {0, 0}) {
  int n = 0;
  for (int y = 0; y < expected->h; ++y)
    for (int x = 0; x < expected->w; ++x)
      if (!(pixel(shown, x + at.x, y + at.y) == pixel(expected, x, y))) ++n;
  return n;
}

// Tests with windows of SDL's dummy video driver: no display needed, no GL
// libraries loaded.
// The video stays up for the whole test program, as it does for a run: SDL
// numbers windows afresh after a restart, and the shared painter would take a
// new window for an old one that had the same number and renderer address.
class DummyVideo : public ::testing::Test {
 protected:
  void SetUp() override {
    if (SDL_WasInit(SDL_INIT_VIDEO)) return;
    SDL_SetHint(SDL_HINT_VIDEODRIVER, "dummy");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) GTEST_SKIP() << SDL_GetError();
  }
};

// A hidden window with a renderer that keeps textures, as a live run's.
struct DummyWindow {
  SDL_Window* window;
  SDL_Renderer* renderer = nullptr;
  DummyWindow(int w, int h) : window(SDL_CreateWindow("test", 0, 0, w, h, SDL_WINDOW_HIDDEN)) {
    if (window) renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
  }
  ~DummyWindow() { SDL_DestroyRenderer(renderer), SDL_DestroyWindow(window); }  // each takes none
};

// A run of the SDL platform, its forms in windows of the dummy video driver.
class DummyRun : public DummyVideo {
 protected:
  // Starts the run (its display choices kept in `settings`, if named) showing `form`.
  template <class F>
  F& start(std::unique_ptr<F> form, const std::string& settings = {}) {
    platform_ = std::make_unique<SdlPlatform>(painter(), audio_, 1);
    if (!settings.empty()) platform_->rememberIn(settings, {1, false});
    rt_ = std::make_unique<Runtime>(*platform_, trace_, RunConfig{});
    F& f = static_cast<F&>(rt_->addForm(std::move(form)));
    rt_->show(f);
    return f;
  }
  void TearDown() override { rt_.reset(), platform_.reset(); }

  SilentAudio audio_;
  Trace trace_{[] { return std::int64_t{0}; }};
  std::unique_ptr<SdlPlatform> platform_;
  std::unique_ptr<Runtime> rt_;
};

// The pixels in which `f`'s window differs from a fresh drawing of `f`.
inline int staleness(const SdlPlatform& p, const Form& f, int scale = 1) {
  SDL_Surface* shown = SDL_GetWindowSurface(p.windowOf(f));
  SurfacePtr fresh = draw(f, scale);
  return shown && fresh ? differingPixels(shown, fresh.get()) : -1;
}

// Where pixels differ from the background inside a region.
struct Ink {
  int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1, count = 0;  // right and bottom inclusive
  bool any() const { return count > 0; }
  int width() const { return right - left + 1; }
  int height() const { return bottom - top + 1; }
};

inline Ink inkIn(const SDL_Surface* s, Color back, SDL_Rect r) {
  Ink ink;
  for (int y = std::max(0, r.y); y < std::min(s->h, r.y + r.h); ++y)
    for (int x = std::max(0, r.x); x < std::min(s->w, r.x + r.w); ++x) {
      if (pixel(s, x, y) == back) continue;
      ++ink.count;
      ink.left = std::min(ink.left, x);
      ink.right = std::max(ink.right, x);
      ink.top = std::min(ink.top, y);
      ink.bottom = std::max(ink.bottom, y);
    }
  return ink;
}

inline Ink inkAll(const SDL_Surface* s, Color back) { return inkIn(s, back, SDL_Rect{0, 0, s->w, s->h}); }

}  // namespace qs::test
