#pragma once
// Running the real programs from a test: started with an environment of the
// test's choosing, their traces read while they run.
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
  pid_t pid = 0;
  return posix_spawnp(&pid, argv[0], actions, nullptr, argv.data(), envp.data()) == 0 ? pid : -1;
}

// The exit status, or -1 if the program did not exit.
inline int waitFor(pid_t pid) {
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
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

struct CommandResult {
  int status = -1;
  std::string out;  // standard output and error together
};

// Runs a shell command line to its end.
inline CommandResult runCommand(const std::string& command) {
  CommandResult r;
  FILE* p = popen((command + " 2>&1").c_str(), "r");
  if (!p) return r;
  std::array<char, 4096> buf;
  for (std::size_t n; (n = fread(buf.data(), 1, buf.size(), p)) > 0;) r.out.append(buf.data(), n);
  const int st = pclose(p);
  r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
  return r;
}

}  // namespace qs::test
