#include "platform/sdl/video/x11_errors.h"

#include <X11/Xlib.h>
#include <X11/Xproto.h>

namespace qs {
namespace {

XErrorHandler before = nullptr;

// SDL wakes its own wait by sending an event, on a second connection, to the
// window it waits on. When that window is destroyed on the main connection
// meanwhile (a message box answered, a scene's window closed), a busy X
// server may take the destroy first: the event then names no window, and
// Xlib's handler would end the program with status 1. The program itself
// sends no event to a window.
extern "C" int passOverSendToGoneWindow(Display* display, XErrorEvent* error) {
  if (error->error_code == BadWindow && error->request_code == X_SendEvent) return 0;
  return before ? before(display, error) : 0;
}

}  // namespace

void passOverEventsToGoneWindows() {
  if (!before) before = XSetErrorHandler(passOverSendToGoneWindow);
}

}  // namespace qs
