// Qspe beside a bare SDL program, started in turns in the same run under an
// X server (Xvfb): the time from the start to a visible window (a start
// after the first, and the very first, with nothing remembered from an
// earlier one), the CPU of the idle menu with and without sound, and the
// peak memory.
//
//   beside_bare [SECONDS] [ROUNDS]
//
// The bare program opens a borderless window of the splash's size at the
// same scale, clears it white with SDL's software renderer (the framebuffer
// Qspe draws with) and then waits 10 ms at a time for events; with sound it
// also keeps an audio stream of silence going. "Visible" is the moment the
// pixel at the centre of the screen, where both windows open, leaves the
// black the root window is cleared to. Sound goes to SDL's disk driver
// writing to /dev/null, which takes the samples at a sound card's pace.
#include <SDL.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <poll.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "child_cpu.h"

namespace {

constexpr int kSplashWidth = 305, kSplashHeight = 209;  // the splash's client area, in pixels

// The largest of 3 and 2 at which the window fits in 80 % of the display: on
// the 1280 x 1024 screen of the figures, 3, the scale Qspe picks there too.
int scaleFor(int w, int h) {
  SDL_Rect usable{0, 0, 1024, 768};
  SDL_GetDisplayUsableBounds(0, &usable);
  for (int s = 3; s > 1; --s)
    if (w * s * 10 <= usable.w * 8 && h * s * 10 <= usable.h * 8) return s;
  return 1;
}

void silence(void*, Uint8* stream, int len) { std::memset(stream, 0, static_cast<std::size_t>(len)); }

int bare(bool sound) {
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  if (SDL_Init(SDL_INIT_VIDEO | (sound ? SDL_INIT_AUDIO : 0)) != 0) return 1;
  const int scale = scaleFor(kSplashWidth, kSplashHeight);
  SDL_Window* w = SDL_CreateWindow("bare", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, kSplashWidth * scale,
                                   kSplashHeight * scale, SDL_WINDOW_BORDERLESS);
  SDL_Renderer* r = SDL_CreateRenderer(w, -1, SDL_RENDERER_SOFTWARE);
  SDL_SetRenderDrawColor(r, 255, 255, 255, 255);
  SDL_RenderClear(r);
  SDL_RenderPresent(r);
  SDL_AudioDeviceID audio = 0;
  if (sound) {
    SDL_AudioSpec want{};
    want.freq = 44100;
    want.format = AUDIO_S16SYS;
    want.channels = 2;
    want.samples = 1024;
    want.callback = silence;
    audio = SDL_OpenAudioDevice(nullptr, 0, &want, nullptr, 0);
    SDL_PauseAudioDevice(audio, 0);
  }
  for (bool quit = false; !quit;) {
    SDL_Event e;
    if (SDL_WaitEventTimeout(&e, 10) && e.type == SDL_QUIT) quit = true;
  }
  if (audio) SDL_CloseAudioDevice(audio);
  SDL_DestroyRenderer(r);
  SDL_DestroyWindow(w);
  SDL_Quit();
  return 0;
}

double seconds() {
  using namespace std::chrono;
  return duration<double>(steady_clock::now().time_since_epoch()).count();
}

// The screen's centre pixel, read back from the X server.
class CentrePixel {
 public:
  CentrePixel() : display_(XOpenDisplay(nullptr)) {}
  ~CentrePixel() {
    if (display_) XCloseDisplay(display_);
  }
  bool ok() const { return display_ != nullptr; }
  // Clears the root window and starts listening for windows mapped on it.
  void clearRoot() {
    Window root = DefaultRootWindow(display_);
    XSetWindowBackground(display_, root, BlackPixel(display_, DefaultScreen(display_)));
    XClearWindow(display_, root);
    XSelectInput(display_, root, SubstructureNotifyMask);
    XSync(display_, True);
  }
  // Waits, without using the processor, until a window is mapped on the root
  // window or `timeout` seconds have passed.
  bool waitForMap(double timeout) {
    const double end = seconds() + timeout;
    for (;;) {
      while (XPending(display_)) {
        XEvent e;
        XNextEvent(display_, &e);
        if (e.type == MapNotify) return true;
      }
      const double left = end - seconds();
      if (left <= 0) return false;
      pollfd p{ConnectionNumber(display_), POLLIN, 0};
      poll(&p, 1, static_cast<int>(left * 1000) + 1);
    }
  }
  unsigned long read() {
    const int x = DisplayWidth(display_, DefaultScreen(display_)) / 2;
    const int y = DisplayHeight(display_, DefaultScreen(display_)) / 2;
    XImage* image = XGetImage(display_, DefaultRootWindow(display_), x, y, 1, 1, AllPlanes, ZPixmap);
    if (!image) return 0;
    unsigned long p = XGetPixel(image, 0, 0);
    XDestroyImage(image);
    return p;
  }

