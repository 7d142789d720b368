#pragma once
// Running the real programs from a test: started with an environment of the
// test's choosing, their traces read while they run.
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "support/files.h"

extern char** environ;

namespace qs::test {

inline std::string readFile(const std::string& path) {
  std::ifstream in(path);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// A file of this process's own, in a folder removed at exit.
inline std::string tempFile(const std::string& name) {
  static const TempDir dir;
  return dir.file(name);
}

// Every program a test starts, each the leader of a process group of its
// own: whatever the test's end, none outlives it (a program left running
// would hold the test's output open, and the test runner would wait for it).
struct Children {
  std::vector<pid_t> groups;
  ~Children() {
    // Only a child not yet waited for is surely ours: the number of one that
    // was may already be another test's program.
    for (pid_t g : groups)
      if (waitpid(g, nullptr, WNOHANG) == 0) kill(-g, SIGKILL);
  }
};
inline Children& children() {
  static Children all;
  return all;
}

// Starts `args` (the program first, found on the PATH unless a path) with
// the test's environment changed by `env`: "NAME=VALUE" sets a variable,
// "NAME" removes it. XSCREENSAVER_WINDOW, which would make the saver a
// host's, is always removed. -1 if it cannot start.
inline pid_t spawnProgram(std::vector<std::string> args, const std::vector<std::string>& env = {},
                          const posix_spawn_file_actions_t* actions = nullptr) {
  auto names = [](const std::string& var, const std::string& change) {
    const std::string name = change.substr(0, change.find('=')) + "=";
    return var.rfind(name, 0) == 0;
  };
  std::vector<std::string> vars;
  for (char** e = environ; *e; ++e) {
    bool changed = names(*e, "XSCREENSAVER_WINDOW");
    for (const std::string& c : env) changed = changed || names(*e, c);
    if (!changed) vars.emplace_back(*e);
  }
  for (const std::string& c : env)
    if (c.find('=') != std::string::npos) vars.push_back(c);
  std::vector<char*> argv, envp;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  for (auto& v : vars) envp.push_back(v.data());
  envp.push_back(nullptr);
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
  posix_spawnattr_setpgroup(&attributes, 0);
  pid_t pid = 0;
  const bool started = posix_spawnp(&pid, argv[0], actions, &attributes, argv.data(), envp.data()) == 0;
  posix_spawnattr_destroy(&attributes);
  if (!started) return -1;
  children().groups.push_back(pid);
  return pid;
}

// The exit status, or -1 if the program did not exit within `seconds`
// (it is killed then) or died of a signal.
inline int waitFor(pid_t pid, int seconds = 120) {
  int status = 0;
  for (int i = 0; i < seconds * 20; ++i) {
    if (waitpid(pid, &status, WNOHANG) != 0) return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  kill(-pid, SIGKILL);
  waitpid(pid, &status, 0);
  return -1;
}

// The time of the first line of the trace being written that holds `text`,
// waiting up to 20 s for it, however slow the machine; -1 if none comes.
inline std::int64_t awaitTrace(const std::string& path, const std::string& text) {
  for (int i = 0; i < 400; ++i) {
    const std::string t = readFile(path);
    if (auto at = t.find(text); at != std::string::npos) {
      const auto start = t.rfind('\n', at);
      return std::stoll(t.substr(start == std::string::npos ? 0 : start + 1));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return -1;
}

// `text` inside single quotes of the shell.
inline std::string quoted(const std::string& text) {
  std::string q;
  for (char c : text) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q;
}

struct CommandResult {
  int status = -1;
  std::string out;  // standard output and error together
};

// Runs a shell command line to its end, or for two minutes at most.
inline CommandResult runCommand(const std::string& command) {
  CommandResult r;
  FILE* p = popen(("timeout -k 5 120 sh -c '" + quoted(command) + "' 2>&1").c_str(), "r");
  if (!p) return r;
  std::array<char, 4096> buf;
  for (std::size_t n; (n = fread(buf.data(), 1, buf.size(), p)) > 0;) r.out.append(buf.data(), n);
  const int st = pclose(p);
  r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
  return r;
}

}  // namespace qs::test
