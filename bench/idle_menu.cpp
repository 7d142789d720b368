// The idle menu beside a bare SDL program that wakes every 10 ms, measured in
// the same run, in turns (run it under Xvfb). Absolute figures swing with
// whatever else the machine does; the ratio is what to compare.
#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "child_cpu.h"

namespace {

// The bare program: a window, and a wait of 10 ms at a time for its events.
int bare() {
  if (SDL_Init(SDL_INIT_VIDEO) != 0) return 1;
  SDL_Window* w = SDL_CreateWindow("bare", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, 282, 228, 0);
  for (bool quit = false; !quit;) {
    SDL_Event e;
    if (SDL_WaitEventTimeout(&e, 10) && e.type == SDL_QUIT) quit = true;
  }
  SDL_DestroyWindow(w);
  SDL_Quit();
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::strcmp(argv[1], "--bare") == 0) return bare();
  const int seconds = argc > 1 ? std::atoi(argv[1]) : 10;
  const int rounds = 3;
  setenv("SDL_AUDIODRIVER", "dummy", 1);  // no sound: the loop alone
  double menu = 0, floor = 0;
  for (int r = 0; r < rounds; ++r) {
    // The menu is up from 3 s; the first second after is left out.
    const std::string until = std::to_string(5000 + seconds * 1000);
    double m = bench::childCpu({QSPE_BINARY, "--until", until}, 4000, 4000 + seconds * 1000, true);
    double b = bench::childCpu({argv[0], "--bare"}, 1000, 1000 + seconds * 1000, true);
    std::printf("round %d: idle menu %.2f %%, bare 10 ms loop %.2f %% of one core\n", r + 1, m, b);
    menu += m;
    floor += b;
  }
  std::printf("idle menu / bare 10 ms loop: %.2f (menu %.2f %%, bare %.2f %%, %d rounds of %d s)\n", menu / floor,
              menu / rounds, floor / rounds, rounds, seconds);
  return 0;
}
