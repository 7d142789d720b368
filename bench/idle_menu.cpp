// The idle menu beside a bare SDL program that wakes every 10 ms, measured in
// the same run, in turns (run it under Xvfb). Absolute figures swing with
// whatever else the machine does; the ratio is what to compare.
#include <SDL.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace {

// CPU time (user + system) of a process so far, in seconds.
double processCpu(pid_t pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::istringstream fields(text.substr(text.rfind(')') + 2));
  std::string f;
  double ticks = 0;
  for (int i = 3; i <= 15 && fields >> f; ++i)
    if (i == 14 || i == 15) ticks += std::stod(f);
  return ticks / static_cast<double>(sysconf(_SC_CLK_TCK));
}

// CPU of a child from `from` ms after its start to `to` ms, in % of one core.
double childCpu(std::vector<std::string> args, int from, int to) {
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return -1;
  std::this_thread::sleep_for(std::chrono::milliseconds(from));
  double before = processCpu(pid);
  auto start = std::chrono::steady_clock::now();
  std::this_thread::sleep_for(std::chrono::milliseconds(to - from));
  double used = processCpu(pid) - before;
  double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  kill(pid, SIGTERM);
  int status = 0;
  waitpid(pid, &status, 0);
  return 100.0 * used / wall;
}

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
    double m = childCpu({QSPE_BINARY, "--until", std::to_string(5000 + seconds * 1000)}, 4000, 4000 + seconds * 1000);
    double b = childCpu({argv[0], "--bare"}, 1000, 1000 + seconds * 1000);
    std::printf("round %d: idle menu %.2f %%, bare 10 ms loop %.2f %% of one core\n", r + 1, m, b);
    menu += m;
    floor += b;
  }
  std::printf("idle menu / bare 10 ms loop: %.2f (menu %.2f %%, bare %.2f %%, %d rounds of %d s)\n", menu / floor,
              menu / rounds, floor / rounds, rounds, seconds);
  return 0;
}
