#include "platform/sdl/window_title.h"

#include <SDL_syswm.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace qs {

void setWindowTitle(SDL_Window* window, const std::string& title) {
  SDL_SetWindowTitle(window, title.c_str());
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return;
  ::Display* d = info.info.x11.display;
  XChangeProperty(d, info.info.x11.window, XInternAtom(d, "_NET_WM_NAME", False), XInternAtom(d, "UTF8_STRING", False),
                  8, PropModeReplace, reinterpret_cast<const unsigned char*>(title.data()), static_cast<int>(title.size()));
  XFlush(d);
}

}  // namespace qs
