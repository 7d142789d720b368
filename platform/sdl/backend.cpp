#include "platform/sdl/backend.h"

#include <SDL.h>

#include <cstdio>
#include <cstdlib>

#include "platform/headless/headless_platform.h"
#include "platform/sdl/deferred_audio.h"
#include "platform/sdl/disk_cache.h"
#include "platform/sdl/draw/form_painter.h"
#include "platform/sdl/draw/painter.h"
#include "platform/sdl/input/key_map.h"
#include "platform/sdl/sdl_platform.h"
#include "platform/sdl/text/face_memo.h"
#include "platform/sdl/video/display_settings.h"
#include "platform/sdl/video/video_start.h"
#include "sound/audio_device.h"

namespace qs {
namespace {

// The headless run opens its fonts only when a shot or the printing needs them.
class LazyPainter : public FormPainter, public TextMeasurer {
 public:
  LazyPainter(std::string dir, std::string program) : dir_(std::move(dir)), program_(std::move(program)) {}
  bool writePng(const Form& f, const std::string& file, int scale, std::string& error) override {
    return painter(error) && painter_->writePng(f, file, scale, error);
  }
  TextMeasurer& measurer() override { return *this; }
  int textWidth(const Font& font, std::string_view text) override { return must().measurer().textWidth(font, text); }
  int lineHeight(const Font& font) override { return must().measurer().lineHeight(font); }

 private:
  bool painter(std::string& error) {
    if (!painter_) painter_ = SdlPainter::create(program_, dir_, error);
    return painter_ != nullptr;
  }
  SdlPainter& must() {
    std::string error;
    if (!painter(error)) {
      std::fprintf(stderr, "%s: %s\n", program_.c_str(), error.c_str());
      std::exit(1);
    }
    return *painter_;
  }
  std::string dir_, program_;
  std::unique_ptr<SdlPainter> painter_;
};

class Headless : public Backend {
 public:
  Headless(const std::string& program, const std::string& dir, ScreenSize screen)
      : painter_(dir, program), platform_(screen, &painter_) {}
  Platform& platform() override { return platform_; }
  AudioDevice& audio() override { return audio_; }

 private:
  LazyPainter painter_;
  HeadlessPlatform platform_;
  SilentAudio audio_;
};

class Live : public Backend {
 public:
  ~Live() override {
    platform_.reset();
    audio_.reset();
    painter_.reset();
    if (videoStarted_) SDL_Quit();
    // faces_ last: its check may still run when the run ends.
  }
  Platform& platform() override { return *platform_; }
  AudioDevice& audio() override { return *audio_; }
  void planWindows(ScreenSize largest) override { platform_->planWindows(largest); }

  bool videoStarted_ = false;
  std::unique_ptr<SdlPainter::FaceSearch> faces_;
  std::unique_ptr<SdlPainter> painter_;
  std::unique_ptr<DeferredAudio> audio_;
  std::unique_ptr<SdlPlatform> platform_;
};

}  // namespace

std::unique_ptr<Backend> headlessBackend(const std::string& program, const std::string& programDir, ScreenSize screen) {
  return std::make_unique<Headless>(program, programDir, screen);
}

std::unique_ptr<Backend> liveBackend(const LiveSetup& s, std::string& error) {
  auto live = std::make_unique<Live>();
  live->faces_ = SdlPainter::searchAhead(faceMemoPath());
  SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
  if (s.screenSaver) SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
  if (!startVideo(s.desktopId, error)) return nullptr;
  live->videoStarted_ = true;
  live->painter_ = SdlPainter::create(s.program, s.programDir, *live->faces_, error);
  if (!live->painter_) return nullptr;
  // The sound output opens once the first frame is up and the loop has a
  // moment to spare, or when a scene first asks for it.
  live->audio_ = std::make_unique<DeferredAudio>(s.openAudio);
  // The player's last choices, unless the command line makes new ones.
  const std::string settingsFile = settingsPath();
  DisplaySettings settings = readSettings(settingsFile);
  if (s.scale) settings.scale = *s.scale;
  if (s.fullscreen) settings.fullscreen = true;
  if (s.scale || s.fullscreen) writeSettings(settingsFile, settings);
  live->platform_ = std::make_unique<SdlPlatform>(*live->painter_, *live->audio_, settings.scale, s.hostWindow);
  SdlPlatform& sdl = *live->platform_;
  sdl.setFullscreen(settings.fullscreen);
  sdl.rememberIn(settingsFile, settings);
  sdl.setKeyMap(readKeyMap(settingsFile, s.program));
  sdl.setPausing(!s.screenSaver, settings.pauseOnFocusLoss);
  sdl.rememberFirstFrameIn(DiskCache::pathOf(s.program + "-first-frame"));
  // What the first frame does not need comes once it is up.
  sdl.whenIdle([d = live->audio_.get(), f = live->faces_.get()] {
    f->check();
    SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER);  // pads already plugged in are announced as if just plugged
    d->open();
  });
  if (!sdl.hostError().empty()) {
    error = sdl.hostError();
    return nullptr;
  }
  return live;
}

std::string keysInForce(const std::string& program) { return readKeyMap(settingsPath(), program).describe(); }

}  // namespace qs
