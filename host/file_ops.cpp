#include "host/file_ops.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

namespace qs {

int FileOps::open(const std::string& path, int flags, mode_t mode) { return ::open(path.c_str(), flags, mode); }
ssize_t FileOps::write(int fd, const void* data, std::size_t size) { return ::write(fd, data, size); }
int FileOps::fsync(int fd) { return ::fsync(fd); }
int FileOps::rename(const std::string& from, const std::string& to) { return ::rename(from.c_str(), to.c_str()); }
int FileOps::close(int fd) { return ::close(fd); }

FileOps& posixFileOps() {
  static FileOps ops;
  return ops;
}

}  // namespace qs
