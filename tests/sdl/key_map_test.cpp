// The player's keys and pad buttons, from the settings file's lines.
#include <gtest/gtest.h>

#include <fstream>

#include "platform/sdl/video/display_settings.h"
#include "platform/sdl/input/key_map.h"
#include "platform/sdl/input/virtual_key.h"
#include "support/files.h"

namespace qs::test {
namespace {

constexpr int kZ = 90, kX = 88, kLeft = 37, kUp = 38, kDown = 40, kSpace = 32, kReturn = 13;

TEST(KeyMap, ChosenKeysStandForTheirActionsAndBadLinesKeepTheDefaults) {
  struct Case {
    const char* settings;
    std::size_t complaints;
    std::vector<std::pair<SDL_Keycode, int>> keys;  // key (own code from the key) -> what the scene reads
    std::vector<std::pair<SDL_GameControllerButton, int>> buttons;
  };
  const Case cases[] = {
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
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.settings);
    KeyMap map;
    std::vector<std::string> complaints;
    map.read(c.settings, complaints);
    EXPECT_EQ(complaints.size(), c.complaints);
    for (auto [key, code] : c.keys) {
      const int own = key == SDLK_SPACE ? kSpace : key == SDLK_RETURN ? kReturn : key == SDLK_UP ? kUp
                    : key == SDLK_DOWN ? kDown : key == SDLK_LEFT ? kLeft : std::toupper(key);
      EXPECT_EQ(map.codeOf(key, own), code) << SDL_GetKeyName(key);
    }
    for (auto [button, code] : c.buttons) EXPECT_EQ(map.codeOf(button), code) << SDL_GameControllerGetStringForButton(button);
    // What --keys prints reads back as the same map.
    KeyMap again;
    again.read(map.describe(), complaints);
    EXPECT_EQ(again.describe(), map.describe());
    EXPECT_EQ(complaints.size(), c.complaints);
  }
}

TEST(KeyMap, TheDisplayChoicesAreWrittenWithoutLosingThePlayersLines) {
  TempDir dir;
  const std::string file = dir.file("settings");
  std::ofstream(file) << "key.Z=space\nscale=3\n# mine\npad.X=y\n";
  ASSERT_TRUE(writeSettings(file, DisplaySettings{2, true}));
  EXPECT_EQ(readSettings(file), (DisplaySettings{2, true}));
  const std::string text = readSettingsText(file);
  for (const char* line : {"key.Z=space\n", "# mine\n", "pad.X=y\n"}) EXPECT_NE(text.find(line), std::string::npos) << text;
  EXPECT_EQ(text.find("scale=3"), std::string::npos) << text;
  ASSERT_TRUE(writeSettings(file, DisplaySettings{1, false}));
  EXPECT_EQ(readSettingsText(file).size(), text.size()) << "written once each: " << readSettingsText(file);
}

}  // namespace
}  // namespace qs::test
