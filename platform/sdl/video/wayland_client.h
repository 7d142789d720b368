#pragma once

struct wl_display;

namespace qs {

// The few calls of the Wayland client library the loop makes on the display
// connection, taken from the copy SDL's Wayland driver uses (linked or
// loaded by SDL), so that the programs need not link it themselves.
struct WaylandClient {
  int (*getFd)(wl_display*) = nullptr;
  int (*flush)(wl_display*) = nullptr;
  int (*prepareRead)(wl_display*) = nullptr;
  void (*cancelRead)(wl_display*) = nullptr;

  // Null when the library is not loaded or lacks one of them.
  static const WaylandClient* loaded();
};

}  // namespace qs
