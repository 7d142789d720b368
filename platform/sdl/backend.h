#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "runtime/platform.h"

namespace qs {

class AudioDevice;

// A run's machine: where its windows, input and time come from, and its
// sound output. The launcher chooses one; each builds itself.
class Backend {
 public:
  virtual ~Backend() = default;
  virtual Platform& platform() = 0;
  virtual AudioDevice& audio() = 0;
  // The largest window the program will open, in client pixels, once its
  // forms are made: a live run whose scale is not given fits it.
  virtual void planWindows(ScreenSize /*largestClient*/) {}
};

// No window, no sound, a virtual clock; the SDL painter, opened only when a
// shot or the printing needs it, draws the shots.
std::unique_ptr<Backend> headlessBackend(const std::string& program, const std::string& programDir, ScreenSize screen);

// What a live run is started with.
struct LiveSetup {
  std::string program;    // "Qspe"
  std::string desktopId;  // its windows' X11 class and Wayland app_id
  std::string programDir;
  // A screen saver: the display may sleep while it runs, and it is never paused.
  bool screenSaver = false;
  // Choices of the command line, remembered for the next runs.
  std::optional<int> scale;
  bool fullscreen = false;
  // A screen-saver host's window to draw into.
  std::optional<std::uint64_t> hostWindow;
  // Opens the sound output once the first frame is up; nothing: silence.
  std::function<std::unique_ptr<AudioDevice>()> openAudio;
};

// SDL's video, fonts, the player's settings and keys, the sound opened once
// the first frame is up. Nothing, with the reason in `error`, when there is
// no display, no usable font or no host's window.
std::unique_ptr<Backend> liveBackend(const LiveSetup& setup, std::string& error);

// The keys and pad buttons in force, as settings lines; what of the
// settings cannot be used is said on standard error after "`program`: ".
std::string keysInForce(const std::string& program);

}  // namespace qs
