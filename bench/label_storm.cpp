// Measures drawing under a storm of changes on a real display (run it under Xvfb):
// a 320 x 208 window whose floor of 36 glyph labels (three rows of twelve)
// scrolls one pixel on every timer tick, at a 1 ms and at a 100 ms step.
// Reports the CPU of this process in percent of one core, the ticks that
// fired and the frames put on screen. Arguments: the length of each run in ms
// (10000) and the window scale (0: as the program picks, 3 on a 1280 x 1024 screen).
#include <SDL.h>
#include <sys/resource.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "platform/sdl/draw/painter.h"
#include "platform/sdl/sdl_platform.h"
#include "runtime/fonts.h"
#include "runtime/runtime.h"
#include "sound/audio_device.h"

namespace {

constexpr int kColumns = 12, kRows = 3, kTile = 26;

double seconds(const timeval& t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6; }

double cpuSeconds() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return seconds(u.ru_utime) + seconds(u.ru_stime);
}

class Floor : public qs::Form {
 public:
  explicit Floor(int step) : Form("Floor", qs::Units::Pixels), step_(step) {}
  void design() override {
    setClientSize(320, 208);
    setDesignCaption("label storm");
    setDesignBack(qs::Color::rgb(0, 0, 64));
    for (int i = 0; i < kRows * kColumns; ++i) {
      const char* glyph = (i / kColumns + i % kColumns) % 2 ? "n" : "l";  // a square, a disc
      qs::LabelDesign look{
          glyph, qs::wingdings(16, true), qs::Align::Centre, qs::Color::rgb(0, 192, 0), {0, 0, kTile, kTile}};
      place(tiles_[i], "Tile", look, i);
    }
    lay(0);
    addTimer(scroll_, "Scroll", step_, true, [this] {
      ++ticks;
      lay(++offset_);
    });
  }
  long ticks = 0;

 private:
  // Every tile moves: the floor scrolls left one pixel a tick and wraps.
  void lay(int offset) {
    for (int i = 0; i < kRows * kColumns; ++i) {
      int x = i % kColumns * kTile + kTile - offset % (2 * kTile);  // the pattern repeats every two tiles
      tiles_[i].move(x, 130 + i / kColumns * kTile);
    }
  }
  int step_;
  int offset_ = 0;
  std::array<qs::Label, kRows * kColumns> tiles_;
  qs::Timer scroll_;
};

// One live run of `ms` with the floor scrolling every `step` ms.
void measure(qs::SdlPainter& painter, int step, int ms, int scale) {
  qs::SilentAudio audio;
  qs::SdlPlatform platform(painter, audio, scale);
  qs::Trace trace([] { return 0; });
  qs::RunConfig config;
  config.programDir = QSPE_PROGRAM_DIR;
  config.until = ms;
  qs::Runtime rt(platform, trace, config);
  auto& floor = static_cast<Floor&>(rt.addForm(std::make_unique<Floor>(step)));
  double before = cpuSeconds();
  rt.run("Floor");
  double cpu = cpuSeconds() - before;
  std::printf(
      "36 labels moved every %3d ms, %d ms live: %6.2f %% of one core, %ld ticks, %llu frames (%.1f a second)\n", step,
      ms, 100.0 * cpu / (ms / 1000.0), floor.ticks, static_cast<unsigned long long>(platform.frames()),
      static_cast<double>(platform.frames()) * 1000.0 / ms);
}

}  // namespace

int main(int argc, char** argv) {
  int ms = argc > 1 ? std::atoi(argv[1]) : 10000;
  int scale = argc > 2 ? std::atoi(argv[2]) : 0;
  // As the program itself: software-drawn windows straight to the display.
  SDL_SetHintWithPriority(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0", SDL_HINT_DEFAULT);
  if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
    std::fprintf(stderr, "no display: %s\n", SDL_GetError());
    return 1;
  }
  std::string error;
  auto painter = qs::SdlPainter::create("label_storm", QSPE_PROGRAM_DIR, error);
  if (!painter) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  measure(*painter, 1, ms, scale);
  measure(*painter, 100, ms, scale);
  painter.reset();
  SDL_Quit();
  return 0;
}
