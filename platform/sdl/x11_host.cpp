#include "platform/sdl/x11_host.h"

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
}

}  // namespace qs
