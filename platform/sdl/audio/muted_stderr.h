#pragma once
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

namespace qs {

// While alive, standard error goes nowhere: for libraries that report on it
// directly (the soundfont loader's helpers do), so that the program alone
// decides what the user reads there.
class MutedStderr {
 public:
  MutedStderr() {
    std::fflush(stderr);
    saved_ = dup(STDERR_FILENO);
    int null = open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (saved_ >= 0 && null >= 0) dup2(null, STDERR_FILENO);
    if (null >= 0) close(null);
  }
  ~MutedStderr() {
    std::fflush(stderr);
    if (saved_ >= 0) {
      dup2(saved_, STDERR_FILENO);
      close(saved_);
    }
  }
  MutedStderr(const MutedStderr&) = delete;
  MutedStderr& operator=(const MutedStderr&) = delete;

 private:
  int saved_ = -1;
};

}  // namespace qs
