#pragma once
// A file the program keeps, found at a start as anything but what it wrote:
// the cases every reader of one takes, and a run of the reader in a child
// process that must not block, take long or take much memory.
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <string>
#include <vector>

#include "support/files.h"

namespace qs::test {

enum class Spoil { None, CutShort, Grown, Fifo, DevZero, Folder, Link, Unreadable, Huge, Content };

// How a kept file lies at `path`; `lay` is false when that cannot be made
// here (an unreadable file for root).
struct Spoilt {
  const char* what;
  Spoil kind;
  std::function<bool(const std::string& path)> lay;
};

inline Spoilt flipped(const char* what, const Bytes& good, std::size_t at) {
  Bytes b = good;
  b.at(at) ^= 1;
  return {what, Spoil::Content, [b](const std::string& p) { return writeBytes(p, b), true; }};
}

// The file written as `good`, and spoilt in each of the ways a start may
// find it, in the order of Spoil.
inline std::vector<Spoilt> spoilings(const Bytes& good) {
  auto as = [](Bytes b) { return [b](const std::string& p) { return writeBytes(p, b), true; }; };
  Bytes cut(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(good.size() / 4)), grown = good;
  grown.insert(grown.end(), 4, '\n');
  return {
      {"as written", Spoil::None, as(good)},
      {"cut short", Spoil::CutShort, as(cut)},
      {"grown", Spoil::Grown, as(grown)},
      {"a pipe", Spoil::Fifo, [](const std::string& p) { return mkfifo(p.c_str(), 0600) == 0; }},
      {"/dev/zero through a link", Spoil::DevZero,
       [](const std::string& p) { return symlink("/dev/zero", p.c_str()) == 0; }},
      {"a folder", Spoil::Folder, [](const std::string& p) { return mkdir(p.c_str(), 0700) == 0; }},
      {"a link to it", Spoil::Link,
       [good](const std::string& p) {
         return writeBytes(p + ".real", good), symlink((p + ".real").c_str(), p.c_str()) == 0;
       }},
      {"unreadable", Spoil::Unreadable,
       [good](const std::string& p) { return writeBytes(p, good), chmod(p.c_str(), 0) == 0 && geteuid() != 0; }},
      {"300 MB (sparse)", Spoil::Huge,
       [good](const std::string& p) { return writeBytes(p, good), truncate(p.c_str(), 300 << 20) == 0; }},
  };
}

inline Spoilt spoiling(Spoil kind, const Bytes& good = {}) {
  return spoilings(good).at(static_cast<std::size_t>(kind));
}

// Lays `c` at `path` and runs `check` on it in a child process, where it must
// hold within two seconds, the process growing by less than 8 MB: "" when it
// does, else what went wrong; "" too when the case cannot be made here.
inline std::string checkLaid(const Spoilt& c, const std::string& path, const std::function<bool()>& check) {
  std::error_code ignored;
  std::filesystem::remove_all(path, ignored);
  std::filesystem::remove(path + ".real", ignored);
  if (!c.lay(path)) return "";
  std::fflush(nullptr);
  const pid_t pid = fork();
  if (pid == 0) {
    rusage was{}, is{};  // the peak memory of the process, in kB
    alarm(2), getrusage(RUSAGE_SELF, &was);
    const bool held = check() && getrusage(RUSAGE_SELF, &is) == 0;
    _exit(!held ? 1 : is.ru_maxrss - was.ru_maxrss >= 8192 ? 2 : 0);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  const int signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0, code = WEXITSTATUS(status);
  if (signal) return signal == SIGALRM ? "blocked or took over 2 s" : "died of signal " + std::to_string(signal);
  return code == 0 ? "" : code == 1 ? "wrong answer" : "took 8 MB or more";
}

}  // namespace qs::test
