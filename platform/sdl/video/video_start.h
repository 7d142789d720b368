#pragma once
#include <string>

namespace qs {

// Opens SDL's video and events for a live run: the X11 display, else a
// Wayland one; SDL_VIDEODRIVER, when set, names the driver instead (SDL's
// offscreen and dummy drivers are used only so). The windows carry
// `desktopId` as their X11 class and Wayland app_id, by which the desktop
// matches them to their desktop entry, unless SDL_VIDEO_X11_WMCLASS or
// SDL_VIDEO_WAYLAND_WMCLASS names another. False with a one-line `error`
// when no display can be opened.
bool startVideo(const std::string& desktopId, std::string& error);

}  // namespace qs
