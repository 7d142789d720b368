#pragma once
#include <SDL.h>

namespace qs {

// The programs' icon for their windows (the title bar, the task bar, Alt+Tab):
// the desktop icon's smiling face, its pixels drawn by the media generator
// when the program is built and kept inside it, so that a copy run from
// anywhere has it. One surface of kWindowIconSize pixels a side, RGBA, owned
// by the caller; null only when SDL cannot make a surface.
inline constexpr int kWindowIconSize = 64;
SDL_Surface* makeWindowIcon();

}  // namespace qs
