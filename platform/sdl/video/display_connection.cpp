#include "platform/sdl/video/display_connection.h"

#include <SDL_syswm.h>
#include <poll.h>
#if defined(SDL_VIDEO_DRIVER_X11)
#include <X11/XKBlib.h>
#endif

#include <ctime>

#include "platform/sdl/video/wayland_client.h"

namespace qs {

void DisplayConnection::attach(SDL_Window* window) {
  if (ready() || !window) return;
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (!SDL_GetWindowWMInfo(window, &info)) return;
#if defined(SDL_VIDEO_DRIVER_X11)
  if (info.subsystem == SDL_SYSWM_X11 && info.info.x11.display) {
    fd_ = ConnectionNumber(info.info.x11.display);
    x11_ = info.info.x11.display;
  }
#endif
#if defined(SDL_VIDEO_DRIVER_WAYLAND)
  // On Wayland the loop once woke through SDL's own wait.
  if (info.subsystem == SDL_SYSWM_WAYLAND && info.info.wl.display) {
    if ((client_ = WaylandClient::loaded())) {
      wayland_ = info.info.wl.display;
      fd_ = client_->getFd(wayland_);
    }
  }
#endif
}

bool DisplayConnection::wait(std::int64_t timeoutUs) const {
  // Wayland: events already read off the connection wait in the client
  // library's queue, where the descriptor does not show them, and requests
  // wait in its buffer until flushed (a reply would never come).
  if (wayland_) {
    if (client_->prepareRead(wayland_) != 0) return true;
    client_->flush(wayland_);
  }
  pollfd p{fd_, POLLIN, 0};
  timespec t{static_cast<time_t>(timeoutUs / 1000000), static_cast<long>(timeoutUs % 1000000 * 1000)};
  const bool readable = ppoll(&p, 1, &t, nullptr) > 0;
  if (wayland_) client_->cancelRead(wayland_);  // SDL's pump reads them
  return readable;
}

bool DisplayConnection::eventsCame() const {
#if defined(SDL_VIDEO_DRIVER_X11)
  if (x11_) return XEventsQueued(static_cast<Display*>(x11_), QueuedAfterReading) > 0;
#endif
  if (wayland_) {
    if (client_->prepareRead(wayland_) != 0) return true;
    client_->cancelRead(wayland_);
    return false;
  }
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
