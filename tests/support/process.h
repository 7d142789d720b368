#pragma once
// Running the real programs from a test: started with an environment of the
// test's choosing, their traces read while they run.
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "support/files.h"

extern char** environ;

namespace qs::test {

inline std::string readFile(const std::string& path) {
  std::ifstream in(path);
  return {std::istreambuf_iterator<char>(in), {}};
}

// Polls `done` every 50 ms for up to `seconds`; whether it came true.
template <class F>
bool eventually(F done, int seconds = 30) {
  for (int i = 0; i < seconds * 20; ++i, std::this_thread::sleep_for(std::chrono::milliseconds(50)))
    if (done()) return true;
  return done();
}

// Every program a test starts, each the leader of a process group of its
// own: whatever the test's end, none outlives it (a program left running
// would hold the test's output open, and the test runner would wait for it).
inline std::vector<pid_t>& children() {
  static struct Groups {
    std::vector<pid_t> all;
    ~Groups() {
      // Only a child not yet waited for is surely ours: the number of one that
      // was may already be another test's program.
      for (pid_t g : all)
        if (waitpid(g, nullptr, WNOHANG) == 0) kill(-g, SIGKILL);
    }
  } groups;
  return groups.all;
}

// Starts `args` (the program first, found on the PATH unless a path) with
// the test's environment changed by `env`, in order: "NAME=VALUE" sets a
// variable, "NAME" removes it. XSCREENSAVER_WINDOW, which would make the
// saver a host's, is removed first. -1 if it cannot start.
inline pid_t spawnProgram(std::vector<std::string> args, std::vector<std::string> env = {}) {
  std::vector<std::string> vars;
  for (char** e = environ; *e; ++e) vars.emplace_back(*e);
  env.insert(env.begin(), "XSCREENSAVER_WINDOW");
  for (const std::string& c : env) {
    std::erase_if(vars, [&](const std::string& v) { return v.starts_with(c.substr(0, c.find('=')) + "="); });
    if (c.find('=') != std::string::npos) vars.push_back(c);
  }
  std::vector<char*> argv, envp;
  for (auto& a : args) argv.push_back(a.data());
  for (auto& v : vars) envp.push_back(v.data());
  argv.push_back(nullptr), envp.push_back(nullptr);
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);  // its own group: the default group 0
  pid_t pid = -1;
  if (posix_spawnp(&pid, argv[0], nullptr, &attributes, argv.data(), envp.data()) != 0) pid = -1;
  posix_spawnattr_destroy(&attributes);
  if (pid > 0) children().push_back(pid);
  return pid;
}

// The exit status, or -1 if the program did not exit within `seconds`
// (it is killed then) or died of a signal.
inline int waitFor(pid_t pid, int seconds = 120) {
  int status = 0;
  if (!eventually([&] { return waitpid(pid, &status, WNOHANG) != 0; }, seconds))
    kill(-pid, SIGKILL), waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The time of the first line of the trace being written that holds `text`,
// waiting up to 20 s for it, however slow the machine; -1 if none comes.
inline std::int64_t awaitTrace(const std::string& path, const std::string& text) {
  std::int64_t time = -1;
  eventually(
      [&] {
        const std::string t = readFile(path);
        const auto at = t.find(text);
        if (at != std::string::npos) time = std::stoll(t.substr(t.rfind('\n', at) + 1));  // npos + 1: the first line
        return time >= 0;
      },
      20);
  return time;
}

struct CommandResult {
  int status = -1;
  std::string out;  // standard output and error together
};

// Runs a shell command line to its end, or for two minutes at most.
inline CommandResult runCommand(const std::string& command) {
  std::string quoted;  // inside single quotes of the shell
  for (char c : command) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  CommandResult r;
  FILE* p = popen(("timeout -k 5 120 sh -c '" + quoted + "' 2>&1").c_str(), "r");
  if (!p) return r;
  std::array<char, 4096> buf;
  for (std::size_t n; (n = fread(buf.data(), 1, buf.size(), p)) > 0;) r.out.append(buf.data(), n);
  const int st = pclose(p);
  r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
  return r;
}

}  // namespace qs::test
