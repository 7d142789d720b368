// Measures a live run on a real display (run it under Xvfb):
//  1. the CPU use of Qspe itself showing the splash and then the idle menu;
//  2. how late the 10 ms and 250 ms timer ticks fire against their due time.
#include <SDL.h>
#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "child_cpu.h"
#include "platform/sdl/draw/painter.h"
#include "platform/sdl/sdl_platform.h"
#include "runtime/fonts.h"
#include "runtime/runtime.h"
#include "sound/audio_device.h"

namespace {

double seconds(const timeval& t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6; }

// CPU use of a child Qspe in steady running: from `from` ms after its start
// to `to` ms, in percent of one core. Start-up (fonts, windows) is left out.
double programCpu(int from, int to) {
  return bench::childCpu({QSPE_BINARY, "--until", std::to_string(to + 500)}, from, to);
}

class Ticker : public qs::Form {
 public:
  explicit Ticker(qs::SdlPlatform& p) : Form("Ticker", qs::Units::Pixels), platform_(p) {}
  void design() override {
    setClientSize(160, 40);
    setDesignCaption("ticks");
    place(text_, "Text", {"0", qs::gothic(12), qs::Align::Left, qs::colors::black, {4, 4, 150, 30}});
    addTimer(fast_, "Fast", 10, true, [this] { tick(late10); });
    addTimer(slow_, "Slow", 250, true, [this] {
      tick(late250);
      text_.setCaption(std::to_string(app().now()));  // one redraw every 250 ms
    });
  }
  std::vector<long> late10, late250;

 private:
  // The first second (window, fonts) is start-up, not steady running.
  void tick(std::vector<long>& into) {
    if (app().now() >= 1000) into.push_back(static_cast<long>(platform_.wallNow() - app().now()));
  }
  qs::SdlPlatform& platform_;
  qs::Label text_;
  qs::Timer fast_, slow_;
};

void report(const char* what, std::vector<long> v) {
  if (v.empty()) return;
  std::sort(v.begin(), v.end());
  auto at = [&](double q) {
    return v[std::min(v.size() - 1, static_cast<std::size_t>(q * static_cast<double>(v.size())))];
  };
  std::printf("%-22s ticks %5zu  median %ld ms  p99 %ld ms  max %ld ms\n", what, v.size(), at(0.5), at(0.99), v.back());
}

}  // namespace

int main(int argc, char** argv) {
  int ms = argc > 1 ? std::atoi(argv[1]) : 10000;
  std::printf("Qspe splash, 300 to 2800 ms: %.2f %% of one core\n", programCpu(300, 2800));
  std::printf("Qspe idle menu with its music, 4 s to %d ms: %.2f %% of one core\n", ms + 4000,
              programCpu(4000, ms + 4000));

  if (SDL_Init(SDL_INIT_VIDEO) != 0) {
    std::fprintf(stderr, "no display: %s\n", SDL_GetError());
    return 1;
  }
  std::string error;
  auto painter = qs::SdlPainter::create("live_timing", QSPE_PROGRAM_DIR, error);
  if (!painter) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  qs::SilentAudio audio;
  qs::SdlPlatform platform(*painter, audio, 1);
  qs::Trace trace([] { return 0; });
  qs::RunConfig config;
  config.programDir = QSPE_PROGRAM_DIR;
  config.until = ms;
  qs::Runtime rt(platform, trace, config);
  auto& ticker = static_cast<Ticker&>(rt.addForm(std::make_unique<Ticker>(platform)));
  rusage before{}, after{};
  getrusage(RUSAGE_SELF, &before);
  rt.run("Ticker");
  getrusage(RUSAGE_SELF, &after);
  double cpu = seconds(after.ru_utime) - seconds(before.ru_utime) + seconds(after.ru_stime) - seconds(before.ru_stime);
  std::printf("timer run, %d ms live: %.2f %% of one core\n", ms, 100.0 * cpu / (ms / 1000.0));
  report("10 ms timer lateness", ticker.late10);
  report("250 ms timer lateness", ticker.late250);
  SDL_Quit();
  return 0;
}
