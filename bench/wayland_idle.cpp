// The idle menu on Wayland beside X11, in turns in the same run. Run it
// under an X server (Xvfb): it starts weston on that display (its X11
// backend) and runs Qspe on both, X11 straight on the X server and Wayland
// on weston, without sound. CPU of the whole process, and how often it
// sleeps and wakes again, its main thread (the loop) apart.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "child_cpu.h"

namespace {

// Weston's process once its socket is there; -1 if it does not come.
pid_t startWeston(const std::string& runtime) {
  setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
  const pid_t weston =
      bench::spawn({"/usr/bin/weston", "--backend=x11-backend.so", "--socket=wayland-bench", "--idle-time=0",
                    "--width=1024", "--height=768", "--log=" + runtime + "/weston.log"});
  for (int i = 0; i < 200 && weston > 0; ++i) {
    if (std::filesystem::exists(runtime + "/wayland-bench.lock")) return weston;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  if (weston > 0) kill(weston, SIGTERM);
  return -1;
}

}  // namespace

int main(int argc, char** argv) {
  const int seconds = argc > 1 ? std::atoi(argv[1]) : 10;
  const int rounds = argc > 2 ? std::atoi(argv[2]) : 3;
  if (!std::getenv("DISPLAY")) {
    std::fprintf(stderr, "run it under an X server: DISPLAY is unset\n");
    return 1;
  }
  char runtime[] = "/tmp/qspe-bench-weston-XXXXXX";  // mkdtemp makes it 0700, as weston wants
  const pid_t weston = mkdtemp(runtime) ? startWeston(runtime) : -1;
  if (weston < 0) {
    std::fprintf(stderr, "cannot start weston\n");
    return 1;
  }
  std::this_thread::sleep_for(std::chrono::seconds(1));
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  setenv("WAYLAND_DISPLAY", "wayland-bench", 1);
  struct Sum {
    const char* driver;
    double cpu = 0, sleeps = 0, mainSleeps = 0;
  } sums[] = {{"x11"}, {"wayland"}};
  const std::string until = std::to_string(5000 + seconds * 1000);
  for (int r = 0; r < rounds; ++r)
    for (Sum& s : sums) {
      setenv("SDL_VIDEODRIVER", s.driver, 1);
      // The menu is up from 3 s; the first second after is left out.
      const bench::ChildFigures f =
          bench::childFigures({QSPE_BINARY, "--until", until, "--scale", "2"}, 4000, 4000 + seconds * 1000, true);
      std::printf("round %d, %-7s: idle menu %.2f %% of one core, %.1f sleeps a second (the loop's thread %.1f)\n",
                  r + 1, s.driver, f.cpu, f.sleeps, f.mainSleeps);
      s.cpu += f.cpu;
      s.sleeps += f.sleeps;
      s.mainSleeps += f.mainSleeps;
    }
  for (const Sum& s : sums)
    std::printf("%-7s: %.2f %% of one core, %.1f sleeps a second, the loop's thread %.1f (%d rounds of %d s)\n",
                s.driver, s.cpu / rounds, s.sleeps / rounds, s.mainSleeps / rounds, rounds, seconds);
  kill(weston, SIGTERM);
  waitpid(weston, nullptr, 0);
  std::filesystem::remove_all(runtime);
  return 0;
}
