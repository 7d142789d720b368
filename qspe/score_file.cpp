#include "qspe/score_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "runtime/run_clock.h"
#include "runtime/trace.h"

namespace qs {
namespace {

std::string hex(const std::uint8_t* data, std::size_t n) {
  static const char* digits = "0123456789abcdef";
  std::string s;
  for (std::size_t i = 0; i < n; ++i) {
    s += digits[data[i] >> 4];
    s += digits[data[i] & 15];
  }
  return s;
}

std::string baseName(const std::string& path) {
  auto slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string dirName(const std::string& path) {
  auto slash = path.find_last_of('/');
  return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

bool makeDirs(const std::string& dir) {
  if (dir.empty()) return false;
  struct stat st;
  if (stat(dir.c_str(), &st) == 0) return S_ISDIR(st.st_mode);
  if (!makeDirs(dirName(dir)) && dirName(dir) != dir) return false;
  return mkdir(dir.c_str(), 0755) == 0 || errno == EEXIST;
}

bool writable(const std::string& dir, const std::string& file) {
  if (access(dir.c_str(), W_OK | X_OK) != 0) return false;
  return access(file.c_str(), F_OK) != 0 || access(file.c_str(), R_OK | W_OK) == 0;
}

}  // namespace

std::string scoreFallbackDir() {
  const char* xdg = std::getenv("XDG_DATA_HOME");
  if (xdg && *xdg == '/') return std::string(xdg) + "/qspe";
  const char* home = std::getenv("HOME");
  return std::string(home && *home ? home : ".") + "/.local/share/qspe";
}

ScoreStore::ScoreStore(RunClock& clock, std::string programName)
    : clock_(clock), programName_(std::move(programName)) {}

std::string ScoreStore::resolve(const std::string& scoreFile) {
  if (!decided_) {
    decided_ = true;
    if (!writable(dirName(scoreFile), scoreFile)) {
      fallbackDir_ = scoreFallbackDir();
      useFallback_ = makeDirs(fallbackDir_);
      if (useFallback_) {
        std::fprintf(stderr, "%s: %s cannot be written; scores are kept in %s\n", programName_.c_str(),
                     dirName(scoreFile).c_str(), fallbackDir_.c_str());
      } else {
        std::fprintf(stderr, "%s: neither %s nor %s can be written; scores will not be kept\n",
                     programName_.c_str(), dirName(scoreFile).c_str(), fallbackDir_.c_str());
        writeFailed_ = true;  // said once here; the failing writes stay quiet
      }
    }
  }
  return useFallback_ ? fallbackDir_ + "/" + baseName(scoreFile) : scoreFile;
}

void ScoreStore::read(const std::string& scoreFile, ScoreRecord& rec) {
  std::string path = resolve(scoreFile);
  std::uint8_t buf[ScoreRecord::kSize] = {};
  std::size_t n = 0;
  // Non-blocking, so that a pipe sitting at the path cannot stall the open.
  int fd = open(path.c_str(), O_RDWR | O_CREAT | O_NONBLOCK, 0644);
  if (fd < 0) fd = open(path.c_str(), O_RDONLY | O_NONBLOCK);
  struct stat st;
  if (fd >= 0 && fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
    while (n < sizeof buf) {
      ssize_t got = ::read(fd, buf + n, sizeof buf - n);
      if (got <= 0) break;
      n += static_cast<std::size_t>(got);
    }
  }
  if (fd >= 0) close(fd);
  clock_.trace().line("read " + baseName(scoreFile) + " " + hex(buf, n));
  rec = ScoreRecord::fromBytes(buf, n);
}

void ScoreStore::write(const std::string& scoreFile, const ScoreRecord& rec) {
  ScoreRecord::Bytes bytes = rec.toBytes();
  clock_.trace().line("write " + baseName(scoreFile) + " " + hex(bytes.data(), bytes.size()));
  std::string path = resolve(scoreFile);
  std::string tmp = path + ".tmp";
  int fd = open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  bool ok = fd >= 0;
  if (ok) {
    ok = ::write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
    ok = fsync(fd) == 0 && ok;
    ok = close(fd) == 0 && ok;
  }
  if (ok) ok = rename(tmp.c_str(), path.c_str()) == 0;
  if (!ok) {
    int error = errno;
    unlink(tmp.c_str());
    if (!firstWriteFailure()) return;
    std::fprintf(stderr, "%s: the scores could not be saved to %s: %s\n", programName_.c_str(), path.c_str(),
                 std::strerror(error));
  }
}

}  // namespace qs
