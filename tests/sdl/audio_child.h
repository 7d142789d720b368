#pragma once
// Audio tests that start SDL's audio afresh: each runs in a child process.
#include <SDL.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <string>

namespace qs::test {

struct ChildResult {
  int status = -1;
  std::string err;  // what it wrote on standard error
};

// Runs `body` in a child process with these environment variables set, so
// that SDL's audio starts afresh on the driver the test chooses.
inline ChildResult inChild(const std::map<std::string, std::string>& env, const std::function<int()>& body) {
  int pipeFds[2];
  if (pipe(pipeFds) != 0) return {};
  std::fflush(nullptr);
  pid_t pid = fork();
  if (pid == 0) {
    close(pipeFds[0]);
    dup2(pipeFds[1], STDERR_FILENO);
    for (auto& [k, v] : env) setenv(k.c_str(), v.c_str(), 1);
    int code = body();
    SDL_Quit();
    std::fflush(nullptr);
    _exit(code);
  }
  close(pipeFds[1]);
  ChildResult r;
  char buf[512];
  for (ssize_t n; (n = read(pipeFds[0], buf, sizeof buf)) > 0;) r.err.append(buf, static_cast<std::size_t>(n));
  close(pipeFds[0]);
  // SDL's disk driver announces itself there; that is the test's doing, not the program's.
  std::string ours;
  for (std::size_t at = 0; at < r.err.size();) {
    std::size_t end = r.err.find('\n', at);
    end = end == std::string::npos ? r.err.size() : end + 1;
    if (r.err.compare(at, 9, "CRITICAL:") != 0) ours += r.err.substr(at, end - at);
    at = end;
  }
  r.err = ours;
  int st = 0;
  waitpid(pid, &st, 0);
  r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
  return r;
}

}  // namespace qs::test
