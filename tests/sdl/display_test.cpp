// The live display: one scale for the run, full screen, the remembered
// choices, and game controllers standing for keys.
#include <fstream>
#include <sstream>

#include "paint_support.h"
#include "platform/sdl/display_settings.h"
#include "platform/sdl/gamepad.h"
#include "platform/sdl/placement.h"
#include "platform/sdl/sdl_platform.h"
#include "platform/sdl/window_maker.h"
#include "runtime/runtime.h"
#include "sound/audio_device.h"
#include "support/env_var.h"
#include "support/spoilt_files.h"

namespace qs::test {
namespace {

TEST(Placement, ThePictureIsAsLargeAsAWholeScaleLetsItBeAndCentred) {
  struct Case {
    int w, h, outW, outH;
    Placement want;
  };
  const Case cases[] = {
      {320, 240, 320, 240, {1, 0, 0}},        // a window of its own size
      {320, 240, 1920, 1080, {4, 320, 60}},   // the height decides
      {400, 100, 1000, 800, {2, 100, 300}},   // the width decides
      {320, 240, 3840, 2160, {9, 480, 0}},    // not capped
      {320, 240, 200, 100, {1, 0, 0}},        // too small: the top-left part
      {0, 0, 10, 10, {10, 0, 0}},             // an empty form draws nothing, anywhere
  };
  for (const Case& c : cases)
    EXPECT_EQ(centredPlacement(c.w, c.h, c.outW, c.outH), c.want) << c.w << "x" << c.h << " in " << c.outW << "x" << c.outH;
}

TEST(DisplaySettings, AreKeptUnderTheConfigFolderAndReadBackWithDefaultsForNonsense) {
  TempDir home;
  {
    EnvVar config("XDG_CONFIG_HOME", home.path());
    EXPECT_EQ(settingsPath(), home.file("qspe/settings"));
  }
  {
    EnvVar relative("XDG_CONFIG_HOME", "config"), noHome("HOME", home.path());
    EXPECT_EQ(settingsPath(), home.file(".config/qspe/settings"));
  }
  const std::string path = home.file("deep/qspe/settings");
  ASSERT_TRUE(writeSettings(path, {5, true}));  // the folders are made
  EXPECT_EQ(readSettings(path), (DisplaySettings{5, true}));
  EXPECT_EQ(readSettings(home.file("missing")), DisplaySettings{});
  struct Case {
    const char* text;
    DisplaySettings want;
  };
  const Case cases[] = {
      {"scale=99\nfullscreen=2\n", {}},
      {"scale=-1\nscale=\nfullscreen=yes\n", {}},
      {"# a note\nwhatever\nscale=2", {2, false}},
  };
  for (const Case& c : cases) {
    std::ofstream(path) << c.text;
    EXPECT_EQ(readSettings(path), c.want) << c.text;
  }
}

// The settings are read only from a small regular file, at once and in little
// memory, and written as a new file renamed over the old, never into a pipe.
TEST(DisplaySettings, AreReadFromASmallRegularFileAloneAndReplacedWhole) {
  TempDir home;
  const std::string path = home.file("qspe/settings");
  const DisplaySettings good{3, true};
  ASSERT_TRUE(writeSettings(path, good));
  for (const Spoilt& c : spoilings(readBytes(path))) {
    const bool taken = c.kind == Spoil::None || c.kind == Spoil::Link || c.kind == Spoil::Grown;
    EXPECT_EQ(checkLaid(c, path, [&] { return readSettings(path) == (taken ? good : DisplaySettings{}); }), "") << c.what;
  }
  writeSettings(path, good);
  ASSERT_EQ(link(path.c_str(), home.file("before").c_str()), 0);
  ASSERT_TRUE(writeSettings(path, {2, false}));
  EXPECT_EQ(readSettings(path), (DisplaySettings{2, false}));
  EXPECT_EQ(readSettings(home.file("before")), good) << "the old file is left whole, not written over";
  const Spoilt pipe = spoiling(Spoil::Fifo);
  EXPECT_EQ(checkLaid(pipe, path, [&] { return !writeSettings(path, good); }), "") << pipe.what;
}

// Controls pressed and let go, with the keys they make, as "down Z@100".
std::string keysOf(const std::vector<PadKey>& keys) {
  std::string s;
  for (const PadKey& k : keys) {
    const char* kind = k.kind == InputEvent::Kind::KeyDown ? "down" : k.kind == InputEvent::Kind::KeyUp ? "up" : "repeat";
    s += std::string(s.empty() ? "" : " ") + kind + " " + std::to_string(k.key) + "@" + std::to_string(k.at);
  }
  return s;
}

TEST(PadKeys, ControlsAreHeldKeysThatRepeatLikeTheKeyboards) {
  constexpr int Left = 37, Right = 39, Z = 90;
  constexpr int X = 0;  // the stick's X axis
  struct Step {
    std::function<void(PadKeys&, std::vector<PadKey>&)> act;
    std::string want;
  };
  auto button = [](int pad, int control, int key, bool held, std::int64_t at) {
    return [=](PadKeys& k, std::vector<PadKey>& out) { k.set(pad, control, key, held, at, out); };
  };
  auto stick = [](int value, std::int64_t at) {
    return [=](PadKeys& k, std::vector<PadKey>& out) { k.stick(0, X, value, Left, Right, at, out); };
  };
  auto wall = [](std::int64_t t) { return [=](PadKeys& k, std::vector<PadKey>& out) { k.repeats(t, out); }; };
  const std::vector<std::vector<Step>> cases = {
      // a held button repeats after the delay, at the rate, until let go
      {{button(0, 1, Z, true, 100), "down 90@100"}, {wall(599), ""}, {wall(700), "repeat 90@600 repeat 90@650 repeat 90@700"},
       {button(0, 1, Z, false, 710), "up 90@710"}, {wall(2000), ""}},
      // two controls for one key: down with the first, up with the last
      {{button(0, 1, Z, true, 0), "down 90@0"}, {button(1, 7, Z, true, 10), ""}, {button(0, 1, Z, false, 20), ""},
       {button(1, 7, Z, false, 30), "up 90@30"}},
      // the key pressed last repeats; letting it go ends the repeats
      {{button(0, 1, Z, true, 0), "down 90@0"}, {button(0, 14, Right, true, 400), "down 39@400"},
       {wall(900), "repeat 39@900"}, {button(0, 14, Right, false, 920), "up 39@920"}, {wall(3000), ""}},
      // the stick: a dead zone, then a key until it is well back inside
      {{stick(15000, 0), ""}, {stick(17000, 10), "down 39@10"}, {stick(11000, 20), ""}, {stick(9000, 30), "up 39@30"},
       {stick(-17000, 40), "down 37@40"}, {stick(17000, 50), "up 37@50 down 39@50"}},
      // a pad going away lets go of what it held
      {{button(2, 1, Z, true, 0), "down 90@0"}, {stick(-20000, 5), "down 37@5"},
       {[](PadKeys& k, std::vector<PadKey>& out) { k.drop(2, 9, out); }, "up 90@9"}},
  };
  for (std::size_t i = 0; i < cases.size(); ++i) {
    PadKeys keys;
    keys.setRepeat(500, 50);
    for (const Step& s : cases[i]) {
      std::vector<PadKey> out;
      s.act(keys, out);
      EXPECT_EQ(keysOf(out), s.want) << "case " << i;
    }
  }
}

// One form in a live window of SDL's dummy video driver, whose screen is 1024 x 768.
class FullScreen : public DummyVideo {
 protected:
  void SetUp() override {
    DummyVideo::SetUp();
    if (IsSkipped()) return;
    platform_ = std::make_unique<SdlPlatform>(painter(), audio_, 1);
    platform_->rememberIn(config_.file("qspe/settings"), {1, false});
    rt_ = std::make_unique<Runtime>(*platform_, trace_, RunConfig{});
    form_ = static_cast<Sheet*>(&rt_->addForm(std::make_unique<Sheet>(120, 40, Units::Pixels, Color::rgb(0, 200, 0))));
    rt_->show(*form_);
    settle();
  }
  void TearDown() override {
    if (!platform_) return;
    rt_.reset();
    platform_.reset();
  }
  void key(SDL_Scancode place, bool down, Uint16 mod = KMOD_NONE) {
    SDL_Event ev{};
    ev.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    ev.key.windowID = SDL_GetWindowID(platform_->windowOf(*form_));
    ev.key.keysym.scancode = place;
    ev.key.keysym.sym = SDL_GetKeyFromScancode(place);
    ev.key.keysym.mod = mod;
    SDL_PushEvent(&ev);
  }
  // Takes the waiting events (a resize follows a switch) and draws; the keys
  // that came through, by code. Each wait outlasts the loop's longest sleep
  // between two looks at the events.
  std::vector<int> settle() {
    std::vector<int> keys;
    std::vector<Form*> shown{form_};
    for (int i = 0; i < 2; ++i) {
      while (auto e = platform_->nextInput(0, platform_->wallNow() + 300)) keys.push_back(e->key);
      platform_->present(shown);
    }
    return keys;
  }
  SDL_Surface* shown() { return SDL_GetWindowSurface(platform_->windowOf(*form_)); }
  std::string remembered() {
    std::stringstream s;
    s << std::ifstream(config_.file("qspe/settings")).rdbuf();
    return s.str();
  }

