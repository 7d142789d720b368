#pragma once
#include <SDL.h>

#include <functional>
#include <string>

#include "platform/sdl/draw/painter.h"

namespace qs {

// A message box of the program's own, OK only: a small window centred on
// the screen, titled `title`, showing `text` (broken into lines where it
// holds line breaks) and an OK button, drawn by `painter` at `scale` with
// the faces the scenes use. SDL's own box draws with the X server's core
// fonts, which most desktops lack for Japanese.
//
// Modal: it runs its own loop until Return, Space or Escape (pressed and
// released in it), a click on OK or its close button answers it. A quit
// (SIGINT or SIGTERM through SDL, or `quitAsked`, checked at least every
// 250 ms) ends it as it ends a window: then true, and the program should quit.
bool showMessageBox(SdlPainter& painter, int scale, SDL_Window* parent, const std::string& title,
                    const std::string& text, const std::function<bool()>& quitAsked);

}  // namespace qs
