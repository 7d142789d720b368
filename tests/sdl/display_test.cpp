// The live display: one scale for the run, full screen, the remembered
// choices, the keys' codes, the player's chosen keys, and game controllers
// standing for keys.
#include <fstream>

#include "paint_support.h"
#include "platform/sdl/input/gamepad.h"
#include "platform/sdl/input/key_map.h"
#include "platform/sdl/input/virtual_key.h"
#include "platform/sdl/video/display_settings.h"
#include "platform/sdl/video/placement.h"
#include "platform/sdl/video/window_maker.h"
#include "runtime/keys.h"
#include "support/env_var.h"
#include "support/spoilt_files.h"

namespace qs::test {
namespace {

TEST(Placement, ThePictureIsAsLargeAsAWholeScaleLetsItBeAndCentred) {
  const std::tuple<int, int, int, int, Placement> cases[] = {
      {320, 240, 320, 240, {1, 0, 0}},       // a window of its own size
      {320, 240, 1920, 1080, {4, 320, 60}},  // the height decides
      {400, 100, 1000, 800, {2, 100, 300}},  // the width decides
      {320, 240, 3840, 2160, {9, 480, 0}},   // not capped
      {282, 228, 1000, 700, {3, 77, 8}},     // 3.5 and 3.1 times: the whole scale below
      {320, 240, 200, 100, {1, 0, 0}},       // too small: the top-left part
      {0, 0, 10, 10, {10, 0, 0}},            // an empty form draws nothing, anywhere
  };
  for (const auto& [w, h, outW, outH, want] : cases)
    EXPECT_EQ(centredPlacement(w, h, outW, outH), want) << w << "x" << h << " in " << outW << "x" << outH;
}

// The settings live under the config folder; they are read back with the
// defaults for nonsense, only from a small regular file, at once and in
// little memory, and written as a new file renamed over the old, never into a
// pipe. (The one writer of kept files is killed at any moment in the score
// file's tests.)
TEST(DisplaySettings, AreKeptUnderTheConfigFolderReadSafelyAndReplacedWhole) {
  TempDir home;
  {
    EnvVar config("XDG_CONFIG_HOME", home.path());
    EXPECT_EQ(settingsPath(), home.file("qspe/settings"));
  }
  const std::string path = home.file("deep/qspe/settings");
  const DisplaySettings good{3, true};
  ASSERT_TRUE(writeSettings(path, good));  // the folders are made
  for (const Spoilt& c : spoilings(readBytes(path))) {
    const bool taken = c.kind == Spoil::None || c.kind == Spoil::Link || c.kind == Spoil::Grown;
    EXPECT_EQ(checkLaid(c, path, [&] { return readSettings(path) == (taken ? good : DisplaySettings{}); }), "")
        << c.what;
  }
  // clang-format off
  const std::pair<const char*, DisplaySettings> texts[] = {
      {"scale=99\nfullscreen=2\n", {}}, {"scale=-1\nscale=\nfullscreen=yes\n", {}},
      {"# a note\nwhatever\nscale=2", {2, false}}, {"fullscreen=1\nscale=12\n", {12, true}}};
  // clang-format on
  for (const auto& [text, want] : texts) {
    std::ofstream(path) << text;
    EXPECT_EQ(readSettings(path), want) << text;
  }
  // The player's own lines stay, the display's choices are written once each.
  std::ofstream(path) << "key.Z=space\nscale=5\n# mine\npad.X=y\n";
  ASSERT_TRUE(writeSettings(path, good));
  EXPECT_EQ(readSettings(path), good);
  const std::string text = readSettingsText(path);
  for (const char* line : {"key.Z=space\n", "# mine\n", "pad.X=y\n"})
    EXPECT_NE(text.find(line), std::string::npos) << text;
  EXPECT_EQ(text.find("scale=5"), std::string::npos) << text;
  ASSERT_TRUE(writeSettings(path, {2, false}));
  EXPECT_EQ(readSettings(path), (DisplaySettings{2, false}));
  EXPECT_EQ(readSettingsText(path).size(), text.size()) << "written once each: " << readSettingsText(path);
  EXPECT_EQ(checkLaid(spoiling(Spoil::Fifo), path, [&] { return !writeSettings(path, good); }), "");
}

constexpr int kZ = 90, kX = 88, kLeft = 37, kUp = 38, kRight = 39, kDown = 40, kSpace = 32;

using KeyMaps = DummyVideo;  // a key's own code comes from its place on the keyboard SDL knows

TEST_F(KeyMaps, ChosenKeysStandForTheirActionsAndBadLinesKeepTheDefaults) {
  const struct {
    const char* settings;
    std::size_t complaints;
    std::vector<std::pair<SDL_Keycode, int>> keys;  // key (own code from the key) -> what the scene reads
    std::vector<std::pair<SDL_GameControllerButton, int>> buttons;
  } cases[] = {
      // clang-format off
      {"scale=2\n", 0, {{SDLK_z, kZ}, {SDLK_x, kX}, {SDLK_LEFT, kLeft}, {SDLK_SPACE, kSpace}},
       {{SDL_CONTROLLER_BUTTON_A, kZ}, {SDL_CONTROLLER_BUTTON_START, kZ}, {SDL_CONTROLLER_BUTTON_BACK, kX},
        {SDL_CONTROLLER_BUTTON_DPAD_UP, kUp}, {SDL_CONTROLLER_BUTTON_Y, 0}}},
      // Several keys for one: the key it had gives nothing a scene reads.
      {"key.Z = space, Return\n", 0, {{SDLK_SPACE, kZ}, {SDLK_RETURN, kZ}, {SDLK_z, kOtherKey}, {SDLK_x, kX}}, {}},
      {"key.Z=x\nkey.X=z\n", 0, {{SDLK_x, kZ}, {SDLK_z, kX}}, {}},
      {"pad.X=y\n", 0, {}, {{SDL_CONTROLLER_BUTTON_Y, kX}, {SDL_CONTROLLER_BUTTON_B, 0}, {SDL_CONTROLLER_BUTTON_A, kZ}}},
      {"key.Up=nokey\nkey.Jump=a\npad.Up=dpdown,nobutton\nkey.X=space,\nkey.Left\n", 5,
       {{SDLK_UP, kUp}, {SDLK_a, 'A'}, {SDLK_x, kX}, {SDLK_SPACE, kSpace}, {SDLK_LEFT, kLeft}},
       {{SDL_CONTROLLER_BUTTON_DPAD_UP, kUp}, {SDL_CONTROLLER_BUTTON_DPAD_DOWN, kDown}}},
      // An empty list: none.
      {"pad.Left=\nkey.Down=\n", 0, {{SDLK_DOWN, kOtherKey}}, {{SDL_CONTROLLER_BUTTON_DPAD_LEFT, 0}}},
      // clang-format on
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.settings);
    KeyMap map;
    std::vector<std::string> complaints;
    map.read(c.settings, complaints);
    EXPECT_EQ(complaints.size(), c.complaints);
    for (auto [key, code] : c.keys)
      EXPECT_EQ(map.codeOf(key, virtualKey(key, SDL_GetScancodeFromKey(key))), code) << SDL_GetKeyName(key);
    for (auto [button, code] : c.buttons)
      EXPECT_EQ(map.codeOf(button), code) << SDL_GameControllerGetStringForButton(button);
    // What --keys prints reads back as the same map.
    KeyMap again;
    again.read(map.describe(), complaints);
    EXPECT_EQ(again.describe(), map.describe());
    EXPECT_EQ(complaints.size(), c.complaints);
  }
}

// Controls pressed and let go, with the keys they make, as "down Z@100".
std::string keysOf(const std::vector<PadKey>& keys) {
  std::string s;
  for (const PadKey& k : keys) {
    using enum InputEvent::Kind;
    const char* kind = k.kind == KeyDown ? "down" : k.kind == KeyUp ? "up" : "repeat";
    s += std::string(s.empty() ? "" : " ") + kind + " " + std::to_string(k.key) + "@" + std::to_string(k.at);
  }
  return s;
}

TEST(PadKeys, ControlsAreHeldKeysThatRepeatLikeTheKeyboards) {
  using Act = std::function<void(PadKeys&, std::vector<PadKey>&)>;
  auto button = [](int pad, int control, int key, bool held, std::int64_t at) {
    return [=](PadKeys& k, std::vector<PadKey>& out) { k.set(pad, control, key, held, at, out); };
  };
  auto stick = [](int value, std::int64_t at) {
    return [=](PadKeys& k, std::vector<PadKey>& out) { k.stick(0, 0, value, kLeft, kRight, at, out); };  // its X axis
  };
  auto wall = [](std::int64_t t) { return [=](PadKeys& k, std::vector<PadKey>& out) { k.repeats(t, out); }; };
  // clang-format off
  const std::vector<std::vector<std::pair<Act, std::string>>> cases = {
      // a held button repeats after the delay, at the rate, until let go
      {{button(0, 1, kZ, true, 100), "down 90@100"}, {wall(599), ""}, {wall(700), "repeat 90@600 repeat 90@650 repeat 90@700"},
       {button(0, 1, kZ, false, 710), "up 90@710"}, {wall(2000), ""}},
      // two controls for one key: down with the first, up with the last
      {{button(0, 1, kZ, true, 0), "down 90@0"}, {button(1, 7, kZ, true, 10), ""}, {button(0, 1, kZ, false, 20), ""},
       {button(1, 7, kZ, false, 30), "up 90@30"}},
      // the key pressed last repeats; letting it go ends the repeats
      {{button(0, 1, kZ, true, 0), "down 90@0"}, {button(0, 14, kRight, true, 400), "down 39@400"},
       {wall(900), "repeat 39@900"}, {button(0, 14, kRight, false, 920), "up 39@920"}, {wall(3000), ""}},
      // the stick: a dead zone, then a key until it is well back inside
      {{stick(15000, 0), ""}, {stick(17000, 10), "down 39@10"}, {stick(11000, 20), ""}, {stick(9000, 30), "up 39@30"},
       {stick(-17000, 40), "down 37@40"}, {stick(17000, 50), "up 37@50 down 39@50"}},
      // a pad going away lets go of what it held
      {{button(2, 1, kZ, true, 0), "down 90@0"}, {stick(-20000, 5), "down 37@5"},
       {[](PadKeys& k, std::vector<PadKey>& out) { k.drop(2, 9, out); }, "up 90@9"}},
  };
  // clang-format on
  for (std::size_t i = 0; i < cases.size(); ++i) {
    PadKeys keys;
    keys.setRepeat(500, 50);
    for (const auto& [act, want] : cases[i]) {
      std::vector<PadKey> out;
      act(keys, out);
      EXPECT_EQ(keysOf(out), want) << "case " << i;
    }
  }
}

// One form in a live window of SDL's dummy video driver, whose screen is 1024 x 768.
class FullScreen : public DummyRun {
 protected:
  void SetUp() override {
    DummyRun::SetUp();
    if (IsSkipped()) return;
    form_ = &start(std::make_unique<Sheet>(120, 40), config_.file("qspe/settings"));
    settle();
  }
  // Keys pressed (true) and let go, with the modifiers held.
  void keys(std::initializer_list<std::tuple<SDL_Scancode, bool, Uint16>> presses) {
    for (auto [place, down, mod] : presses) {
      SDL_Event ev{static_cast<Uint32>(down ? SDL_KEYDOWN : SDL_KEYUP)};
      ev.key.windowID = SDL_GetWindowID(platform_->windowOf(*form_));
      ev.key.keysym = {place, SDL_GetKeyFromScancode(place), mod, 0};
      SDL_PushEvent(&ev);
    }
  }
  // Takes the waiting events (a resize follows a switch) and draws; the keys
  // that came through, by code. Each wait outlasts the loop's longest sleep
  // between two looks at the events.
  std::vector<int> settle() {
    std::vector<int> keys;
    for (int i = 0; i < 2; ++i) {
      while (auto e = platform_->nextInput(0, platform_->wallNow() + 300)) keys.push_back(e->key);
      platform_->present({form_});
    }
    return keys;
  }
  std::string remembered() { return readSettingsText(config_.file("qspe/settings")); }

