#pragma once
// CPU use and peak memory of a child program over part of its run, read from /proc.
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace bench {

// CPU time (user + system) of a process so far, in seconds, from the
// scheduler's nanosecond count of each of its threads; /proc/PID/stat counts
// whole 10 ms ticks, too coarse for a program that is idle most of the time.
// Falls back to the ticks where the kernel keeps no scheduler statistics.
inline double processCpu(pid_t pid) {
  const std::string dir = "/proc/" + std::to_string(pid);
  std::error_code error;
  double ns = 0;
  bool counted = false;
  for (const auto& task : std::filesystem::directory_iterator(dir + "/task", error)) {
    std::ifstream in(task.path() / "schedstat");
    double run = 0;
    if (in >> run) {
      ns += run;
      counted = true;
    }
  }
  if (counted) return ns / 1e9;
  std::ifstream in(dir + "/stat");
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::istringstream fields(text.substr(text.rfind(')') + 2));
  std::string f;
  double ticks = 0;
  for (int i = 3; i <= 15 && fields >> f; ++i)
    if (i == 14 || i == 15) ticks += std::stod(f);
  return ticks / static_cast<double>(sysconf(_SC_CLK_TCK));
}

// How often a process went to sleep so far: its threads' voluntary context
// switches (waits for input, timers or each other), or its main thread's alone.
inline long processSleeps(pid_t pid, bool mainThread = false) {
  const std::string dir = "/proc/" + std::to_string(pid);
  std::error_code error;
  long sleeps = 0;
  for (const auto& task : std::filesystem::directory_iterator(dir + "/task", error)) {
    if (mainThread && task.path().filename() != std::to_string(pid)) continue;
    std::ifstream in(task.path() / "status");
    for (std::string line; std::getline(in, line);)
      if (line.rfind("voluntary_ctxt_switches:", 0) == 0) sleeps += std::stol(line.substr(24));
  }
  return sleeps;
}

// Peak resident memory of a process so far (VmHWM), in kB; -1 when unknown.
inline long peakResidentKb(pid_t pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/status");
  for (std::string line; std::getline(in, line);)
    if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
  return -1;
}

// The programs measured keep their window settings and what they remember
// to start sooner in folders of the bench's own, so a player's remembered
// scale or full screen neither changes the figures nor is changed by them.
inline void ownSettingsFolder() {
  static const bool done = [] {
    char dir[] = "/tmp/qspe-bench-XXXXXX";
    if (!mkdtemp(dir)) return false;
    setenv("XDG_CONFIG_HOME", dir, 1);
    setenv("XDG_CACHE_HOME", (std::string(dir) + "/cache").c_str(), 1);
    return true;
  }();
  (void)done;
}

inline pid_t spawn(std::vector<std::string> args) {
  ownSettingsFolder();
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  return posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) == 0 ? pid : -1;
}

struct ChildFigures {
  double cpu = -1;                      // percent of one core
  long peakKb = -1;                     // peak resident memory up to the end of the measurement
  double sleeps = -1, mainSleeps = -1;  // a second, of all threads and of the main one
};

// Starts `args`, measures its CPU from `from` ms after its start to `to` ms,
// in percent of one core (start-up left out), and its peak memory, then waits
// for it to end, or ends it with SIGTERM when `stop` is set.
inline ChildFigures childFigures(std::vector<std::string> args, int from, int to, bool stop = false) {
  const pid_t pid = spawn(std::move(args));
  if (pid < 0) return {};
  std::this_thread::sleep_for(std::chrono::milliseconds(from));
  double before = processCpu(pid);
  const long sleeps = processSleeps(pid), mainSleeps = processSleeps(pid, true);
  auto start = std::chrono::steady_clock::now();
  std::this_thread::sleep_for(std::chrono::milliseconds(to - from));
  double used = processCpu(pid) - before;
  double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  ChildFigures f{100.0 * used / wall, peakResidentKb(pid), (processSleeps(pid) - sleeps) / wall,
                 (processSleeps(pid, true) - mainSleeps) / wall};
  if (stop) kill(pid, SIGTERM);
  int status = 0;
  waitpid(pid, &status, 0);
  return f;
}

// The CPU alone; -1 when the program cannot be started.
inline double childCpu(std::vector<std::string> args, int from, int to, bool stop = false) {
  return childFigures(std::move(args), from, to, stop).cpu;
}

}  // namespace bench