 private:
  Display* display_;
};

// Seconds from the start of `args` to the centre of the screen changing; the
// program is then ended. -1 when nothing showed within 10 s. Nothing can
// change the screen before a window is mapped, so the screen is read every
// millisecond only from then on: the reading takes the X server's and the
// processor's time from the program measured.
double timeToVisible(CentrePixel& screen, std::vector<std::string> args) {
  screen.clearRoot();
  const unsigned long black = screen.read();
  const double start = seconds();
  const pid_t pid = bench::spawn(std::move(args));
  if (pid < 0) return -1;
  double shown = -1;
  screen.waitForMap(10);
  while (seconds() - start < 10) {
    if (screen.read() != black) {
      shown = seconds() - start;
      break;
    }
    SDL_Delay(1);
  }
  kill(pid, SIGTERM);
  int status = 0;
  waitpid(pid, &status, 0);
  return shown;
}

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? -1 : v[v.size() / 2];
}

struct Pair {
  std::vector<double> qspe, bare;
  void print(const char* what, const char* unit, double scale) const {
    const double q = median(qspe), b = median(bare);
    std::printf("%-28s Qspe %8.3f %s   bare %8.3f %s   ratio %.2f\n", what, q * scale, unit, b * scale, unit, q / b);
  }
};

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::strcmp(argv[1], "--bare") == 0) return bare(argc > 2 && std::strcmp(argv[2], "sound") == 0);
  const int secs = argc > 1 ? std::atoi(argv[1]) : 8;
  const int rounds = argc > 2 ? std::atoi(argv[2]) : 3;
  const std::string self = argv[0];
  CentrePixel screen;
  if (!screen.ok()) {
    std::fprintf(stderr, "beside_bare: no X display (run it under Xvfb)\n");
    return 1;
  }
  setenv("SDL_DISKAUDIOFILE", "/dev/null", 1);

  Pair start, first, quiet, loud, memory;
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  timeToVisible(screen, {QSPE_BINARY});  // a first start: what a start remembers is there from now on
  for (int r = 0; r < rounds; ++r) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);  // no sound
    for (int i = 0; i < 3; ++i) {
      start.qspe.push_back(timeToVisible(screen, {QSPE_BINARY}));
      start.bare.push_back(timeToVisible(screen, {self, "--bare"}));
    }
    {
      // The very first start, with nothing remembered.
      const std::string kept = std::getenv("XDG_CACHE_HOME");
      char empty[] = "/tmp/qspe-bench-first-XXXXXX";
      if (mkdtemp(empty)) setenv("XDG_CACHE_HOME", empty, 1);
      first.qspe.push_back(timeToVisible(screen, {QSPE_BINARY}));
      first.bare.push_back(start.bare.back());
      setenv("XDG_CACHE_HOME", kept.c_str(), 1);
      std::filesystem::remove_all(empty);
    }
    // The menu is up from 3 s; the first second after is left out.
    const int from = 4000, to = 4000 + secs * 1000;
    const std::string until = std::to_string(to + 1000);
    quiet.qspe.push_back(bench::childFigures({QSPE_BINARY, "--until", until}, from, to, true).cpu);
    quiet.bare.push_back(bench::childFigures({self, "--bare"}, 1000, 1000 + secs * 1000, true).cpu);
    setenv("SDL_AUDIODRIVER", "disk", 1);  // the menu's music playing
    auto q = bench::childFigures({QSPE_BINARY, "--until", until}, from, to, true);
    auto b = bench::childFigures({self, "--bare", "sound"}, 1000, 1000 + secs * 1000, true);
    loud.qspe.push_back(q.cpu);
    loud.bare.push_back(b.cpu);
    memory.qspe.push_back(static_cast<double>(q.peakKb));
    memory.bare.push_back(static_cast<double>(b.peakKb));
    std::printf(
        "round %d: start %.3f / %.3f s (first %.3f), idle %.2f / %.2f %%, with sound %.2f / %.2f %%, peak %ld / %ld "
        "kB\n",
        r + 1, start.qspe.back(), start.bare.back(), first.qspe.back(), quiet.qspe.back(), quiet.bare.back(), q.cpu,
        b.cpu, q.peakKb, b.peakKb);
  }
  std::printf("medians of %d rounds (idle: %d s of the menu, Qspe against bare):\n", rounds, secs);
  start.print("start to a visible window", "s ", 1);
  first.print("the same, the very first start", "s ", 1);
  quiet.print("idle CPU, no sound", "% ", 1);
  loud.print("idle CPU, sound", "% ", 1);
  memory.print("peak memory (VmHWM), sound", "MB", 1.0 / 1024);
  return 0;
}
