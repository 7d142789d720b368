// What the screen saver needs of the live backend: every key reaches the
// form, and a window that covers the screen.
#include "paint_support.h"
#include "platform/sdl/sdl_platform.h"
#include "platform/sdl/virtual_key.h"
#include "runtime/keys.h"
#include "runtime/runtime.h"

namespace qs::test {
namespace {

TEST(VirtualKeys, KeysGetTheirDesktopCodes) {
  struct Case {
    SDL_Keycode key;
    SDL_Scancode place;
    int code;
  };
  const Case cases[] = {
      {SDLK_z, SDL_SCANCODE_Z, 90},
      {SDLK_a, SDL_SCANCODE_Q, 65},  // a layout that puts A where Q is: the letter counts
      {SDLK_0, SDL_SCANCODE_0, 48},
      {SDLK_9, SDL_SCANCODE_9, 57},
      {0xE9, SDL_SCANCODE_2, 50},  // an accented letter on the digit row: the place counts
      {SDLK_LEFT, SDL_SCANCODE_LEFT, 37},
      {SDLK_DOWN, SDL_SCANCODE_DOWN, 40},
      {SDLK_HOME, SDL_SCANCODE_HOME, 36},
      {SDLK_END, SDL_SCANCODE_END, 35},
      {SDLK_PAGEUP, SDL_SCANCODE_PAGEUP, 33},
      {SDLK_PAGEDOWN, SDL_SCANCODE_PAGEDOWN, 34},
      {SDLK_INSERT, SDL_SCANCODE_INSERT, 45},
      {SDLK_DELETE, SDL_SCANCODE_DELETE, 46},
      {SDLK_F1, SDL_SCANCODE_F1, 112},
      {SDLK_F12, SDL_SCANCODE_F12, 123},
      {SDLK_F13, SDL_SCANCODE_F13, 124},
      {SDLK_F24, SDL_SCANCODE_F24, 135},
      {SDLK_PAUSE, SDL_SCANCODE_PAUSE, 19},
      {SDLK_CAPSLOCK, SDL_SCANCODE_CAPSLOCK, 20},
      {SDLK_PRINTSCREEN, SDL_SCANCODE_PRINTSCREEN, 44},
      {SDLK_APPLICATION, SDL_SCANCODE_APPLICATION, 93},
      {SDLK_RSHIFT, SDL_SCANCODE_RSHIFT, 16},
      {SDLK_RETURN, SDL_SCANCODE_RETURN, 13},
      {SDLK_KP_ENTER, SDL_SCANCODE_KP_ENTER, 13},
      {SDLK_KP_0, SDL_SCANCODE_KP_0, 96},
      {SDLK_KP_1, SDL_SCANCODE_KP_1, 97},
      {SDLK_KP_9, SDL_SCANCODE_KP_9, 105},
      {SDLK_KP_MULTIPLY, SDL_SCANCODE_KP_MULTIPLY, 106},
      {SDLK_KP_PLUS, SDL_SCANCODE_KP_PLUS, 107},
      {SDLK_KP_MINUS, SDL_SCANCODE_KP_MINUS, 109},
      {SDLK_KP_PERIOD, SDL_SCANCODE_KP_PERIOD, 110},
      {SDLK_KP_DIVIDE, SDL_SCANCODE_KP_DIVIDE, 111},
      {SDLK_SEMICOLON, SDL_SCANCODE_SEMICOLON, 186},
      {SDLK_EQUALS, SDL_SCANCODE_EQUALS, 187},
      {SDLK_COMMA, SDL_SCANCODE_COMMA, 188},
      {SDLK_MINUS, SDL_SCANCODE_MINUS, 189},
      {SDLK_PERIOD, SDL_SCANCODE_PERIOD, 190},
      {SDLK_SLASH, SDL_SCANCODE_SLASH, 191},
      {SDLK_BACKQUOTE, SDL_SCANCODE_GRAVE, 192},
      {SDLK_LEFTBRACKET, SDL_SCANCODE_LEFTBRACKET, 219},
      {SDLK_BACKSLASH, SDL_SCANCODE_BACKSLASH, 220},
      {SDLK_RIGHTBRACKET, SDL_SCANCODE_RIGHTBRACKET, 221},
      {SDLK_QUOTE, SDL_SCANCODE_APOSTROPHE, 222},
      {SDLK_UNKNOWN, SDL_SCANCODE_INTERNATIONAL1, kOtherKey},
  };
  for (const Case& c : cases) EXPECT_EQ(virtualKey(c.key, c.place), c.code) << SDL_GetScancodeName(c.place);
  // No key is dropped, and each code is one a script can name.
  for (int s = 0; s < SDL_NUM_SCANCODES; ++s) {
    auto place = static_cast<SDL_Scancode>(s);
    int code = virtualKey(SDL_SCANCODE_TO_KEYCODE(place), place);
    ASSERT_EQ(keyCode(keyName(code)), code) << s;
  }
}

// Made topmost at its load, before its window exists.
class Cover : public Form {
 public:
  Cover() : Form("Cover") {}
  void design() override { coverScreen(); }
  void Form_Load() override { setTopmost(); }
};

TEST_F(DummyVideo, AFormCoveringTheScreenOpensAtTheCornerAtScaleOneAndOnTop) {
  SilentAudio audio;
  SdlPlatform platform(painter(), audio, 3);
  Trace trace([] { return 0; });
  Runtime rt(platform, trace, RunConfig{});
  Form& f = rt.addForm(std::make_unique<Cover>());
  rt.show(f);
  SDL_Window* w = platform.windowOf(f);
  ASSERT_TRUE(w);
  ScreenSize screen = platform.screen();
  int x = -1, y = -1, width = 0, height = 0;
  SDL_GetWindowPosition(w, &x, &y);
  SDL_GetWindowSize(w, &width, &height);
  EXPECT_EQ(x, 0);
  EXPECT_EQ(y, 0);
  EXPECT_EQ(width, screen.width);
  EXPECT_EQ(height, screen.height);
  EXPECT_EQ(f.width(), screen.width * kTwipsPerPixel);
  Uint32 flags = SDL_GetWindowFlags(w);
  EXPECT_TRUE(flags & SDL_WINDOW_BORDERLESS);
  EXPECT_TRUE(flags & SDL_WINDOW_ALWAYS_ON_TOP);
}

}  // namespace
}  // namespace qs::test
