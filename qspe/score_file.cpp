#include "qspe/score_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <random>

#include "runtime/program_dirs.h"
#include "runtime/run_clock.h"
#include "runtime/trace.h"

namespace qs {
namespace {

constexpr std::size_t kRecord = ScoreRecord::kSize;
// A temporary file of ours this old belongs to a writer that died: a write
// takes milliseconds.
constexpr std::time_t kStaleSeconds = 60;
constexpr int kTempSuffix = 6;

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

// Follows the symbolic links at `path`: on return it names the end of the
// chain, `path` itself when it is no link. The end may not exist. False
// (errno set) for a loop or a link that cannot be read.
bool followLinks(std::string& path) {
  for (int hops = 0; hops < 40; ++hops) {
    struct stat st;
    if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return true;
    std::string target(PATH_MAX, '\0');
    ssize_t n = readlink(path.c_str(), target.data(), target.size());
    if (n <= 0) return false;
    if (static_cast<std::size_t>(n) == target.size()) {
      errno = ENAMETOOLONG;
      return false;
    }
    target.resize(static_cast<std::size_t>(n));
    path = target[0] == '/' ? target : dirName(path) + "/" + target;
  }
  errno = ELOOP;
  return false;
}

enum class Found { File, Missing, Other };

// Reads up to the record's 20 bytes from the start of the file at `path`.
// Non-blocking, so that a pipe sitting at the path cannot stall the open.
Found readHead(FileOps& ops, const std::string& path, std::uint8_t* buf, std::size_t& n) {
  n = 0;
  int fd = ops.open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0);
  if (fd < 0) return errno == ENOENT ? Found::Missing : Found::Other;
  struct stat st;
  Found found = fstat(fd, &st) == 0 && S_ISREG(st.st_mode) ? Found::File : Found::Other;
  while (found == Found::File && n < kRecord) {
    ssize_t got = ::read(fd, buf + n, kRecord - n);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;
    n += static_cast<std::size_t>(got);
  }
  ops.close(fd);
  return found;
}

// Opens the regular file at the end of the links at `path` for reading; -1 if there is none.
int openRegular(FileOps& ops, std::string path, struct stat& st) {
  if (!followLinks(path)) return -1;
  int fd = ops.open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0);
  if (fd >= 0 && (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))) {
    ops.close(fd);
    return -1;
  }
  return fd;
}

bool writeAll(FileOps& ops, int fd, const std::uint8_t* data, std::size_t size) {
  while (size > 0) {
    ssize_t put = ops.write(fd, data, size);
    if (put < 0 && errno == EINTR) continue;
    if (put < 0) return false;
    if (put == 0) {
      errno = ENOSPC;
      return false;
    }
    data += put;
    size -= static_cast<std::size_t>(put);
  }
  return true;
}

// Copies what follows the record in `from` to `to`.
bool copyTail(FileOps& ops, int from, int to) {
  std::uint8_t buf[65536];
  off_t at = kRecord;
  for (;;) {
    ssize_t got = pread(from, buf, sizeof buf, at);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return false;
    if (got == 0) return true;
    if (!writeAll(ops, to, buf, static_cast<std::size_t>(got))) return false;
    at += got;
  }
}

// So that the rename itself survives a power cut; the new file is whole either way.
void syncFolder(const std::string& dir) {
  int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  (void)::fsync(fd);
  ::close(fd);
}

bool isTempName(const std::string& name, const std::string& base) {
  std::string prefix = "." + base + ".";
  if (name.size() != prefix.size() + kTempSuffix || name.compare(0, prefix.size(), prefix) != 0) return false;
  for (std::size_t i = prefix.size(); i < name.size(); ++i)
    if (!std::isalnum(static_cast<unsigned char>(name[i]))) return false;
  return true;
}

}  // namespace

std::string scoreFallbackDir() { return dataHome(); }

ScoreStore::ScoreStore(RunClock& clock, std::string programName, FileOps& ops)
    : clock_(clock), programName_(std::move(programName)), ops_(ops) {}

std::string ScoreStore::fallbackFile(const std::string& scoreFile) const {
  return fallbackDir_ + "/" + baseName(scoreFile);
}

