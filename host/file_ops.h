#pragma once
#include <sys/types.h>

#include <cstddef>
#include <string>

namespace qs {

// The system calls through which a kept file is opened, written, flushed,
// renamed and closed. They are made here and nowhere else, so that a
// test can make any one of them fail; each behaves as its POSIX namesake
// (-1 and errno on failure).
class FileOps {
 public:
  virtual ~FileOps() = default;
  virtual int open(const std::string& path, int flags, mode_t mode);
  virtual ssize_t write(int fd, const void* data, std::size_t size);
  virtual int fsync(int fd);
  virtual int rename(const std::string& from, const std::string& to);
  virtual int close(int fd);
};

// The system's own calls.
FileOps& posixFileOps();

}  // namespace qs
