#include "paint_support.h"

namespace qs::test {
namespace {

using TextureCaches = DummyVideo;

// A `side` x `side` texture kept under `key` in the cache's frame.
void keepSquare(TextureCache& cache, const std::string& key, int side) {
  cache.keep(key, Drawing{cache.texture(side, side, [](void*, int) {}), {0, 0, side, side}, side});
}

// Past their budget the least recently drawn go first; a window's stay from
// frame to frame while it has its renderer.
TEST_F(TextureCaches, PastTheirBudgetTheLeastRecentlyDrawnGoFirst) {
  auto w = std::make_unique<DummyWindow>(100, 40);
  SDL_Renderer* renderer = w->renderer;
  ASSERT_TRUE(renderer) << SDL_GetError();
  const std::size_t square = 4 * 32 * 32 + 512;  // its pixels, and well over its key and place
  TextureCache cache(3 * square);
  cache.begin(renderer);
  for (const char* key : {"a", "b", "c"}) keepSquare(cache, key, 32);
  ASSERT_TRUE(cache.find("a")) << "three fit";
  keepSquare(cache, "d", 32);  // b is now the least recently drawn
  EXPECT_FALSE(cache.find("b"));
  EXPECT_TRUE(cache.find("a") && cache.find("c") && cache.find("d"));
  keepSquare(cache, "whole window", 100);  // alone past the budget: kept, and alone
  EXPECT_EQ(cache.count(renderer), 1u);
  cache.end();
  cache.begin(renderer);
  EXPECT_TRUE(cache.find("whole window"));
  cache.end();
  w.reset();
  DummyWindow other(40, 40);
  cache.begin(other.renderer);
  EXPECT_FALSE(cache.find("whole window")) << "the closed window's drawings are forgotten";
  cache.end();
  EXPECT_EQ(cache.bytes(), 0u);
}

// A window's lines are drawn once and copied after; what draws a line
// otherwise (its colour, its text) is a drawing of its own.
TEST_F(TextureCaches, ALineIsCopiedUntilWhatDrawsItChanges) {
  DummyWindow w(200, 80);
  ASSERT_TRUE(w.renderer) << SDL_GetError();
  Sheet f(100, 40);
  Label& score = f.label(LabelDesign{"Score 0", gothic(12), Align::Left, colors::black, {0, 0, 100, 40}});
  auto shows = [&](std::size_t kept) {
    painter().paint(w.renderer, f, 2);
    SDL_RenderPresent(w.renderer);
    EXPECT_EQ(painter().textures().count(w.renderer), kept);
    EXPECT_EQ(differingPixels(SDL_GetWindowSurface(w.window), draw(f, 2).get()), 0) << kept;
  };
  shows(1);
  shows(1);  // copied
  score.setFore(Color::rgb(255, 0, 0));
  shows(2);
  score.setCaption("Score 1");
  shows(3);
}

}  // namespace
}  // namespace qs::test
