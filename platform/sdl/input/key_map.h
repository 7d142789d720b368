#pragma once
#include <SDL.h>

#include <map>
#include <string>
#include <vector>

namespace qs {

// The keys and pad buttons of the player's choice for what the scenes read:
// Z, X and the arrows; and for the pause, which no scene sees. The scenes,
// scripts, records and traces speak of those alone; a chosen key reaches the
// scene as the one it stands for.
class KeyMap {
 public:
  static constexpr int kPause = -1;  // the code of the pause's keys: they reach no scene

  struct Action {
    const char* name;  // as the settings and the scripts name it
    int code;          // the key code the scenes read
    std::vector<SDL_Keycode> keys;
    std::vector<SDL_GameControllerButton> buttons;
  };

  KeyMap();  // Z, X, the arrows and Pause; A and Start, B and Back, the D-pad
  // Takes the "key.NAME=" and "pad.NAME=" lines of the settings file's text
  // (an empty list: none); each line it cannot use is named in `complaints`
  // and leaves that action as it was. Other lines are not its own.
  void read(const std::string& settings, std::vector<std::string>& complaints);

  // The code a key gives the scene: an action's when it is one of the
  // action's keys; a key that stood for an action the player has moved
  // elsewhere gives none the scenes read; any other key its own.
  int codeOf(SDL_Keycode key, int ownCode) const;
  // The code a pad button gives; 0 for none.
  int codeOf(SDL_GameControllerButton button) const;
  // The map in force, as settings lines.
  std::string describe() const;

 private:
  std::vector<Action> actions_;
  std::map<int, bool> moved_;  // action code -> its default key no longer gives it
};

// The map the settings file at `path` gives, each line it cannot use named
// once on standard error after "`program`: ".
KeyMap readKeyMap(const std::string& path, const std::string& program);

}  // namespace qs
