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
// host uncovers or resizes it; and watches for its end (see xWindowGone).
// One window at a time.
void watchXWindow(SDL_Window* window);

// True once the watched window is gone: its DestroyNotify came through
// `event` (SDL_SYSWMEVENT, switched on by watchXWindow), or an X request
// about it failed. Such a failure, which the host's destroying its window
// under a copy still drawing brings, no longer ends the program with Xlib's
// message; every other X error still does.
bool xWindowGone(const SDL_Event* event = nullptr);

// Once SDL has let go of the watched window: its last requests are sent, and
// their errors, which may come of the window's end, taken here rather than
// by the handler SDL puts back as it closes the display.
void unwatchXWindow();

}  // namespace qs
