#include "host/instance_lock.h"

#include <fcntl.h>
#include <pthread.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <filesystem>

#include "host/program_dirs.h"

namespace qs {
namespace {

// The files of the locks this process holds. A child forked without exec
// (SDL's message box is one) shares each open file, and with it the lock, for
// as long as it lives, parent gone or not: it closes its copies at once.
std::atomic<int> heldFiles[4] = {-1, -1, -1, -1};

extern "C" void closeInheritedLocks() {
  for (auto& file : heldFiles)
    if (int fd = file.exchange(-1); fd >= 0) close(fd);
}

// A real folder (not a link) of this user's that nobody else may write to;
// `exact`: of mode 0700.
bool ownFolder(const std::string& dir, bool exact = false) {
  struct stat st {};
  if (lstat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != getuid()) return false;
  return exact ? (st.st_mode & 07777) == 0700 : (st.st_mode & 022) == 0;
}

}  // namespace

FileInstanceLock::FileInstanceLock(const std::string& programName, const std::string& dir)
    : path_(dir.empty() ? dir : dir + "/" + programName + "-" + std::to_string(getuid()) + ".lock") {}

FileInstanceLock::~FileInstanceLock() {
  if (slot_ < 0) return;
  if (int fd = heldFiles[slot_].exchange(-1); fd >= 0) close(fd);
}

std::string FileInstanceLock::defaultDirectory() {
  // Never a shared folder: there another user could make the lock file first
  // and hold it, and the saver would never run.
  if (const char* runtimeDir = std::getenv("XDG_RUNTIME_DIR");
      runtimeDir && *runtimeDir == '/' && ownFolder(runtimeDir))
    return runtimeDir;
  if (std::string cache = userFolder("XDG_CACHE_HOME", ".cache"); !cache.empty()) {
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(cache).parent_path(), ignored);
    mkdir(cache.c_str(), 0700);
    if (ownFolder(cache)) return cache;
  }
  // No home: a folder of the user's own in the temporary folder, which anyone
  // may have made first under that name, so it counts only as 0700 and ours.
  std::error_code error;
  const std::filesystem::path tmp = std::filesystem::temp_directory_path(error);
  const std::string own = (error ? std::string("/tmp") : tmp.string()) + "/qspe-" + std::to_string(getuid());
  mkdir(own.c_str(), 0700);
  return ownFolder(own, true) ? own : std::string();
}

bool FileInstanceLock::take() {
  if (slot_ >= 0 || path_.empty()) return true;
  [[maybe_unused]] static const bool closedInChildren = pthread_atfork(nullptr, nullptr, closeInheritedLocks) == 0;
  // O_NOFOLLOW: a link in the folder is not followed.
  int fd = open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  // A lock that cannot be made (no such folder, another user's file) cannot
  // tell that a copy runs: this one runs.
  if (fd < 0) return true;
  // Listed before it is locked, so that no fork in between takes it along.
  for (int i = 0; i < static_cast<int>(std::size(heldFiles)); ++i) {
    int none = -1;
    if (heldFiles[i].compare_exchange_strong(none, fd)) {
      slot_ = i;
      break;
    }
  }
  if (slot_ < 0) {
    close(fd);
    return true;
  }
  if (flock(fd, LOCK_EX | LOCK_NB) == 0) return true;
  bool held = errno == EWOULDBLOCK;
  heldFiles[slot_].store(-1);
  slot_ = -1;
  close(fd);
  return !held;
}

bool FileInstanceLock::heldElsewhere() {
  if (slot_ >= 0 || path_.empty()) return false;
  int fd = open(path_.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
  if (fd < 0) return false;  // never made: no copy runs
  // A shared lock, let go at once: copies that only look never keep each other out.
  bool held = flock(fd, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
  close(fd);
  return held;
}

}  // namespace qs
