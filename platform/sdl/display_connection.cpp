#include "platform/sdl/display_connection.h"

#include <SDL_syswm.h>
#include <poll.h>

#include <ctime>

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

bool DisplayConnection::wait(std::int64_t timeoutUs) const {
  pollfd p{fd_, POLLIN, 0};
  timespec t{static_cast<time_t>(timeoutUs / 1000000), static_cast<long>(timeoutUs % 1000000 * 1000)};
  return ppoll(&p, 1, &t, nullptr) > 0;
}

}  // namespace qs
