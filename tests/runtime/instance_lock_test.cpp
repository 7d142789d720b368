#include <gtest/gtest.h>
#include <unistd.h>

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

TEST(InstanceLock, LivesInTheUsersRuntimeFolderElseTheTemporaryFolder) {
  const std::string uid = std::to_string(getuid());
  {
    EnvVar runtimeDir("XDG_RUNTIME_DIR", "/run/user/x");
    EXPECT_EQ(FileInstanceLock("QScr").path(), "/run/user/x/QScr-" + uid + ".lock");
  }
  TempDir tmp;
  EnvVar runtimeDir("XDG_RUNTIME_DIR", std::nullopt);
  EnvVar tmpDir("TMPDIR", tmp.path());
  EXPECT_EQ(FileInstanceLock("QScr").path(), tmp.path() + "/QScr-" + uid + ".lock");
}

}  // namespace
}  // namespace qs::test
