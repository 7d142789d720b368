// A window drawn by the software renderer is redrawn only where something
// changed: the result must equal a full drawing of the new state.
#include <gtest/gtest.h>

#include "paint_support.h"

namespace qs::test {
namespace {

struct Canvas {
  SurfacePtr surface;
  SDL_Renderer* renderer = nullptr;
  Canvas(int w, int h) : surface(SDL_CreateRGBSurfaceWithFormat(0, w, h, 32, SDL_PIXELFORMAT_RGB888)) {
    renderer = SDL_CreateSoftwareRenderer(surface.get());
  }
  ~Canvas() { SDL_DestroyRenderer(renderer); }
};

int differingPixels(const SDL_Surface* a, const SDL_Surface* b) {
  int n = 0;
  for (int y = 0; y < a->h; ++y)
    for (int x = 0; x < a->w; ++x)
      if (!(pixel(a, x, y) == pixel(b, x, y))) ++n;
  return n;
}

TEST(PartialRedraw, DrawingOnlyTheDamageGivesTheSamePictureAsDrawingEverything) {
  const int scale = 2;
  Sheet f(200, 150, Units::Pixels, Color::rgb(128, 0, 128));
  Label& moving = f.label({"Alpha", gothic(14, true), Align::Left, colors::white, {10, 10, 80, 24}});
  Label& blinking = f.label({"Beta", gothic(14), Align::Centre, Color::rgb(255, 255, 0), {100, 20, 80, 24}});
  Label& glyph = f.label({"J", wingdings(30, true), Align::Centre, Color::rgb(64, 0, 64), {150, 95, 50, 50}});
  Box& field = f.box({20, 70, 120, 70}, Color::rgb(0, 128, 0));
  Label& inBox = f.labelIn(field, {"R", wingdings(20, true), Align::Centre, colors::black, {0, 0, 33, 33}});

  Canvas live(200 * scale, 150 * scale);
  painter().paint(live.renderer, f, scale);
  f.clearDirty();

  // Each change drawn on its own, so the damage of one never hides another's.
  auto redraw = [&] {
    ASSERT_TRUE(f.dirty());
    ASSERT_FALSE(f.wholeDirty()) << "label changes damage only their own places";
    Rect area = f.damage();
    painter().paint(live.renderer, f, scale, &area);
    f.clearDirty();
  };
  moving.move(60, 40);  // its old place must be drawn again too
  redraw();
  blinking.setVisible(false);
  Rect small = f.damage();
  EXPECT_LE(small.width, 80 + 4);
  EXPECT_LE(small.height, 24 + 4);
  redraw();
  inBox.move(64, 32);
  redraw();
  glyph.setCaption("K");
  redraw();
  blinking.setVisible(true);
  redraw();

  Canvas fresh(200 * scale, 150 * scale);
  painter().paint(fresh.renderer, f, scale);
  EXPECT_EQ(differingPixels(live.surface.get(), fresh.surface.get()), 0);
}

TEST(PartialRedraw, ABoxOrTheFormChangingRedrawsTheWhole) {
  Sheet f(100, 100);
  Box& b = f.box({0, 0, 50, 50}, colors::black);
  f.clearDirty();
  b.setBack(colors::white);
  EXPECT_TRUE(f.wholeDirty());
  f.clearDirty();
  f.setBack(colors::black);
  EXPECT_TRUE(f.wholeDirty());
}

}  // namespace
}  // namespace qs::test