  TempDir config_;
  SilentAudio audio_;
  Trace trace_{[] { return std::int64_t{0}; }};
  std::unique_ptr<SdlPlatform> platform_;
  std::unique_ptr<Runtime> rt_;
  Sheet* form_ = nullptr;
};

TEST_F(FullScreen, AltEnterAndF11ToggleItCentredAtAWholeScaleAndTheKeysStayOut) {
  key(SDL_SCANCODE_LALT, true);
  key(SDL_SCANCODE_RETURN, true, KMOD_LALT);
  key(SDL_SCANCODE_RETURN, false, KMOD_LALT);
  key(SDL_SCANCODE_LALT, false);
  key(SDL_SCANCODE_Z, true);
  EXPECT_EQ(settle(), (std::vector<int>{90}));  // neither Alt nor Enter reaches the form
  ASSERT_TRUE(platform_->fullscreen());
  EXPECT_EQ(SDL_GetWindowFlags(platform_->windowOf(*form_)) & SDL_WINDOW_FULLSCREEN_DESKTOP,
            Uint32{SDL_WINDOW_FULLSCREEN_DESKTOP});
  EXPECT_NE(remembered().find("fullscreen=1"), std::string::npos) << remembered();

  SDL_Surface* s = shown();
  ASSERT_TRUE(s);
  const Placement p = platform_->placementOf(*form_);
  EXPECT_EQ(p, centredPlacement(120, 40, s->w, s->h));
  EXPECT_GT(p.scale, 1);
  EXPECT_EQ(pixel(s, 0, 0), colors::black);
  EXPECT_EQ(pixel(s, s->w - 1, s->h - 1), colors::black);
  EXPECT_EQ(pixel(s, p.x, p.y), Color::rgb(0, 200, 0));
  EXPECT_EQ(pixel(s, p.x + 120 * p.scale - 1, p.y + 40 * p.scale - 1), Color::rgb(0, 200, 0));

  key(SDL_SCANCODE_F11, true);
  key(SDL_SCANCODE_F11, false);
  key(SDL_SCANCODE_LALT, true);  // an Alt with no Enter after it is a key like any other
  key(SDL_SCANCODE_X, true, KMOD_LALT);
  key(SDL_SCANCODE_LALT, false);
  EXPECT_EQ(settle(), (std::vector<int>{18, 88, 18}));
  EXPECT_FALSE(platform_->fullscreen());
  EXPECT_NE(remembered().find("fullscreen=0"), std::string::npos) << remembered();
  EXPECT_EQ(SDL_GetWindowFlags(platform_->windowOf(*form_)) & SDL_WINDOW_FULLSCREEN_DESKTOP, 0u);
}

// Kept (as on Wayland), a closed window is the next one opened, made over
// with its title, size and full screen (the dummy driver keeps no border or
// resize flags); the last form's minimum size no longer holds. Not kept, it
// is destroyed.
TEST_F(DummyVideo, AClosedWindowKeptIsTheNextOneOpenedMadeOver) {
  WindowMaker kept(true);
  SDL_Window* menu = kept.open("menu", 0, 0, 564, 456, SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE);
  ASSERT_TRUE(menu);
  SDL_SetWindowMinimumSize(menu, 282, 228);
  SDL_ShowWindow(menu);
  kept.close(menu);
  EXPECT_TRUE(SDL_GetWindowFlags(menu) & SDL_WINDOW_HIDDEN);
  SDL_Window* game = kept.open("game", 0, 0, 120, 40, SDL_WINDOW_HIDDEN | SDL_WINDOW_FULLSCREEN_DESKTOP);
  EXPECT_EQ(game, menu);
  EXPECT_STREQ(SDL_GetWindowTitle(game), "game");
  EXPECT_TRUE(SDL_GetWindowFlags(game) & SDL_WINDOW_FULLSCREEN_DESKTOP);
  kept.close(game);
  SDL_Window* next = kept.open("next", 0, 0, 120, 40, SDL_WINDOW_HIDDEN);
  int w = 0, h = 0;
  SDL_GetWindowSize(next, &w, &h);
  EXPECT_EQ(w, 120);
  EXPECT_EQ(h, 40);
  EXPECT_FALSE(SDL_GetWindowFlags(next) & SDL_WINDOW_FULLSCREEN_DESKTOP);

  WindowMaker destroying(false);
  SDL_Window* once = destroying.open("once", 0, 0, 10, 10, SDL_WINDOW_HIDDEN);
  const Uint32 id = SDL_GetWindowID(once);
  destroying.close(once);
  EXPECT_EQ(SDL_GetWindowFromID(id), nullptr);
}

}  // namespace
}  // namespace qs::test
