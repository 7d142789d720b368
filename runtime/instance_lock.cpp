#include "runtime/instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>

namespace qs {

FileInstanceLock::FileInstanceLock(const std::string& programName, const std::string& dir)
    : path_(dir + "/" + programName + "-" + std::to_string(getuid()) + ".lock") {}

FileInstanceLock::~FileInstanceLock() {
  if (fd_ >= 0) close(fd_);
}

std::string FileInstanceLock::defaultDirectory() {
  if (const char* runtimeDir = std::getenv("XDG_RUNTIME_DIR"); runtimeDir && *runtimeDir) return runtimeDir;
  std::error_code ec;
  std::filesystem::path tmp = std::filesystem::temp_directory_path(ec);
  return ec ? "/tmp" : tmp.string();
}

bool FileInstanceLock::take() {
  if (fd_ >= 0) return true;
  // O_NOFOLLOW: in a shared temporary folder another user's link is not followed.
  int fd = open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  // A lock that cannot be made (no such folder, another user's file) cannot
  // tell that a copy runs: this one runs.
  if (fd < 0) return true;
  if (flock(fd, LOCK_EX | LOCK_NB) == 0) {
    fd_ = fd;
    return true;
  }
  bool held = errno == EWOULDBLOCK;
  close(fd);
  return !held;
}

}  // namespace qs
