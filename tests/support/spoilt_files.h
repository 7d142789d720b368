#pragma once
// A file the program keeps, found at a start as anything but what it wrote:
// the cases every reader of one takes, and a run of the reader in a child
// process that must not block, take long or take much memory.
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <functional>
#include <stdexcept>
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
  return {what, Spoil::Content, [good, at](const std::string& path) {
            Bytes b = good;
            b.at(at) ^= 1;
            writeBytes(path, b);
            return true;
          }};
}

// The file written as `good`, and spoilt in each of the ways a start may find it.
inline std::vector<Spoilt> spoilings(const Bytes& good) {
  auto as = [good](Bytes b) { return [b](const std::string& path) { return writeBytes(path, b), true; }; };
  Bytes cut(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(good.size() / 4)), grown = good;
  grown.insert(grown.end(), 4, '\n');
  return {
      {"as written", Spoil::None, as(good)},
      {"cut short", Spoil::CutShort, as(cut)},
      {"grown", Spoil::Grown, as(grown)},
      {"a pipe", Spoil::Fifo, [](const std::string& path) { return mkfifo(path.c_str(), 0600) == 0; }},
      {"/dev/zero through a link", Spoil::DevZero,
       [](const std::string& path) { return symlink("/dev/zero", path.c_str()) == 0; }},
      {"a folder", Spoil::Folder, [](const std::string& path) { return mkdir(path.c_str(), 0700) == 0; }},
      {"a link to it", Spoil::Link,
       [good](const std::string& path) { return writeBytes(path + ".real", good), symlink((path + ".real").c_str(), path.c_str()) == 0; }},
      {"unreadable", Spoil::Unreadable,
       [good](const std::string& path) { return writeBytes(path, good), chmod(path.c_str(), 0) == 0 && geteuid() != 0; }},
      {"300 MB (sparse)", Spoil::Huge,
       [good](const std::string& path) { return writeBytes(path, good), truncate(path.c_str(), 300 << 20) == 0; }},
  };
}

inline Spoilt spoiling(Spoil kind, const Bytes& good = {}) {
  for (Spoilt& c : spoilings(good))
    if (c.kind == kind) return c;
  throw std::invalid_argument("no such spoiling");
}

// The most memory the process has held, in kB.
inline long peakKb() {
  std::ifstream in("/proc/self/status");
  for (std::string line; std::getline(in, line);)
    if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
  return 0;
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
    alarm(2);
    const long before = peakKb();
    const bool held = check();
    _exit(!held ? 1 : peakKb() - before >= 8192 ? 2 : 0);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  if (WIFSIGNALED(status))
    return WTERMSIG(status) == SIGALRM ? "blocked or took over 2 s" : "died of signal " + std::to_string(WTERMSIG(status));
  const int code = WEXITSTATUS(status);
  return code == 0 ? "" : code == 1 ? "wrong answer" : "took 8 MB or more";
}

}  // namespace qs::test
