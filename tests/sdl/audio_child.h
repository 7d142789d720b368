#pragma once
// Audio tests that start SDL's audio afresh: each runs in a child process.
#include <SDL.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <functional>
#include <map>
#include <sstream>
#include <string>

namespace qs::test {

struct ChildResult {
  int status = -1;
  std::string err;  // what it wrote on standard error
};

// Runs `body` in a child process with these environment variables set, so
// that SDL's audio starts afresh on the driver the test chooses.
inline ChildResult inChild(const std::map<std::string, std::string>& env, const std::function<int()>& body) {
  int fds[2];
  if (pipe(fds) != 0) return {};
  std::fflush(nullptr);
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(fds[1], STDERR_FILENO);
    for (auto& [k, v] : env) setenv(k.c_str(), v.c_str(), 1);
    const int code = body();
    SDL_Quit();
    std::fflush(nullptr);
    _exit(code);
  }
  close(fds[1]);
  std::string all;
  char buf[512];
  for (ssize_t n; (n = read(fds[0], buf, sizeof buf)) > 0;) all.append(buf, static_cast<std::size_t>(n));
  close(fds[0]);
  ChildResult r;
  std::istringstream lines(all);  // SDL's disk driver announces itself there: that is the test's doing
  for (std::string line; std::getline(lines, line);)
    if (!line.starts_with("CRITICAL:")) r.err += line + "\n";
  int st = 0;
  waitpid(pid, &st, 0);
  r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
  return r;
}

}  // namespace qs::test
