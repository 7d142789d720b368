#pragma once
#include <SDL.h>

#include <optional>
#include <set>
#include <utility>
#include <vector>

namespace qs {

// Which of the keyboard's events reach the scenes. Alt+Enter and F11 switch
// full screen and reach no scene: not their press, repeats or release, nor
// the Alt of Alt+Enter. So an Alt press waits until the next key event shows
// whether Enter follows; when none does, it is passed on then, before that
// event, with its own time.
class KeyGate {
 public:
  // One key event of a window that may switch full screen (`canSwitch`; in
  // others every key passes at once). The events to pass on, in order, are
  // appended to `out`. True when the event switches full screen.
  bool take(const SDL_KeyboardEvent& k, bool canSwitch, std::vector<SDL_KeyboardEvent>& out);
  // True while a key is held down.
  bool anyHeld() const { return !held_.empty(); }

 private:
  std::optional<SDL_KeyboardEvent> alt_;  // an Alt press waiting
  std::set<SDL_Scancode> swallowed_;      // keys of a switch, until released
  std::set<SDL_Scancode> held_;
};

}  // namespace qs
