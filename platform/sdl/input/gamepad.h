#pragma once
#include <SDL.h>

#include <cstdint>
#include <map>
#include <utility>
#include <vector>

#include "platform/sdl/input/key_map.h"
#include "runtime/platform.h"

namespace qs {

// A key a pad pressed, let go or repeated, at a time of the wall clock (ms).
struct PadKey {
  InputEvent::Kind kind = InputEvent::Kind::KeyDown;
  int key = 0;
  std::int64_t at = 0;
};

// The pads' controls as held keys. A key is down while any control standing
// for it is held; the key pressed last repeats as a held keyboard key does,
// after a delay and then at a steady rate, until it is let go.
class PadKeys {
 public:
  // Past the dead zone a stick's side presses its key; it lets go only once
  // the stick is back well inside, so a stick held near the edge does not flicker.
  static constexpr int kStickPress = 16000, kStickRelease = 10000;

  void setRepeat(std::int64_t delayMs, std::int64_t intervalMs);
  // One control of a pad held or let go.
  void set(int pad, int control, int key, bool held, std::int64_t at, std::vector<PadKey>& out);
  // A stick's axis moved: negative values stand for `lessKey`, positive ones for `moreKey`.
  void stick(int pad, int axis, int value, int lessKey, int moreKey, std::int64_t at, std::vector<PadKey>& out);
  // A pad went away: what it held is let go.
  void drop(int pad, std::int64_t at, std::vector<PadKey>& out);
  // The repeats due by `wall`.
  void repeats(std::int64_t wall, std::vector<PadKey>& out);
  // When the next repeat falls due; kNever when no key repeats.
  std::int64_t nextRepeat() const { return nextRepeat_; }

 private:
  int holders(int key) const;

  std::map<std::pair<int, int>, int> held_;  // (pad, control) -> key
  std::map<std::pair<int, int>, int> side_;  // (pad, stick axis) -> -1, 0, 1
  int repeating_ = 0;
  std::int64_t nextRepeat_ = kNever;
  std::int64_t delay_ = 500, interval_ = 33;
};

// Game controllers through SDL, connected at the start or later: the left
// stick as the arrow keys, the buttons as the key map has them (by default
// the D-pad as the arrows, A and Start as Z, B and Back as X).
class Gamepads {
 public:
  Gamepads() = default;
  ~Gamepads();
  Gamepads(const Gamepads&) = delete;
  Gamepads& operator=(const Gamepads&) = delete;

  PadKeys& keys() { return keys_; }
  void setKeyMap(const KeyMap& map) { map_ = map; }
  bool any() const { return !open_.empty(); }
  // Takes a controller's event, with `at` its time on the wall clock; false
  // for any other event.
  bool take(const SDL_Event& ev, std::int64_t at, std::vector<PadKey>& out);

 private:
  std::map<SDL_JoystickID, SDL_GameController*> open_;
  PadKeys keys_;
  KeyMap map_;
};

}  // namespace qs
