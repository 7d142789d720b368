#include "platform/sdl/input/key_map.h"

#include <algorithm>
#include <cstdio>
#include <sstream>

#include "platform/sdl/input/virtual_key.h"
#include "platform/sdl/video/display_settings.h"

namespace qs {
namespace {

std::string trimmed(const std::string& s) {
  const auto first = s.find_first_not_of(" \t\r");
  return first == std::string::npos ? std::string() : s.substr(first, s.find_last_not_of(" \t\r") - first + 1);
}

// "a, start" -> {"a", "start"}; "" -> none. Empty names between commas are
// kept, so that they are named as bad.
std::vector<std::string> names(const std::string& list) {
  std::vector<std::string> out;
  if (trimmed(list).empty()) return out;
  std::istringstream in(list);
  for (std::string n; std::getline(in, n, ',');) out.push_back(trimmed(n));
  if (list.back() == ',') out.emplace_back();
  return out;
}

}  // namespace

KeyMap::KeyMap()
    : actions_{{"Z", 90, {SDLK_z}, {SDL_CONTROLLER_BUTTON_A, SDL_CONTROLLER_BUTTON_START}},
               {"X", 88, {SDLK_x}, {SDL_CONTROLLER_BUTTON_B, SDL_CONTROLLER_BUTTON_BACK}},
               {"Left", 37, {SDLK_LEFT}, {SDL_CONTROLLER_BUTTON_DPAD_LEFT}},
               {"Right", 39, {SDLK_RIGHT}, {SDL_CONTROLLER_BUTTON_DPAD_RIGHT}},
               {"Up", 38, {SDLK_UP}, {SDL_CONTROLLER_BUTTON_DPAD_UP}},
               {"Down", 40, {SDLK_DOWN}, {SDL_CONTROLLER_BUTTON_DPAD_DOWN}},
               {"Pause", kPause, {SDLK_PAUSE}, {}}} {}

void KeyMap::read(const std::string& settings, std::vector<std::string>& complaints) {
  std::istringstream in(settings);
  for (std::string raw; std::getline(in, raw);) {
    const std::string line = trimmed(raw);
    const bool key = line.rfind("key.", 0) == 0, pad = line.rfind("pad.", 0) == 0;
    if (!key && !pad) continue;
    const auto eq = line.find('=');
    const std::string name = trimmed(line.substr(4, eq == std::string::npos ? eq : eq - 4));
    auto action = std::find_if(actions_.begin(), actions_.end(), [&](const Action& a) { return name == a.name; });
    const std::string said = "settings line \"" + line + "\": ";
    if (eq == std::string::npos || action == actions_.end()) {
      complaints.push_back(said + "the keys to choose are Z, X, Left, Right, Up, Down and Pause");
      continue;
    }
    std::vector<SDL_Keycode> keys;
    std::vector<SDL_GameControllerButton> buttons;
    std::string unknown;
    for (const std::string& n : names(line.substr(eq + 1))) {
      if (key) {
        keys.push_back(n.empty() ? SDLK_UNKNOWN : SDL_GetKeyFromName(n.c_str()));
        if (keys.back() == SDLK_UNKNOWN && unknown.empty()) unknown = "\"" + n + "\" is no key name SDL knows";
      } else {
        buttons.push_back(n.empty() ? SDL_CONTROLLER_BUTTON_INVALID : SDL_GameControllerGetButtonFromString(n.c_str()));
        if (buttons.back() == SDL_CONTROLLER_BUTTON_INVALID && unknown.empty())
          unknown = "\"" + n + "\" is no pad button (a, b, x, y, back, start, dpleft, leftshoulder, ...)";
      }
    }
    if (!unknown.empty()) {
      complaints.push_back(said + unknown + "; " + action->name + " keeps what it had");
      continue;
    }
    if (key) {
      action->keys = keys;
      moved_[action->code] = true;
    } else {
      action->buttons = buttons;
    }
  }
}

int KeyMap::codeOf(SDL_Keycode key, int ownCode) const {
  for (const Action& a : actions_)
    if (std::find(a.keys.begin(), a.keys.end(), key) != a.keys.end()) return a.code;
  return moved_.contains(ownCode) ? kOtherKey : ownCode;
}

int KeyMap::codeOf(SDL_GameControllerButton button) const {
  for (const Action& a : actions_)
    if (std::find(a.buttons.begin(), a.buttons.end(), button) != a.buttons.end()) return a.code;
  return 0;
}

std::string KeyMap::describe() const {
  std::ostringstream out;
  auto list = [&](const char* kind, const Action& a, auto& items, auto name) {
    out << kind << '.' << a.name << '=';
    for (std::size_t i = 0; i < items.size(); ++i) out << (i ? "," : "") << name(items[i]);
    out << '\n';
  };
  for (const Action& a : actions_) list("key", a, a.keys, [](SDL_Keycode k) { return SDL_GetKeyName(k); });
  for (const Action& a : actions_)
    list("pad", a, a.buttons, [](SDL_GameControllerButton b) { return SDL_GameControllerGetStringForButton(b); });
  return out.str();
}

KeyMap readKeyMap(const std::string& path, const std::string& program) {
  KeyMap map;
  std::vector<std::string> complaints;
  map.read(readSettingsText(path), complaints);
  for (const std::string& c : complaints) std::fprintf(stderr, "%s: %s\n", program.c_str(), c.c_str());
  return map;
}

}  // namespace qs
