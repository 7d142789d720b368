#include "platform/sdl/display_connection.h"

#include <SDL_syswm.h>
#include <poll.h>

namespace qs {

void DisplayConnection::attach(SDL_Window* window) {
  if (ready() || !window) return;
#if defined(SDL_VIDEO_DRIVER_X11)
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (SDL_GetWindowWMInfo(window, &info) && info.subsystem == SDL_SYSWM_X11 && info.info.x11.display)
    fd_ = ConnectionNumber(info.info.x11.display);
#endif
}

bool DisplayConnection::wait(int timeoutMs) const {
  pollfd p{fd_, POLLIN, 0};
  return poll(&p, 1, timeoutMs) > 0;
}

}  // namespace qs
