#include "platform/sdl/input/gamepad.h"

#include <algorithm>

namespace qs {
namespace {

constexpr int kLeft = 37, kUp = 38, kRight = 39, kDown = 40;
constexpr int kStickControl = 1000;  // stick sides are numbered after the buttons

}  // namespace

void PadKeys::setRepeat(std::int64_t delayMs, std::int64_t intervalMs) {
  delay_ = std::max<std::int64_t>(1, delayMs);
  interval_ = std::max<std::int64_t>(1, intervalMs);
}

int PadKeys::holders(int key) const {
  return static_cast<int>(std::count_if(held_.begin(), held_.end(), [key](auto& h) { return h.second == key; }));
}

void PadKeys::set(int pad, int control, int key, bool held, std::int64_t at, std::vector<PadKey>& out) {
  const std::pair id{pad, control};
  if (held == held_.contains(id)) return;
  if (held) {
    held_[id] = key;
    if (holders(key) > 1) return;  // already down through another control
    out.push_back({InputEvent::Kind::KeyDown, key, at});
    repeating_ = key;
    nextRepeat_ = at + delay_;
  } else {
    held_.erase(id);
    if (holders(key) > 0) return;
    out.push_back({InputEvent::Kind::KeyUp, key, at});
    if (repeating_ == key) repeating_ = 0, nextRepeat_ = kNever;
  }
}

void PadKeys::stick(int pad, int axis, int value, int lessKey, int moreKey, std::int64_t at, std::vector<PadKey>& out) {
  int& side = side_[{pad, axis}];
  int now = side;
  if (side != 0 && value * side < kStickRelease) now = 0;  // back inside, or over to the other side
  if (now == 0) now = value >= kStickPress ? 1 : value <= -kStickPress ? -1 : 0;
  if (now == side) return;
  const int control = kStickControl + axis * 2;
  if (side != 0) set(pad, control + (side > 0), side > 0 ? moreKey : lessKey, false, at, out);
  if (now != 0) set(pad, control + (now > 0), now > 0 ? moreKey : lessKey, true, at, out);
  side = now;
}

void PadKeys::drop(int pad, std::int64_t at, std::vector<PadKey>& out) {
  std::vector<std::pair<int, int>> gone;
  for (auto& [id, key] : held_)
    if (id.first == pad) gone.push_back({id.second, key});
  for (auto [control, key] : gone) set(pad, control, key, false, at, out);
  std::erase_if(side_, [pad](auto& s) { return s.first.first == pad; });
}

void PadKeys::repeats(std::int64_t wall, std::vector<PadKey>& out) {
  for (; repeating_ && nextRepeat_ <= wall; nextRepeat_ += interval_)
    out.push_back({InputEvent::Kind::KeyRepeat, repeating_, nextRepeat_});
}

Gamepads::~Gamepads() {
  for (auto& [id, pad] : open_) SDL_GameControllerClose(pad);
}

bool Gamepads::take(const SDL_Event& ev, std::int64_t at, std::vector<PadKey>& out) {
  switch (ev.type) {
    case SDL_CONTROLLERDEVICEADDED:
      if (SDL_GameController* pad = SDL_GameControllerOpen(ev.cdevice.which)) {
        SDL_JoystickID id = SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(pad));
        if (open_.contains(id)) SDL_GameControllerClose(pad);  // announced twice: opened once
        else open_[id] = pad;
      }
      return true;
    case SDL_CONTROLLERDEVICEREMOVED:
      if (auto it = open_.find(ev.cdevice.which); it != open_.end()) {
        keys_.drop(it->first, at, out);
        SDL_GameControllerClose(it->second);
        open_.erase(it);
      }
      return true;
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP:
      if (int key = map_.codeOf(static_cast<SDL_GameControllerButton>(ev.cbutton.button));
          key && open_.contains(ev.cbutton.which))
        keys_.set(ev.cbutton.which, ev.cbutton.button, key, ev.type == SDL_CONTROLLERBUTTONDOWN, at, out);
      return true;
    case SDL_CONTROLLERAXISMOTION:
      if (!open_.contains(ev.caxis.which)) return true;
      if (ev.caxis.axis == SDL_CONTROLLER_AXIS_LEFTX)
        keys_.stick(ev.caxis.which, ev.caxis.axis, ev.caxis.value, kLeft, kRight, at, out);
      else if (ev.caxis.axis == SDL_CONTROLLER_AXIS_LEFTY)
        keys_.stick(ev.caxis.which, ev.caxis.axis, ev.caxis.value, kUp, kDown, at, out);
      return true;
    default: return false;
  }
}

}  // namespace qs
