#include "paint_support.h"

namespace qs::test {
namespace {

// A hidden window of SDL's dummy video driver: no display needed.
struct DummyWindow {
  SDL_Window* window = nullptr;
  SDL_Renderer* renderer = nullptr;
  DummyWindow() {
    window = SDL_CreateWindow("t", 0, 0, 100, 40, SDL_WINDOW_HIDDEN);
    if (window) renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
  }
  ~DummyWindow() { close(); }
  void close() {
    if (renderer) SDL_DestroyRenderer(renderer);
    if (window) SDL_DestroyWindow(window);
    renderer = nullptr, window = nullptr;
  }
};

using WindowTextures = DummyVideo;

TEST_F(WindowTextures, AreKeptWhileUsedAndTheirNumberStaysBounded) {
  DummyWindow w;
  ASSERT_TRUE(w.renderer) << SDL_GetError();
  Sheet f(100, 40);
  Label& score = f.label(LabelDesign{"Score 0", gothic(12), Align::Left, colors::black, {0, 0, 100, 40}});
  SdlFormPainter& p = painter();
  p.paint(w.renderer, f, 1);
  ASSERT_EQ(p.textures().count(w.renderer), 1u);
  p.paint(w.renderer, f, 1);
  EXPECT_EQ(p.textures().count(w.renderer), 1u) << "an unchanged form reuses its textures";
  // A caption changing every frame leaves only the recent ones.
  for (int i = 1; i <= 200; ++i) {
    score.setCaption("Score " + std::to_string(i));
    p.paint(w.renderer, f, 1);
  }
  EXPECT_LE(p.textures().count(w.renderer), TextureStore::kKeepFrames + 1);
  for (std::uint64_t i = 0; i <= TextureStore::kKeepFrames; ++i) p.paint(w.renderer, f, 1);
  EXPECT_EQ(p.textures().count(w.renderer), 1u);
}

}  // namespace
}  // namespace qs::test
