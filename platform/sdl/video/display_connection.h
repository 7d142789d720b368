#pragma once
#include <SDL.h>

#include <cstdint>

struct wl_display;

namespace qs {

struct WaylandClient;

// The connection to the display as a file descriptor, so that the loop can
// sleep on it and the next timer together: a wake that finds nothing to read
// from the display needs no event pump. X11 and Wayland have one; with other
// video drivers the loop waits through SDL.
class DisplayConnection {
 public:
  // Takes the connection of the first window made.
  void attach(SDL_Window* window);
  bool ready() const { return fd_ >= 0; }
  // True when the display has something to read within `timeoutUs`.
  bool wait(std::int64_t timeoutUs) const;
  // True when events have come: drawing's round trips may have read them off
  // the connection already, where waiting on it no longer sees them.
  bool eventsCame() const;
  // The keyboard's auto-repeat as the display sets it: the delay before the
  // first repeat and the time between repeats, in ms. False without one.
  bool keyRepeat(std::int64_t& delayMs, std::int64_t& intervalMs) const;
  // True when a held key's repeats are made on this side of the connection
  // (Wayland: SDL makes them when events are pumped), not sent by the display.
  bool repeatsKeysItself() const { return wayland_ != nullptr; }

 private:
  int fd_ = -1;
  void* x11_ = nullptr;            // the X display, when there is one
  wl_display* wayland_ = nullptr;  // the Wayland display, when there is one
  const WaylandClient* client_ = nullptr;
};

}  // namespace qs