  TempDir config_;
  Sheet* form_ = nullptr;
};

TEST_F(FullScreen, AltEnterAndF11ToggleItCentredAtAWholeScaleAndTheKeysStayOut) {
  // clang-format off
  keys({{SDL_SCANCODE_LALT, true, 0}, {SDL_SCANCODE_RETURN, true, KMOD_LALT}, {SDL_SCANCODE_RETURN, false, KMOD_LALT},
        {SDL_SCANCODE_LALT, false, 0}, {SDL_SCANCODE_Z, true, 0}});
  // clang-format on
  EXPECT_EQ(settle(), (std::vector<int>{90}));  // neither Alt nor Enter reaches the form
  ASSERT_EQ(SDL_GetWindowFlags(platform_->windowOf(*form_)) & SDL_WINDOW_FULLSCREEN_DESKTOP,
            Uint32{SDL_WINDOW_FULLSCREEN_DESKTOP});
  EXPECT_NE(remembered().find("fullscreen=1"), std::string::npos) << remembered();

  SDL_Surface* s = SDL_GetWindowSurface(platform_->windowOf(*form_));
  ASSERT_TRUE(s);
  const Placement p = platform_->placementOf(*form_);
  EXPECT_EQ(p, centredPlacement(120, 40, s->w, s->h));
  ASSERT_TRUE(p.scale > 1 && p.x + 120 * p.scale <= s->w && p.y + 40 * p.scale <= s->h) << "inside the screen";
  EXPECT_TRUE(pixel(s, 0, 0) == colors::black && pixel(s, s->w - 1, s->h - 1) == colors::black);
  EXPECT_EQ(differingPixels(s, draw(*form_, p.scale).get(), {p.x, p.y}), 0);

  // An Alt with no Enter after it is a key like any other.
  // clang-format off
  keys({{SDL_SCANCODE_F11, true, 0}, {SDL_SCANCODE_F11, false, 0}, {SDL_SCANCODE_LALT, true, 0},
        {SDL_SCANCODE_X, true, KMOD_LALT}, {SDL_SCANCODE_LALT, false, 0}});
  // clang-format on
  EXPECT_EQ(settle(), (std::vector<int>{18, 88, 18}));
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
  EXPECT_TRUE(w == 120 && h == 40) << w << " x " << h;
  EXPECT_FALSE(SDL_GetWindowFlags(next) & SDL_WINDOW_FULLSCREEN_DESKTOP);

  WindowMaker destroying(false);
  SDL_Window* once = destroying.open("once", 0, 0, 10, 10, SDL_WINDOW_HIDDEN);
  const Uint32 id = SDL_GetWindowID(once);
  destroying.close(once);
  EXPECT_EQ(SDL_GetWindowFromID(id), nullptr);
}

// Each key gets its desktop code: a letter or digit by what it types, the
// rest by its place; no key is dropped, and each code is one a script can name.
TEST(VirtualKeys, KeysGetTheirDesktopCodes) {
  const std::tuple<SDL_Keycode, SDL_Scancode, int> cases[] = {
      // clang-format off
      {SDLK_z, SDL_SCANCODE_Z, 'Z'},          {SDLK_a, SDL_SCANCODE_Q, 'A'},  // a layout with A where Q is
      {0xE9, SDL_SCANCODE_2, '2'},            // an accented letter on the digit row
      {SDLK_F1, SDL_SCANCODE_F1, 112},        {SDLK_F12, SDL_SCANCODE_F12, 123},
      {SDLK_F13, SDL_SCANCODE_F13, 124},      {SDLK_F24, SDL_SCANCODE_F24, 135},
      {SDLK_KP_0, SDL_SCANCODE_KP_0, 96},     {SDLK_KP_1, SDL_SCANCODE_KP_1, 97},
      {SDLK_KP_9, SDL_SCANCODE_KP_9, 105},    {SDLK_KP_ENTER, SDL_SCANCODE_KP_ENTER, 13},
      {SDLK_LEFT, SDL_SCANCODE_LEFT, vbKeyLeft}, {SDLK_DOWN, SDL_SCANCODE_DOWN, vbKeyDown},
      {SDLK_RSHIFT, SDL_SCANCODE_RSHIFT, 16}, {SDLK_UNKNOWN, SDL_SCANCODE_INTERNATIONAL1, kOtherKey},
      // clang-format on
  };
  for (const auto& [key, place, code] : cases) EXPECT_EQ(virtualKey(key, place), code) << SDL_GetScancodeName(place);
  for (int s = 0; s < SDL_NUM_SCANCODES; ++s) {
    const auto place = static_cast<SDL_Scancode>(s);
    const int code = virtualKey(SDL_SCANCODE_TO_KEYCODE(place), place);
    ASSERT_EQ(keyCode(keyName(code)), code) << s;
  }
}

// A game controller plugged in stands for keys: A for Z, the stick for the arrows.
TEST_F(FullScreen, AGameControllerPluggedInStandsForKeys) {
  SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");  // the dummy driver's windows never get focus
  ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER), 0) << SDL_GetError();
  const int index = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX,
                                              SDL_CONTROLLER_BUTTON_MAX, 0);
  SDL_Joystick* pad = SDL_JoystickOpen(index);
  ASSERT_TRUE(pad) << SDL_GetError();
  auto taken = [&] {  // those of the next 600 ms: a held key repeats
    std::vector<int> out;
    for (const std::int64_t end = platform_->wallNow() + 600; auto e = platform_->nextInput(0, end);)
      out.push_back(e->key);
    return out;
  };
  taken();  // the pad announced and opened
  SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_A, 1);
  const std::vector<int> held = taken();
  EXPECT_TRUE(!held.empty() && std::ranges::count(held, 90) == std::ssize(held)) << "Z, and its repeats";
  SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_A, 0);
  SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_LEFTX, 30000);
  const std::vector<int> right = taken();
  EXPECT_EQ(std::ranges::count(right, 90), 1) << "Z let go";
  EXPECT_GE(std::ranges::count(right, 39), 1) << "Right held";
  rt_.reset(), platform_.reset();  // the pads it opened closed before the subsystem goes
  SDL_JoystickClose(pad), SDL_JoystickDetachVirtual(index), SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
}

}  // namespace
}  // namespace qs::test
