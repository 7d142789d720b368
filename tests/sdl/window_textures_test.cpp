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

TEST_F(WindowTextures, AreForgottenWithTheirWindowAndANewWindowStartsAfresh) {
  Sheet f(100, 40);
  f.label(LabelDesign{"Again", gothic(12), Align::Left, colors::black, {0, 0, 100, 40}});
  SdlFormPainter& p = painter();
  auto first = std::make_unique<DummyWindow>();
  ASSERT_TRUE(first->renderer) << SDL_GetError();
  p.paint(first->renderer, f, 1);
  EXPECT_EQ(p.textures().count(first->renderer), 1u);
  // SDL frees the textures with the renderer; a new renderer may reuse its address.
  first->close();
  DummyWindow second;
  ASSERT_TRUE(second.renderer) << SDL_GetError();
  p.paint(second.renderer, f, 2);
  EXPECT_EQ(p.textures().renderers(), 1u);
  EXPECT_EQ(p.textures().count(second.renderer), 1u);
  // What it drew is there: ink at the top left, drawn with the new renderer's own texture.
  SDL_Surface* shown = SDL_GetWindowSurface(second.window);
  ASSERT_TRUE(shown);
  SDL_RenderPresent(second.renderer);
  EXPECT_TRUE(inkIn(shown, colors::white, SDL_Rect{0, 0, 100, 40}).any());
}

}  // namespace
}  // namespace qs::test
