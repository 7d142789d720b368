#include "platform/sdl/video/video_start.h"

#include <SDL.h>

#include <cstdlib>

#include "platform/sdl/audio/muted_stderr.h"
#include "platform/sdl/video/x11_errors.h"

namespace qs {
namespace {

std::string named(const char* variable) {
  const char* value = std::getenv(variable);
  return value && *value ? std::string(variable) + "=" + value : std::string(variable) + " unset";
}

bool start(const char* driver) {
  SDL_SetHint(SDL_HINT_VIDEODRIVER, driver);
  return SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS) == 0;
}

}  // namespace

bool startVideo(const std::string& desktopId, std::string& error) {
  // SDL names the windows' class after the program's file otherwise.
  setenv("SDL_VIDEO_X11_WMCLASS", desktopId.c_str(), 0);
  setenv("SDL_VIDEO_WAYLAND_WMCLASS", desktopId.c_str(), 0);
  // Before SDL opens the display: SDL puts back the handler it found as it
  // closes its connections, and the error of an event sent just before is
  // read only then.
  passOverEventsToGoneWindows();
  const char* asked = std::getenv("SDL_VIDEODRIVER");
  if (asked && *asked) {
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
      error = std::string("cannot open the display: ") + SDL_GetError();
      return false;
    }
  } else {
    // With neither display SDL would fall back to its offscreen driver and
    // run unseen for ever. The Wayland client library says on standard
    // error what it could not reach; the line below says it for both.
    bool started = start("x11");
    if (!started) {
      MutedStderr quiet;
      started = start("wayland");
    }
    if (!started) {
      error = "cannot open a display: neither X11 (" + named("DISPLAY") + ") nor Wayland (" + named("WAYLAND_DISPLAY") +
              ") answers";
      return false;
    }
  }
  // Software-drawn windows go to an X display directly (shared memory), not
  // through a GL texture that may itself be emulated. Wayland has no such
  // path: there SDL puts them on screen through a texture of its own.
  const std::string driver = SDL_GetCurrentVideoDriver();
  if (driver != "wayland") SDL_SetHintWithPriority(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0", SDL_HINT_DEFAULT);
  // Where that texture's GL is itself drawn on the processor (Mesa's
  // llvmpipe, with no graphics card), its drawing threads wake at every frame
  // to copy one picture. Drawn in the loop's own thread, an idle menu wakes
  // a quarter as often for the same processor time. Read when GL starts,
  // with the first window; a player's own choice stands.
  else setenv("LP_NUM_THREADS", "0", 0);
  return true;
}

}  // namespace qs
