#include "platform/sdl/video/x11_host.h"

#include <SDL_syswm.h>
#include <X11/Xlib.h>

#include <cstdio>

namespace qs {
namespace {

bool xFailed = false;
extern "C" int noteXError(Display*, XErrorEvent*) {
  xFailed = true;
  return 0;
}

// The window watchXWindow watches, on SDL's connection; the X error handler
// before its own; whether the window is gone; and the first other error seen
// since the last look.
::Display* watchedDisplay = nullptr;
::Window watched = 0;
XErrorHandler beforeWatch = nullptr;
bool watchedGone = false;
bool doubted = false;
XErrorEvent doubt{};

// Errors come long after their requests, and SDL's own handlers, set for a
// moment, may take the one that names the window: an error about something
// else may still come of the window's end (a GC made on the gone window
// cannot be freed). It is kept for xWindowGone to judge once the window is
// asked about.
extern "C" int noteWatchedError(Display*, XErrorEvent* error) {
  if (error->resourceid == watched) watchedGone = true;
  else if (!watchedGone && !doubted) doubt = *error, doubted = true;
  return 0;
}

std::string hex(std::uint64_t id) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "0x%llx", static_cast<unsigned long long>(id));
  return buf;
}

}  // namespace

std::uint64_t findXWindow(std::uint64_t id, std::string& error) {
  // A connection of its own: a bad id answered on SDL's would end the program.
  ::Display* display = XOpenDisplay(nullptr);
  if (!display) {
    error = "cannot reach the X display to draw into window " + (id ? hex(id) : std::string("root"));
    return 0;
  }
  ::Window window = id ? static_cast<::Window>(id) : DefaultRootWindow(display);
  XSync(display, False);
  xFailed = false;
  auto previous = XSetErrorHandler(noteXError);
  XWindowAttributes attributes;
  bool found = XGetWindowAttributes(display, window, &attributes) != 0;
  XSync(display, False);
  XSetErrorHandler(previous);
  XCloseDisplay(display);
  if (!found || xFailed) {
    error = "there is no window " + hex(id) + " to draw into";
    return 0;
  }
  return window;
}

void watchXWindow(SDL_Window* window) {
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return;
  XWindowAttributes attributes;
  if (!XGetWindowAttributes(info.info.x11.display, info.info.x11.window, &attributes)) return;
  // Only this connection's own mask changes: the host's stays as it is.
  XSelectInput(info.info.x11.display, info.info.x11.window,
               attributes.your_event_mask | ExposureMask | StructureNotifyMask);
  XFlush(info.info.x11.display);
  // The host destroys its window as it ends the saver, perhaps before the
  // saver has read its SIGTERM: requests about it fail from then on.
  watchedDisplay = info.info.x11.display;
  watched = info.info.x11.window;
  watchedGone = doubted = false;
  if (!beforeWatch) beforeWatch = XSetErrorHandler(noteWatchedError);
  SDL_EventState(SDL_SYSWMEVENT, SDL_ENABLE);
}

bool xWindowGone(const SDL_Event* event) {
  if (!watched) return false;
  if (event && event->type == SDL_SYSWMEVENT && event->syswm.msg->subsystem == SDL_SYSWM_X11) {
    const XEvent& x = event->syswm.msg->msg.x11.event;
    if (x.type == DestroyNotify && x.xdestroywindow.window == watched) watchedGone = true;
  }
  if (doubted && !watchedGone) {
    XWindowAttributes attributes;
    XGetWindowAttributes(watchedDisplay, watched, &attributes);  // fails only if the window is gone
    // With the window still there the error was a real one: Xlib's own handler
    // names it and ends the program, as it always did.
    if (!watchedGone && beforeWatch) beforeWatch(watchedDisplay, &doubt);
    doubted = false;
  }
  return watchedGone;
}

void unwatchXWindow() {
  if (!watched) return;
  XSync(watchedDisplay, False);
  watched = 0;
  watchedDisplay = nullptr;
}

}  // namespace qs
