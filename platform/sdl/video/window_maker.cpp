#include "platform/sdl/video/window_maker.h"

#include "platform/sdl/video/window_icon.h"

namespace qs {

WindowMaker::WindowMaker(bool keepClosed) : keep_(keepClosed), icon_(makeWindowIcon()) {}

WindowMaker::~WindowMaker() {
  for (SDL_Window* w : kept_) SDL_DestroyWindow(w);
  SDL_FreeSurface(icon_);
}

SDL_Window* WindowMaker::open(const char* title, int x, int y, int w, int h, Uint32 flags) {
  if (kept_.empty()) {
    // The windows once had none: the desktop showed a generic icon.
    SDL_Window* window = SDL_CreateWindow(title, x, y, w, h, flags);
    if (window && icon_) SDL_SetWindowIcon(window, icon_);
    return window;
  }
  SDL_Window* window = kept_.back();
  kept_.pop_back();
  SDL_SetWindowTitle(window, title);
  SDL_SetWindowFullscreen(window, flags & SDL_WINDOW_FULLSCREEN_DESKTOP);
  SDL_SetWindowBordered(window, (flags & SDL_WINDOW_BORDERLESS) ? SDL_FALSE : SDL_TRUE);
  SDL_SetWindowResizable(window, (flags & SDL_WINDOW_RESIZABLE) ? SDL_TRUE : SDL_FALSE);
  SDL_SetWindowAlwaysOnTop(window, (flags & SDL_WINDOW_ALWAYS_ON_TOP) ? SDL_TRUE : SDL_FALSE);
  SDL_SetWindowMinimumSize(window, 1, 1);  // the last form's would hold the size above it
  SDL_SetWindowSize(window, w, h);
  SDL_SetWindowPosition(window, x, y);
  return window;
}

void WindowMaker::close(SDL_Window* window) {
  if (!keep_) {
    SDL_DestroyWindow(window);
    return;
  }
  SDL_HideWindow(window);
  kept_.push_back(window);
}

}  // namespace qs
