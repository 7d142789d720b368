#include "platform/sdl/input/key_gate.h"

namespace qs {

bool KeyGate::take(const SDL_KeyboardEvent& k, bool canSwitch, std::vector<SDL_KeyboardEvent>& out) {
  const SDL_Scancode place = k.keysym.scancode;
  if (k.type == SDL_KEYDOWN) held_.insert(place);
  else held_.erase(place);
  if (swallowed_.contains(place)) {
    if (k.type == SDL_KEYUP) swallowed_.erase(place);
    return false;
  }
  if (alt_ && alt_->keysym.scancode == place) {
    if (k.type == SDL_KEYDOWN) return false;  // its repeats: it is still waiting
    out.push_back(*std::exchange(alt_, std::nullopt));
    out.push_back(k);
    return false;
  }
  const bool press = k.type == SDL_KEYDOWN && !k.repeat;
  const bool enter = place == SDL_SCANCODE_RETURN || place == SDL_SCANCODE_KP_ENTER;
  const bool chord = canSwitch && press && enter && (k.keysym.mod & KMOD_ALT);
  if (chord && alt_) swallowed_.insert(std::exchange(alt_, std::nullopt)->keysym.scancode);
  if (alt_) out.push_back(*std::exchange(alt_, std::nullopt));
  if (chord || (canSwitch && press && place == SDL_SCANCODE_F11)) {
    swallowed_.insert(place);
    return true;
  }
  if (canSwitch && press && (place == SDL_SCANCODE_LALT || place == SDL_SCANCODE_RALT)) alt_ = k;
  else out.push_back(k);
  return false;
}

}  // namespace qs
