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

}  // namespace
}  // namespace qs::test
