#include "qspe/score_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "host/keep_file.h"
#include "host/program_dirs.h"
#include "runtime/run_clock.h"
#include "runtime/trace.h"

namespace qs {
namespace {

constexpr std::size_t kRecord = ScoreRecord::kSize;

std::string hex(const std::uint8_t* data, std::size_t n) {
  static const char* digits = "0123456789abcdef";
  std::string s;
  for (std::size_t i = 0; i < n; ++i) {
    s += digits[data[i] >> 4];
    s += digits[data[i] & 15];
  }
  return s;
}

std::string hex(const ScoreRecord& rec) {
  const ScoreRecord::Bytes b = rec.toBytes();
  return hex(b.data(), b.size());
}

ScoreRecord recordOf(const KeptBytes& kept) {
  return ScoreRecord::fromBytes(reinterpret_cast<const std::uint8_t*>(kept.bytes.data()), kept.bytes.size());
}

// Held while a copy of the program reads, merges and replaces the record.
// The folder itself is locked, so no lock file is left beside the record. A
// lock held for longer than a write takes (anyone may take one on a shared
// folder) is not waited for: the write goes on without it.
class FolderLock {
 public:
  explicit FolderLock(const std::string& dir) : fd_(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
    for (int tries = 0; fd_ >= 0 && tries < 200; ++tries) {
      if (flock(fd_, LOCK_EX | LOCK_NB) == 0 || errno != EWOULDBLOCK) return;
      usleep(5000);
    }
  }
  ~FolderLock() {
    if (fd_ >= 0) ::close(fd_);
  }
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;

 private:
  int fd_;
};

// Copies what follows the record in `from` to `to`.
bool copyTail(FileOps& ops, int from, int to) {
  std::uint8_t buf[65536];
  off_t at = kRecord;
  for (;;) {
    const ssize_t got = pread(from, buf, sizeof buf, at);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return false;
    if (got == 0) return true;
    if (!writeAll(ops, to, buf, static_cast<std::size_t>(got))) return false;
    at += got;
  }
}

// The regular file at the end of the links at `path`, open for reading; -1 if there is none.
int openRegular(FileOps& ops, const std::string& path) {
  const auto end = followKeptLinks(path);
  if (!end) return -1;
  const int fd = ops.open(*end, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_NOFOLLOW | O_CLOEXEC, 0);
  struct stat st;
  if (fd >= 0 && (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))) {
    ops.close(fd);
    return -1;
  }
  return fd;
}

// The list, beside the record in the data home, of the program folders whose
// record it holds while they cannot be written: one absolute folder a line.
std::string listFile(const std::string& fallback) { return fallback + ".folders"; }
constexpr std::size_t kListLimit = 64 * 1024;

}  // namespace

std::string ScoreStore::folderKey(const std::string& scoreFile) {
  char* real = realpath(folderOf(scoreFile).c_str(), nullptr);
  std::string key = real ? real : "";
  std::free(real);
  return key;
}

std::set<std::string> ScoreStore::keptFor(const std::string& scoreFile) {
  std::set<std::string> folders;
  if (fallbackDir_.empty() || fallbackFile(scoreFile) == scoreFile) return folders;
  const KeptBytes list = readKept(listFile(fallbackFile(scoreFile)), kListLimit, false, ops_);
  for (std::size_t at = 0; at < list.bytes.size();) {
    std::size_t end = list.bytes.find('\n', at);
    if (end == std::string::npos) end = list.bytes.size();
    if (end > at) folders.insert(list.bytes.substr(at, end - at));
    at = end + 1;
  }
  return folders;
}

void ScoreStore::noteKeptFor(const std::string& scoreFile, bool kept) {
  const std::string key = folderKey(scoreFile);
  std::set<std::string> folders = keptFor(scoreFile);
  if (key.empty() || key.find('\n') != std::string::npos || (folders.count(key) > 0) == kept) return;
  if (kept) folders.insert(key);
  else folders.erase(key);
  std::string text;
  for (const std::string& f : folders) text += f + "\n";
  const std::string list = listFile(fallbackFile(scoreFile));
  if (text.empty()) unlink(list.c_str());
  else replaceKept(list, text, {.newMode = 0644}, ops_);
}

std::string scoreFallbackDir() { return dataHome(); }

ScoreStore::ScoreStore(RunClock& clock, std::string programName, FileOps& ops)
    : clock_(clock), programName_(std::move(programName)), ops_(ops) {}

std::string ScoreStore::fallbackFile(const std::string& scoreFile) const {
  return fallbackDir_ + "/" + nameOf(scoreFile);
}