int ScoreStore::openTemp(const std::string& dir, const std::string& base, mode_t mode, std::string& name) {
  static const char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  std::random_device random;
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string suffix(kTempSuffix, ' ');
    for (char& c : suffix) c = letters[random() % (sizeof letters - 1)];
    name = dir + "/." + base + "." + suffix;
    // A new file under a name no one else holds: never an existing file, pipe or link.
    int fd = ops_.open(name, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

void ScoreStore::removeStaleTemps(const std::string& dir, const std::string& base) {
  if (!cleanedDirs_.insert(dir + "/" + base).second) return;
  DIR* d = opendir(dir.c_str());
  if (!d) return;
  std::time_t now = std::time(nullptr);
  while (dirent* e = readdir(d)) {
    if (!isTempName(e->d_name, base)) continue;
    struct stat st;
    // Only our own plain files, looked at and removed without following a link.
    if (fstatat(dirfd(d), e->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
    if (!S_ISREG(st.st_mode) || st.st_uid != geteuid() || now - st.st_mtime < kStaleSeconds) continue;
    unlinkat(dirfd(d), e->d_name, 0);
  }
  closedir(d);
}

bool ScoreStore::canWrite(const std::string& target) {
  // Tried, not asked: access() says yes to root on a read-only mount and
  // answers for the real user, not the effective one.
  std::string probe;
  int fd = openTemp(dirName(target), baseName(target), 0600, probe);
  if (fd < 0) return false;
  ops_.close(fd);
  unlink(probe.c_str());
  struct stat st;
  if (stat(target.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return true;
  fd = ops_.open(target, O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0);
  if (fd < 0) return false;
  ops_.close(fd);
  return true;
}

void ScoreStore::decide(const std::string& scoreFile) {
  if (decided_) return;
  decided_ = true;
  fallbackDir_ = scoreFallbackDir();
  // An installed program keeps its scores in the data home itself: made as
  // needed, with nowhere further to go.
  const bool inDataHome = dirName(scoreFile) == fallbackDir_;
  if (inDataHome) makeDirs(fallbackDir_);
  std::string target = scoreFile;
  if (followLinks(target) && canWrite(target)) return;
  if (inDataHome) {
    std::fprintf(stderr, "%s: %s cannot be written; scores will not be kept\n", programName_.c_str(),
                 scoreFile.c_str());
    nowhere_ = true;
    return;
  }
  std::string fallback = fallbackFile(scoreFile);
  useFallback_ = makeDirs(fallbackDir_) && followLinks(fallback) && canWrite(fallback);
  if (useFallback_) {
    std::fprintf(stderr, "%s: %s cannot be written; scores are kept in %s\n", programName_.c_str(),
                 scoreFile.c_str(), fallbackDir_.c_str());
  } else {
    std::fprintf(stderr, "%s: neither %s nor %s can be written; scores will not be kept\n", programName_.c_str(),
                 scoreFile.c_str(), fallbackDir_.c_str());
    nowhere_ = true;  // said once here; nothing is written, not even over a file kept read-only
  }
}

void ScoreStore::read(const std::string& scoreFile, ScoreRecord& rec) {
  decide(scoreFile);
  std::string path = useFallback_ ? fallbackFile(scoreFile) : scoreFile;
  std::uint8_t buf[kRecord] = {};
  std::size_t n = 0;
  std::string target = path;
  Found found = followLinks(target) ? readHead(ops_, target, buf, n) : Found::Other;
  if (found == Found::Missing && useFallback_) {
    // Nothing kept in the data home yet: the record left in the program
    // folder is the player's, carried until the first write puts one here.
    std::string left = scoreFile;
    if (followLinks(left) && readHead(ops_, left, buf, n) == Found::File) found = Found::File;
  }
  if (found == Found::Missing && target == path) {
    // Created empty, as on a first run; never at the far end of a link that leads nowhere.
    int fd = ops_.open(path, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd >= 0) ops_.close(fd);
  }
  clock_.trace().line("read " + baseName(scoreFile) + " " + hex(buf, n));
  rec = ScoreRecord::fromBytes(buf, n);
}

bool ScoreStore::replaceRecord(const std::string& path, const ScoreRecord::Bytes& bytes,
                               const std::string& carried) {
  std::string target = path;
  if (!followLinks(target)) return false;
  std::string dir = dirName(target);
  std::string base = baseName(target);
  removeStaleTemps(dir, base);

  // What follows the record, the mode and the owner come from the file
  // replaced; a new file in the data home takes what follows the record
  // from the one left in the program folder.
  struct stat st;
  int old = openRegular(ops_, target, st);
  bool existed = old >= 0;
  if (!existed && !carried.empty()) old = openRegular(ops_, carried, st);

  std::string tmp;
  int fd = openTemp(dir, base, existed ? 0600 : 0644, tmp);
  bool ok = fd >= 0;
  int error = ok ? 0 : errno;
  auto check = [&](bool done) {
    if (ok && !done) {
      ok = false;
      error = errno;
    }
  };
  if (ok && existed) {
    // The owner too, as far as we may (root writing a player's file).
    if (st.st_uid != geteuid() || st.st_gid != getegid()) (void)!fchown(fd, st.st_uid, st.st_gid);
    check(fchmod(fd, st.st_mode & 07777) == 0);
  }
  if (ok) check(writeAll(ops_, fd, bytes.data(), bytes.size()));
  if (ok && old >= 0) check(copyTail(ops_, old, fd));
  if (ok) check(ops_.fsync(fd) == 0);
  if (fd >= 0) check(ops_.close(fd) == 0);
  if (ok) check(ops_.rename(tmp, target) == 0);
  if (old >= 0) ops_.close(old);
  if (fd >= 0 && !ok) unlink(tmp.c_str());
  if (ok) syncFolder(dir);
  errno = error;
  return ok;
}

bool ScoreStore::write(const std::string& scoreFile, const ScoreRecord& rec) {
  ScoreRecord::Bytes bytes = rec.toBytes();
  clock_.trace().line("write " + baseName(scoreFile) + " " + hex(bytes.data(), bytes.size()));
  decide(scoreFile);
  if (nowhere_) return false;
  std::string path = useFallback_ ? fallbackFile(scoreFile) : scoreFile;
  if (replaceRecord(path, bytes, useFallback_ ? scoreFile : std::string())) return true;
  int error = errno;
  if (firstWriteFailure())
    std::fprintf(stderr, "%s: the scores could not be saved to %s: %s\n", programName_.c_str(), path.c_str(),
                 std::strerror(error));
  return false;
}

}  // namespace qs
