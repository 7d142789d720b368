#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <memory>
#include <optional>

#include "runtime/instance_lock.h"
#include "support/temp_dir.h"

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
  auto saved = [](const char* name) -> std::optional<std::string> {
    const char* v = std::getenv(name);
    return v ? std::optional<std::string>(v) : std::nullopt;
  };
  auto runtimeDir = saved("XDG_RUNTIME_DIR"), tmpDir = saved("TMPDIR");
  std::string uid = std::to_string(getuid());
  setenv("XDG_RUNTIME_DIR", "/run/user/x", 1);
  EXPECT_EQ(FileInstanceLock("QScr").path(), "/run/user/x/QScr-" + uid + ".lock");
  unsetenv("XDG_RUNTIME_DIR");
  TempDir tmp;
  setenv("TMPDIR", tmp.path().c_str(), 1);
  EXPECT_EQ(FileInstanceLock("QScr").path(), tmp.path() + "/QScr-" + uid + ".lock");
  for (auto [name, value] : {std::pair{"XDG_RUNTIME_DIR", runtimeDir}, std::pair{"TMPDIR", tmpDir}})
    value ? setenv(name, value->c_str(), 1) : unsetenv(name);
}

}  // namespace
}  // namespace qs::test
