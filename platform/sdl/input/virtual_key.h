#pragma once
#include <SDL_keyboard.h>

namespace qs {

// The code a key has on a key code table of the desktop the scenes were made
// for: letters and digits by the character the layout gives them (Z is 90
// wherever Z lies), every other key by its place on the keyboard (the key
// right of L is 186 whatever it prints).
inline constexpr int kOtherKey = 255;  // a key that has no code of its own

// Never 0: every key reaches the form.
int virtualKey(SDL_Keycode key, SDL_Scancode place);

}  // namespace qs
