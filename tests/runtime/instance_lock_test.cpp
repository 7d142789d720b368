#include "host/instance_lock.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <optional>

#include "support/env_var.h"
#include "support/files.h"

namespace qs::test {
namespace {

// A second copy cannot take the lock until the first lets go, nor can a child
// forked without exec, as SDL's message box is, keep a share of it.
TEST(InstanceLock, ASecondCopyCannotTakeTheLockUntilTheFirstLetsGo) {
  TempDir dir;
  auto first = std::make_unique<FileInstanceLock>("QScr", dir.path());
  FileInstanceLock second("QScr", dir.path()), otherProgram("Qspe", dir.path());
  EXPECT_TRUE(first->take() && first->take()) << "the holder keeps it";
  EXPECT_FALSE(second.take());
  EXPECT_TRUE(otherProgram.take());
  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  const pid_t child = fork();
  if (child == 0) (void)!write(ready[1], "", 1), pause(), _exit(0);
  char c;
  ASSERT_TRUE(child > 0 && read(ready[0], &c, 1) == 1);
  first.reset();
  EXPECT_TRUE(second.take()) << "the forked child holds it";
  kill(child, SIGKILL), waitpid(child, nullptr, 0), close(ready[0]), close(ready[1]);
  EXPECT_TRUE(FileInstanceLock("QScr", dir.file("missing")).take()) << "a lock that cannot be made stops nobody";
}

// Where the lock lives, and whether a lock file another process holds there
// stops this copy. Folders are named under the test's own; "tmp" is the
// temporary folder and "tmp/own" the folder qspe-<uid> in it.
struct Folder {
  mode_t mode = 0;  // 0: not there
  bool anotherUsers = false;
};
TEST(InstanceLock, LivesInAFolderOfTheUsersOwn) {
  // clang-format off
  const struct {
    const char* runtime;  // $XDG_RUNTIME_DIR; nullptr unset, "./" as it is, else under the test's folder
    Folder runtimeFolder;
    bool home;            // $XDG_CACHE_HOME set; otherwise no home folder either
    Folder ownTmp;        // "tmp/own" as found
    const char* heldIn;   // where another copy holds the lock
    const char* lockIn;   // the lock's folder; "" none
  } cases[] = {{"run", {0700}, true, {}, "run", "run"},              {nullptr, {}, true, {}, "tmp", "cache/qspe"},
               {"./run", {}, true, {}, "tmp", "cache/qspe"},         {"run", {0777}, true, {}, "run", "cache/qspe"},
               {"run", {0700, true}, true, {}, "run", "cache/qspe"}, {nullptr, {}, false, {}, "tmp", "tmp/own"},
               {nullptr, {}, false, {0755}, "tmp/own", ""},          {nullptr, {}, false, {0700, true}, "tmp/own", ""}};
  // clang-format on
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "case " << &c - cases);
    if ((c.runtimeFolder.anotherUsers || c.ownTmp.anotherUsers) && getuid() != 0) continue;  // made as root only
    TempDir root;
    auto under = [&](const std::string& name) {
      return root.file(name == "tmp/own" ? "tmp/qspe-" + std::to_string(getuid()) : name);
    };
    auto make = [](const std::string& dir, const Folder& f) {
      ASSERT_TRUE(!f.mode || (mkdir(dir.c_str(), 0700) == 0 && chmod(dir.c_str(), f.mode) == 0)) << dir;
      ASSERT_TRUE(!f.anotherUsers || chown(dir.c_str(), 4242, 4242) == 0);
    };
    std::filesystem::create_directory(root.file("tmp"));
    const std::string runtime = !c.runtime ? "" : c.runtime[0] == '.' ? c.runtime : under(c.runtime);
    make(runtime, c.runtimeFolder);
    make(under("tmp/own"), c.ownTmp);
    EnvVar runtimeDir("XDG_RUNTIME_DIR", c.runtime ? std::optional(runtime) : std::nullopt);
    EnvVar cacheHome("XDG_CACHE_HOME", c.home ? std::optional(root.file("cache")) : std::nullopt);
    EnvVar home("HOME", "not/absolute");  // unset, it would be the account's home
    EnvVar tmpDir("TMPDIR", root.file("tmp"));
    FileInstanceLock other("QScr", under(c.heldIn));
    ASSERT_TRUE(other.take());
    FileInstanceLock lock("QScr");
    const std::string expected = *c.lockIn ? under(c.lockIn) : "";
    EXPECT_EQ(std::filesystem::path(lock.path()).parent_path().string(), expected);
    EXPECT_EQ(lock.take(), expected != under(c.heldIn)) << "a held lock counts in the user's own folder alone";
    struct stat st {};
    EXPECT_TRUE(expected.empty() || (stat(expected.c_str(), &st) == 0 && (st.st_mode & 07777) == 0700)) << st.st_mode;
  }
}

}  // namespace
}  // namespace qs::test
