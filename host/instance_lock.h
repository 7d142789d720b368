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
  // True when another copy holds the lock; this copy neither takes it nor
  // keeps it from anyone.
  virtual bool heldElsewhere() = 0;
};

// The lock as an flock on "<program>-<uid>.lock" in `dir`. flock locks belong
// to the open file, so the lock goes with the process however it ends, and
// two of these objects conflict even inside one process. No child holds it:
// the file is closed on exec, and a child forked without exec closes its copy
// at once.
class FileInstanceLock final : public InstanceLock {
 public:
  // An empty `dir`: no lock, and every copy runs.
  FileInstanceLock(const std::string& programName, const std::string& dir = defaultDirectory());
  ~FileInstanceLock() override;
  FileInstanceLock(const FileInstanceLock&) = delete;
  FileInstanceLock& operator=(const FileInstanceLock&) = delete;

  bool take() override;
  bool heldElsewhere() override;
  // Empty when there is no lock.
  const std::string& path() const { return path_; }

  // A folder only this user can put files in: $XDG_RUNTIME_DIR, else
  // userFolder("XDG_CACHE_HOME", ".cache"), else <temporary folder>/qspe-<uid>
  // (mode 0700), each made if missing and taken only when it is a real folder
  // of the user's own that nobody else may write to; empty when none is.
  static std::string defaultDirectory();

 private:
  std::string path_;
  int slot_ = -1;  // in the table of held locks
};

}  // namespace qs
