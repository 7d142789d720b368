#pragma once
#include <SDL.h>

#include <cstdint>
#include <string>

namespace qs {

// Another program's X window to draw into (a screen-saver host's). SDL takes
// such a window as it is; these ask the X server what SDL does not.

// The window's id after asking the X server that it exists; 0 stands for the
// root window of the default screen. Returns 0 with `error` set when there is
// no such window or no X display.
std::uint64_t findXWindow(std::uint64_t id, std::string& error);

// Asks for the window's exposures and size changes, which SDL does not ask
// for on a window it did not make, so the picture is drawn again when the
// host uncovers or resizes it.
void watchXWindow(SDL_Window* window);

}  // namespace qs
