#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <optional>

#include "runtime/instance_lock.h"
#include "support/env_var.h"
#include "support/files.h"

namespace qs::test {
namespace {

TEST(InstanceLock, ASecondCopyCannotTakeTheLockUntilTheFirstLetsGo) {
  TempDir dir;
  auto first = std::make_unique<FileInstanceLock>("QScr", dir.path());
  FileInstanceLock second("QScr", dir.path());
  FileInstanceLock otherProgram("Qspe", dir.path());
  EXPECT_TRUE(first->take());
  EXPECT_TRUE(first->take()) << "the holder keeps it";
  EXPECT_FALSE(second.take());
  EXPECT_TRUE(otherProgram.take());
  first.reset();
  EXPECT_TRUE(second.take());
  EXPECT_TRUE(FileInstanceLock("QScr", dir.file("missing")).take()) << "a lock that cannot be made stops nobody";
}

// A child forked without exec, as SDL's message box is, keeps no share of the
// lock: once the parent lets go, the next copy may run.
TEST(InstanceLock, AForkedChildDoesNotHoldTheLock) {
  TempDir dir;
  auto held = std::make_unique<FileInstanceLock>("QScr", dir.path());
  ASSERT_TRUE(held->take());
  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  const pid_t child = fork();
  if (child == 0) {
    (void)!write(ready[1], "", 1);
    pause();
    _exit(0);
  }
  ASSERT_GT(child, 0);
  char c;
  EXPECT_EQ(read(ready[0], &c, 1), 1);
  held.reset();
  EXPECT_TRUE(FileInstanceLock("QScr", dir.path()).take()) << "the forked child holds it";
  kill(child, SIGKILL);
  waitpid(child, nullptr, 0);
  close(ready[0]);
  close(ready[1]);
}

// Where the lock lives, and whether a lock file another process holds there
// stops this copy. Folders are named under the test's own; "tmp" is the
// temporary folder and "tmp/own" the folder qspe-<uid> in it.
struct Folder {
  mode_t mode = 0;  // 0: not there
  bool anotherUsers = false;
};
struct LockPlace {
  const char* runtime;  // $XDG_RUNTIME_DIR; nullptr unset, "./" as it is, else under the test's folder
  Folder runtimeFolder;
  bool home;     // $XDG_CACHE_HOME set; otherwise no home folder either
  Folder ownTmp;  // "tmp/own" as found
  const char* heldIn;  // where another copy holds the lock
  const char* lockIn;  // the lock's folder; "" none
};

void PrintTo(const LockPlace& c, std::ostream* os) {
  auto folder = [&](const Folder& f) { *os << std::oct << f.mode << (f.anotherUsers ? " theirs" : "") << std::dec; };
  *os << "runtime " << (c.runtime ? c.runtime : "unset") << " ";
  folder(c.runtimeFolder);
  *os << (c.home ? ", home" : ", no home") << ", tmp/own ";
  folder(c.ownTmp);
  *os << ": lock in " << (*c.lockIn ? c.lockIn : "none");
}

class InstanceLockPlace : public ::testing::TestWithParam<LockPlace> {
 protected:
  std::string under(const std::string& name) const {
    return root_.file(name == "tmp/own" ? "tmp/qspe-" + std::to_string(getuid()) : name);
  }
  void make(const std::string& dir, const Folder& f) {
    if (!f.mode) return;
    ASSERT_EQ(mkdir(dir.c_str(), 0700), 0) << dir;
    ASSERT_EQ(chmod(dir.c_str(), f.mode), 0);
    if (f.anotherUsers) {
      ASSERT_EQ(chown(dir.c_str(), 4242, 4242), 0);
    }
  }
  TempDir root_;
};

TEST_P(InstanceLockPlace, IsAFolderOfTheUsersOwn) {
  const LockPlace& c = GetParam();
  if ((c.runtimeFolder.anotherUsers || c.ownTmp.anotherUsers) && getuid() != 0)
    GTEST_SKIP() << "another user's folder is made as root";
  std::filesystem::create_directory(root_.file("tmp"));
  const std::string runtime = !c.runtime ? "" : c.runtime[0] == '.' ? c.runtime : under(c.runtime);
  make(runtime, c.runtimeFolder);
  make(under("tmp/own"), c.ownTmp);
  EnvVar runtimeDir("XDG_RUNTIME_DIR", c.runtime ? std::optional(runtime) : std::nullopt);
  EnvVar cacheHome("XDG_CACHE_HOME", c.home ? std::optional(root_.file("cache")) : std::nullopt);
  EnvVar home("HOME", "not/absolute");  // unset, it would be the account's home
  EnvVar tmpDir("TMPDIR", root_.file("tmp"));
  FileInstanceLock other("QScr", under(c.heldIn));
  ASSERT_TRUE(other.take());

  FileInstanceLock lock("QScr");
  const std::string expected = *c.lockIn ? under(c.lockIn) : "";
  EXPECT_EQ(std::filesystem::path(lock.path()).parent_path().string(), expected);
  EXPECT_EQ(lock.take(), expected != under(c.heldIn)) << "a held lock counts in the user's own folder alone";
  struct stat st {};
  if (!expected.empty()) {
    EXPECT_TRUE(stat(expected.c_str(), &st) == 0 && (st.st_mode & 07777) == 0700) << st.st_mode;
  }
}

INSTANTIATE_TEST_SUITE_P(InstanceLock, InstanceLockPlace,
                         ::testing::Values(LockPlace{"run", {0700}, true, {}, "run", "run"},
                                           LockPlace{nullptr, {}, true, {}, "tmp", "cache/qspe"},
                                           LockPlace{"./run", {}, true, {}, "tmp", "cache/qspe"},
                                           LockPlace{"run", {0777}, true, {}, "run", "cache/qspe"},
                                           LockPlace{"run", {0700, true}, true, {}, "run", "cache/qspe"},
                                           LockPlace{nullptr, {}, false, {}, "tmp", "tmp/own"},
                                           LockPlace{nullptr, {}, false, {0755}, "tmp/own", ""},
                                           LockPlace{nullptr, {}, false, {0700, true}, "tmp/own", ""}));

}  // namespace
}  // namespace qs::test
