#include "platform/sdl/display_connection.h"

#include <SDL_syswm.h>
#include <poll.h>
#if defined(SDL_VIDEO_DRIVER_X11)
#include <X11/XKBlib.h>
#endif

#include <ctime>

namespace qs {

void DisplayConnection::attach(SDL_Window* window) {
  if (ready() || !window) return;
#if defined(SDL_VIDEO_DRIVER_X11)
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (SDL_GetWindowWMInfo(window, &info) && info.subsystem == SDL_SYSWM_X11 && info.info.x11.display) {
    fd_ = ConnectionNumber(info.info.x11.display);
    x11_ = info.info.x11.display;
  }
#endif
}

bool DisplayConnection::wait(std::int64_t timeoutUs) const {
  pollfd p{fd_, POLLIN, 0};
  timespec t{static_cast<time_t>(timeoutUs / 1000000), static_cast<long>(timeoutUs % 1000000 * 1000)};
  return ppoll(&p, 1, &t, nullptr) > 0;
}

bool DisplayConnection::eventsCame() const {
#if defined(SDL_VIDEO_DRIVER_X11)
  if (x11_) return XEventsQueued(static_cast<Display*>(x11_), QueuedAfterReading) > 0;
#endif
  return true;
}

bool DisplayConnection::keyRepeat(std::int64_t& delayMs, std::int64_t& intervalMs) const {
#if defined(SDL_VIDEO_DRIVER_X11)
  unsigned delay = 0, interval = 0;
  if (x11_ && XkbGetAutoRepeatRate(static_cast<Display*>(x11_), XkbUseCoreKbd, &delay, &interval) && interval > 0) {
    delayMs = delay;
    intervalMs = interval;
    return true;
  }
#endif
  (void)delayMs, (void)intervalMs;
  return false;
}

}  // namespace qs
