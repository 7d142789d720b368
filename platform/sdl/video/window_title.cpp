#include "platform/sdl/video/window_title.h"

#include <SDL_syswm.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace qs {
namespace {

// The title as the old WM_NAME property holds it: Latin-1, and "?" for
// anything beyond it.
std::string latin1(const std::string& utf8) {
  std::string out;
  for (std::size_t i = 0; i < utf8.size();) {
    const auto c = static_cast<unsigned char>(utf8[i]);
    const std::size_t n = c < 0x80 ? 1 : c >> 5 == 6 ? 2 : c >> 4 == 14 ? 3 : 4;
    const unsigned code = n == 2 && i + 1 < utf8.size() ? (c & 0x1f) << 6 | (utf8[i + 1] & 0x3f) : n == 1 ? c : 0x100;
    out += code < 0x100 ? static_cast<char>(code) : '?';
    i += n;
  }
  return out;
}

}  // namespace

void setWindowTitle(SDL_Window* window, const std::string& title) {
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) {
    SDL_SetWindowTitle(window, title.c_str());
    return;
  }
  // SDL's own, in a locale that is not UTF-8, also loses the bytes of a
  // title it cannot convert.
  ::Display* d = info.info.x11.display;
  const ::Window w = info.info.x11.window;
  XChangeProperty(d, w, XInternAtom(d, "_NET_WM_NAME", False), XInternAtom(d, "UTF8_STRING", False), 8, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(title.data()), static_cast<int>(title.size()));
  const std::string old = latin1(title);
  XChangeProperty(d, w, XA_WM_NAME, XA_STRING, 8, PropModeReplace, reinterpret_cast<const unsigned char*>(old.data()),
                  static_cast<int>(old.size()));
  XFlush(d);
}

}  // namespace qs