bool ScoreStore::canWrite(const std::string& path) {
  // A link another user planted in a shared folder is not followed.
  const auto target = followKeptLinks(path);
  if (!target) return false;
  // Tried, not asked: access() says yes to root on a read-only mount and
  // answers for the real user, not the effective one.
  std::string probe;
  int fd = openKeptTemp(ops_, folderOf(*target), nameOf(*target), 0600, probe);
  if (fd < 0) return false;
  ops_.close(fd);
  unlink(probe.c_str());
  // Only a regular file is replaced: a device, pipe or folder at the path
  // would be renamed over (once /dev/null, by a game run as root).
  switch (keptKindAt(*target)) {
    case KeptKind::Missing: return true;
    case KeptKind::Other: return false;
    case KeptKind::File: break;
  }
  fd = ops_.open(*target, O_WRONLY | O_NONBLOCK | O_NOCTTY | O_NOFOLLOW | O_CLOEXEC, 0);
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
  const bool inDataHome = !fallbackDir_.empty() && folderOf(scoreFile) == fallbackDir_;
  if (inDataHome) makeFolders(fallbackDir_);
  if (canWrite(scoreFile)) return;
  if (inDataHome) {
    std::fprintf(stderr, "%s: %s cannot be written; scores will not be kept\n", programName_.c_str(),
                 scoreFile.c_str());
    nowhere_ = true;
    return;
  }
  // Without a home folder there is no data home: never a folder relative to
  // wherever the program was started.
  useFallback_ = !fallbackDir_.empty() && makeFolders(fallbackDir_) && canWrite(fallbackFile(scoreFile));
  if (useFallback_) {
    std::fprintf(stderr, "%s: %s cannot be written; scores are kept in %s\n", programName_.c_str(), scoreFile.c_str(),
                 fallbackDir_.c_str());
  } else if (fallbackDir_.empty()) {
    std::fprintf(stderr, "%s: %s cannot be written and there is no home folder; scores will not be kept\n",
                 programName_.c_str(), scoreFile.c_str());
    nowhere_ = true;
  } else {
    std::fprintf(stderr, "%s: neither %s nor %s can be written; scores will not be kept\n", programName_.c_str(),
                 scoreFile.c_str(), fallbackDir_.c_str());
    nowhere_ = true;  // said once here; nothing is written, not even over a file kept read-only
  }
}

void ScoreStore::read(const std::string& scoreFile, ScoreRecord& rec) {
  decide(scoreFile);
  const std::string path = useFallback_ ? fallbackFile(scoreFile) : scoreFile;
  KeptBytes got = readKept(path, kRecord, true, ops_);
  if (got.kind == KeptKind::Missing && useFallback_) {
    // Nothing kept in the data home yet: the record left in the program
    // folder is the player's, carried until the first write puts one here.
    if (KeptBytes left = readKept(scoreFile, kRecord, true, ops_); left.kind == KeptKind::File) got = left;
  }
  if (got.kind == KeptKind::Missing && keptKindAt(path) == KeptKind::Missing) {
    // Created empty, as on a first run; never at the far end of a link that leads nowhere.
    const int fd = ops_.open(path, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd >= 0) ops_.close(fd);
  }
  rec = recordOf(got);
  if (!useFallback_ && !nowhere_ && keptFor(scoreFile).count(folderKey(scoreFile))) {
    // Progress kept in the data home while this program folder could not be
    // written is the player's too, now that the folder can be written again.
    if (KeptBytes away = readKept(fallbackFile(scoreFile), kRecord, true, ops_); away.kind == KeptKind::File) {
      rec = mergedRecord(rec, recordOf(away));
      const ScoreRecord::Bytes b = rec.toBytes();
      got.bytes.assign(b.begin(), b.end());
      mergedBack_ = true;
    }
  }
  clock_.trace().line("read " + nameOf(scoreFile) + " " +
                      hex(reinterpret_cast<const std::uint8_t*>(got.bytes.data()), got.bytes.size()));
}

bool ScoreStore::write(const std::string& scoreFile, const ScoreRecord& rec) {
  decide(scoreFile);
  const std::string path = useFallback_ ? fallbackFile(scoreFile) : scoreFile;
  const auto target = nowhere_ ? std::nullopt : followKeptLinks(path);
  int error = errno;  // why the links could not be followed
  bool ok = false;
  if (!target) {
    clock_.trace().line("write " + nameOf(scoreFile) + " " + hex(rec));
  } else {
    FolderLock lock(folderOf(*target));
    // Another copy of the program may have kept progress of its own since this one read the file.
    const KeptBytes now = readKept(*target, kRecord, true, ops_);
    const ScoreRecord out = now.kind == KeptKind::File ? mergedRecord(rec, recordOf(now)) : rec;
    clock_.trace().line("write " + nameOf(scoreFile) + " " + hex(out));
    const ScoreRecord::Bytes bytes = out.toBytes();
    // What follows the record comes from the file replaced; a new file in
    // the data home takes it from the one left in the program folder.
    int old = openRegular(ops_, *target);
    if (old < 0 && useFallback_) old = openRegular(ops_, scoreFile);
    ok = replaceKept(
        *target,
        [&](int fd) { return writeAll(ops_, fd, bytes.data(), bytes.size()) && (old < 0 || copyTail(ops_, old, fd)); },
        {.newMode = 0644}, ops_);
    error = errno;
    if (old >= 0) ops_.close(old);
    if (ok && useFallback_) noteKeptFor(scoreFile, true);
    if (ok && mergedBack_) noteKeptFor(scoreFile, false);
  }
  if (nowhere_ || ok) return ok;
  if (firstWriteFailure())
    std::fprintf(stderr, "%s: the scores could not be saved to %s: %s\n", programName_.c_str(), path.c_str(),
                 std::strerror(error));
  return false;
}

}  // namespace qs
