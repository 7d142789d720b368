#pragma once
#include <string>

namespace qs {

// One copy of a program at a time, per user: the first copy takes the lock
// and holds it for the rest of its run; a copy started meanwhile cannot.
class InstanceLock {
 public:
  virtual ~InstanceLock() = default;
  // True when this copy now holds the lock (or already did); false when
  // another copy holds it.
  virtual bool take() = 0;
};

// The lock as an flock on "<program>-<uid>.lock" in `dir`. flock locks belong
// to the open file, so the lock goes with the process however it ends, and
// two of these objects conflict even inside one process.
class FileInstanceLock final : public InstanceLock {
 public:
  FileInstanceLock(const std::string& programName, const std::string& dir = defaultDirectory());
  ~FileInstanceLock() override;
  FileInstanceLock(const FileInstanceLock&) = delete;
  FileInstanceLock& operator=(const FileInstanceLock&) = delete;

  bool take() override;
  const std::string& path() const { return path_; }

  // $XDG_RUNTIME_DIR, else the temporary folder.
  static std::string defaultDirectory();

 private:
  std::string path_;
  int fd_ = -1;
};

}  // namespace qs
