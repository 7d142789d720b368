#include "platform/sdl/video/wayland_client.h"

#include <dlfcn.h>

namespace qs {
namespace {

template <typename F>
bool take(void* library, const char* name, F& to) {
  to = reinterpret_cast<F>(dlsym(library, name));
  return to != nullptr;
}

}  // namespace

const WaylandClient* WaylandClient::loaded() {
  static const WaylandClient* const client = []() -> const WaylandClient* {
    static WaylandClient c;
    // RTLD_NOLOAD: only the copy already in the process, never a second one.
    void* library = dlopen("libwayland-client.so.0", RTLD_NOW | RTLD_NOLOAD);
    if (!library) return nullptr;
    const bool all = take(library, "wl_display_get_fd", c.getFd) && take(library, "wl_display_flush", c.flush) &&
                     take(library, "wl_display_prepare_read", c.prepareRead) &&
                     take(library, "wl_display_cancel_read", c.cancelRead);
    return all ? &c : nullptr;
  }();
  return client;
}

}  // namespace qs
