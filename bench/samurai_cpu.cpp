// Measures the sword game live on a real display (run it under Xvfb) once its
// scroll period has worn down to a few ms: FormSam in a window of its own, a
// game started with Z, and the tail of the scroll's speed cycle repeated: a
// probe sets the period to a chosen value (1 ms by default) whenever it is
// longer, so the steps run at that period, shrink by 1 ms a step down to
// 1 ms, take the bonus there and start again; the probe also puts the player back on his floor with three lives, so
// the game runs for the whole measurement. Reports the CPU of this process in
// percent of one core, the scroll steps and the frames put on screen.
// Arguments: the length of the run in ms (10000), the longest period (1) and the
// window scale (0: as the program picks, 3 on a 1280 x 1024 screen).
#include <SDL.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "games/samurai/form_sam.h"
#include "platform/sdl/draw/painter.h"
#include "platform/sdl/sdl_platform.h"
#include "qspe/score_file.h"
#include "runtime/keys.h"
#include "runtime/runtime.h"
#include "sound/audio_device.h"
#include "sound/sound_system.h"

namespace qs {

// The measurement's hold on the scene.
struct SamuraiProbe {
  static Timer& scroll(FormSam& s) { return s.TimeGame; }
  static bool playing(FormSam& s) { return s.playFlag != 0; }
  static void keepAlive(FormSam& s) {
    if (s.life == 3 && s.stageNo == 1) return;
    s.life = 3;
    s.stageNo = 1;
    s.Samurai.move(64, 80);
    s.Katana.move(96, 72);
  }
};

}  // namespace qs

namespace {

namespace fs = std::filesystem;

double seconds(const timeval& t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6; }
double cpuSeconds() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return seconds(u.ru_utime) + seconds(u.ru_stime);
}

// The menu the scene would return to.
class MenuStub : public qs::Form {
 public:
  MenuStub() : Form("FormMain") {}
  void design() override { setClientSize(282, 228); }
};

}  // namespace

int main(int argc, char** argv) {
  const int ms = argc > 1 ? std::atoi(argv[1]) : 10000;
  const int period = argc > 2 ? std::atoi(argv[2]) : 1;
  const int scale = argc > 3 ? std::atoi(argv[3]) : 0;
  constexpr int kStart = 500;    // Z pressed
  constexpr int kSteady = 2000;  // the measurement starts

  // A program directory of its own: the build's sounds, a score file of its own.
  const fs::path dir = fs::temp_directory_path() / ("samurai_cpu." + std::to_string(getpid()));
  fs::create_directories(dir);
  for (const auto& e : fs::directory_iterator(QSPE_PROGRAM_DIR))
    if (e.path().extension() == ".wav") fs::copy_file(e.path(), dir / e.path().filename());

  SDL_SetHintWithPriority(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0", SDL_HINT_DEFAULT);
  if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
    std::fprintf(stderr, "no display: %s\n", SDL_GetError());
    return 1;
  }
  std::string error;
  auto painter = qs::SdlPainter::create("samurai_cpu", QSPE_PROGRAM_DIR, error);
  if (!painter) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  double cpu = 0;
  long steps = 0;
  unsigned long long frames = 0;
  {
    qs::SilentAudio audio;
    qs::SdlPlatform platform(*painter, audio, scale);
    qs::Trace trace([] { return 0; });
    qs::RunConfig config;
    config.programDir = dir.string();
    config.until = kSteady + ms;
    qs::Runtime rt(platform, trace, config);
    qs::SoundSystem sound(rt, audio, "Qspe");
    qs::ScoreStore scores(rt, "Qspe");
    qs::GameServices services{sound, scores};
    auto& sam = static_cast<qs::FormSam&>(rt.addForm(std::make_unique<qs::FormSam>(services)));
    rt.addForm(std::make_unique<MenuStub>());
    using P = qs::SamuraiProbe;

    qs::Timer press, release, hold, measure;
    press.attach(rt, "press", kStart, true, [&] {
      press.detach();
      sam.Form_KeyDown(qs::vbKeyZ);
    });
    release.attach(rt, "release", kStart + 20, true, [&] {
      release.detach();
      sam.Form_KeyUp(qs::vbKeyZ);
    });
    // Every ms: a period longer than the one held (1000 after the bonus) is
    // set back to it.
    int lastInterval = 0;
    hold.attach(rt, "hold", 1, true, [&] {
      if (!P::playing(sam)) return;
      P::keepAlive(sam);
      qs::Timer& scroll = P::scroll(sam);
      if (scroll.interval() != lastInterval && rt.now() >= kSteady) ++steps;
      if (scroll.interval() > period) scroll.setInterval(period);
      lastInterval = scroll.interval();
    });
    double before = 0;
    unsigned long long framesBefore = 0;
    measure.attach(rt, "measure", kSteady, true, [&] {
      measure.detach();
      before = cpuSeconds();
      framesBefore = platform.frames();
    });
    rt.run("FormSam");
    cpu = cpuSeconds() - before;
    frames = platform.frames() - framesBefore;
    hold.detach();
  }
  std::printf(
      "FormSam in play, scroll period from %d ms down to 1 ms and again, %d ms live: %6.2f %% of one core, "
      "%ld steps seen by the probe, %llu frames (%.1f a second)\n",
      period, ms, 100.0 * cpu / (ms / 1000.0), steps, frames, static_cast<double>(frames) * 1000.0 / ms);
  painter.reset();
  SDL_Quit();
  std::error_code ignored;
  fs::remove_all(dir, ignored);
  return 0;
}
