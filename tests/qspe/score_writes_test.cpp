// Writing the score file: what the write must keep (links, the bytes after
// the record, mode and owner, a record in a folder that cannot be written),
// its temporary files, and failures, crashes and a second writer.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <optional>
#include <random>
#include <set>

#include "runtime/file_ops.h"
#include "qspe/score_file.h"
#include "support/env_var.h"
#include "support/headless_run.h"

namespace qs::test {
namespace {

namespace fs = std::filesystem;

const ScoreRecord kA{-1, 0, -1, 0, 0, 0, 12000, 0};
const ScoreRecord kB{-1, -1, -1, -1, -1, 0, 31000, 6100};
const Bytes kTail = {'n', 'o', 't', 'e', 's', '\n', 0};

Bytes bytesOf(const ScoreRecord& r, const Bytes& tail = {}) {
  auto b = r.toBytes();
  Bytes out(b.size() + tail.size());
  std::copy(tail.begin(), tail.end(), std::copy(b.begin(), b.end(), out.begin()));
  return out;
}

mode_t modeOf(const std::string& path) {
  struct stat st {};
  stat(path.c_str(), &st);
  return st.st_mode & 07777;
}

std::set<std::string> namesIn(const std::string& dir) {
  std::set<std::string> names;
  for (auto& e : fs::directory_iterator(dir)) names.insert(e.path().filename().string());
  return names;
}

int lines(const std::string& text) { return static_cast<int>(std::count(text.begin(), text.end(), '\n')); }

// The file layer with one of its steps failing.
enum class Step { Open, Write, Sync, Close, Rename };

class FailingOps : public FileOps {
 public:
  // From now on, every call of `step` after the first `skip` fails with
  // `error`. Only opens that may write count as opens, and only those of
  // paths that start with `under`: a folder or file that cannot be written.
  void fail(Step step, int error, int skip = 0, std::string under = "") {
    step_ = step;
    error_ = error;
    skip_ = skip;
    under_ = std::move(under);
    calls_ = 0;
  }
  void heal() { step_.reset(); }

  int open(const std::string& path, int flags, mode_t mode) override {
    bool writing = flags & (O_WRONLY | O_RDWR | O_CREAT);
    if (writing && path.rfind(under_, 0) == 0 && failsNow(Step::Open)) return failed();
    return FileOps::open(path, flags, mode);
  }
  ssize_t write(int fd, const void* data, std::size_t size) override {
    return failsNow(Step::Write) ? failed() : FileOps::write(fd, data, size);
  }
  int fsync(int fd) override { return failsNow(Step::Sync) ? failed() : FileOps::fsync(fd); }
  int rename(const std::string& from, const std::string& to) override {
    return failsNow(Step::Rename) ? failed() : FileOps::rename(from, to);
  }
  int close(int fd) override {
    int result = FileOps::close(fd);  // the descriptor is gone even when close reports an error
    return failsNow(Step::Close) ? failed() : result;
  }

 private:
  bool failsNow(Step s) { return step_ == s && ++calls_ > skip_; }
  int failed() {
    errno = error_;
    return -1;
  }
  std::optional<Step> step_;
  int error_ = 0;
  int skip_ = 0;
  int calls_ = 0;
  std::string under_;
};

struct Fault {
  const char* name;
  Step step;
  int error;
  int skip;  // calls of the step that go through first
};

class ScoreWriteFault : public testing::TestWithParam<Fault> {};

TEST_P(ScoreWriteFault, LeavesTheOldFileWholeAndIsSaidOnce) {
  const Fault& f = GetParam();
  HeadlessRun run({.scores = bytesOf(kA, kTail)});
  const std::string file = run.file("Qspe.dat");
  ASSERT_EQ(chmod(file.c_str(), 0640), 0);
  FailingOps ops;
  ScoreStore store(run.rt(), "Qspe", ops);
  ScoreRecord r;
  store.read(file, r);  // where the file is kept is settled before anything fails
  ops.fail(f.step, f.error, f.skip);

  testing::internal::CaptureStderr();
  EXPECT_FALSE(store.write(file, kB));
  EXPECT_FALSE(store.write(file, kB));
  std::string err = testing::internal::GetCapturedStderr();

  EXPECT_EQ(readBytes(file), bytesOf(kA, kTail));
  EXPECT_EQ(modeOf(file), 0640u);
  EXPECT_EQ(namesIn(run.dir()), std::set<std::string>{"Qspe.dat"}) << "a temporary file was left";
  EXPECT_EQ(lines(err), 1) << err;
  EXPECT_NE(err.find(std::strerror(f.error)), std::string::npos) << err;

  ops.heal();
  EXPECT_TRUE(store.write(file, kB));
  EXPECT_EQ(readBytes(file), bytesOf(kB, kTail));
  EXPECT_EQ(modeOf(file), 0640u);
}

INSTANTIATE_TEST_SUITE_P(EachStep, ScoreWriteFault,
                         testing::Values(Fault{"OpenFails", Step::Open, EIO, 0},
                                         Fault{"DiskFullAtTheRecord", Step::Write, ENOSPC, 0},
                                         Fault{"DiskFullAfterTheRecord", Step::Write, ENOSPC, 1},
                                         Fault{"FsyncFails", Step::Sync, EIO, 0},
                                         Fault{"CloseFails", Step::Close, EIO, 0},
                                         Fault{"RenameFails", Step::Rename, EIO, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

// Links at "Qspe.dat": `links` maps a link (relative to the top folder) to its
// text, with '@' standing for the top folder; `file` is where they lead.
struct LinkCase {
  const char* name;
  std::vector<std::pair<std::string, std::string>> links;
  std::string file;
};

class ScoreFileLink : public testing::TestWithParam<LinkCase> {};

TEST_P(ScoreFileLink, IsWrittenThroughAndStaysALink) {
  const LinkCase& c = GetParam();
  TempDir top;
  fs::create_directory(top.file("prog"));
  fs::create_directory(top.file("keep"));
  std::string target = top.file(c.file);
  writeBytes(target, bytesOf(kA, kTail));
  ASSERT_EQ(chmod(target.c_str(), 0600), 0);
  auto linkText = [&](std::string text) {
    if (auto at = text.find('@'); at != std::string::npos) text.replace(at, 1, top.path());
    return text;
  };
  for (auto& [link, text] : c.links) fs::create_symlink(linkText(text), top.file(link));
  std::set<std::string> keepNames = namesIn(top.file("keep"));

  HeadlessRun run({.dir = top.file("prog")});
  std::string scoreFile = top.file("prog/Qspe.dat");
  ScoreRecord r;
  run.services().scores.read(scoreFile, r);
  EXPECT_EQ(r, kA);
  EXPECT_TRUE(run.services().scores.write(scoreFile, kB));

  for (auto& [link, text] : c.links) {
    ASSERT_TRUE(fs::is_symlink(top.file(link))) << link << " was replaced";
    EXPECT_EQ(fs::read_symlink(top.file(link)).string(), linkText(text));
  }
  EXPECT_EQ(readBytes(target), bytesOf(kB, kTail));
  EXPECT_EQ(modeOf(target), 0600u);
  EXPECT_EQ(namesIn(top.file("keep")), keepNames);
  run.services().scores.read(scoreFile, r);
  EXPECT_EQ(r, kB);
  EXPECT_TRUE(run.trace().has("0 write Qspe.dat " + hexOf(kB.toBytes())));
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, ScoreFileLink,
    testing::Values(LinkCase{"RelativeInTheSameFolder", {{"prog/Qspe.dat", "scores.bin"}}, "prog/scores.bin"},
                    LinkCase{"AbsoluteIntoAnotherFolder", {{"prog/Qspe.dat", "@/keep/Qspe.dat"}}, "keep/Qspe.dat"},
                    LinkCase{"AChainOfTwo",
                             {{"prog/Qspe.dat", "../keep/link"}, {"keep/link", "@/keep/real.dat"}},
                             "keep/real.dat"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ScoreFileLink, ALinkToNothingIsNotFollowedByAReadButIsByAWrite) {
  TempDir top;
  fs::create_directory(top.file("prog"));
  fs::create_directory(top.file("keep"));
  fs::create_symlink("../keep/Qspe.dat", top.file("prog/Qspe.dat"));
  HeadlessRun run({.dir = top.file("prog")});
  std::string scoreFile = top.file("prog/Qspe.dat");

  ScoreRecord r = kB;
  run.services().scores.read(scoreFile, r);
  EXPECT_EQ(r, ScoreRecord{});
  EXPECT_TRUE(run.trace().has("0 read Qspe.dat "));
  EXPECT_FALSE(fs::exists(top.file("keep/Qspe.dat")));

  EXPECT_TRUE(run.services().scores.write(scoreFile, kA));
  EXPECT_TRUE(fs::is_symlink(top.file("prog/Qspe.dat")));
  EXPECT_EQ(readBytes(top.file("keep/Qspe.dat")), bytesOf(kA));
}

TEST(ScoreWrites, WhatFollowsTheRecordAndTheOwnerStay) {
  std::mt19937 gen(5);
  Bytes tail(70000);  // more than one copy buffer
  for (auto& b : tail) b = static_cast<std::uint8_t>(gen());
  HeadlessRun run({.scores = bytesOf(kA, tail)});
  const std::string file = run.file("Qspe.dat");
  bool root = geteuid() == 0;
  if (root) {
    ASSERT_EQ(chown(file.c_str(), 4321, 4322), 0);
  }
  EXPECT_TRUE(run.services().scores.write(file, kB));
  EXPECT_EQ(readBytes(file), bytesOf(kB, tail));
  struct stat st {};
  ASSERT_EQ(stat(file.c_str(), &st), 0);
  if (root) {
    EXPECT_EQ(std::make_pair(st.st_uid, st.st_gid), std::make_pair(uid_t{4321}, gid_t{4322}));
  }
}

struct ModeCase {
  const char* name;
  std::optional<mode_t> before;  // none: no file yet
  mode_t after;
};

class ScoreFileMode : public testing::TestWithParam<ModeCase> {};

TEST_P(ScoreFileMode, IsTheOldFilesOrTheUsualOneUnderTheUmask) {
  HeadlessRun run;
  const std::string file = run.file("Qspe.dat");
  if (GetParam().before) {
    writeBytes(file, bytesOf(kA));
    ASSERT_EQ(chmod(file.c_str(), *GetParam().before), 0);
  }
  mode_t oldMask = umask(027);
  bool written = run.services().scores.write(file, kB);
  umask(oldMask);
  EXPECT_TRUE(written);
  EXPECT_EQ(modeOf(file), GetParam().after);
}

INSTANTIATE_TEST_SUITE_P(Files, ScoreFileMode,
                         testing::Values(ModeCase{"WiderThanTheUmaskStaysWide", 0664, 0664},
                                         ModeCase{"NewFile", std::nullopt, 0640}),
                         [](const auto& info) { return std::string(info.param.name); });

// A program folder, or the file in it, that cannot be written: the record
// there is read and carried to the data home until a file is kept there.
struct ReadOnlyCase {
  const char* name;
  std::string blocked;  // what cannot be written, under the program folder ("." any new file)
};

class ScoreFileReadOnly : public testing::TestWithParam<ReadOnlyCase> {};

TEST_P(ScoreFileReadOnly, TheRecordThereIsCarriedToTheDataHome) {
  TempDir home;
  EnvVar xdg("XDG_DATA_HOME", home.path());
  HeadlessRun run({.scores = bytesOf(kA, kTail)});
  const std::string scoreFile = run.file("Qspe.dat");
  FailingOps ops;
  ops.fail(Step::Open, EROFS, 0, run.file(GetParam().blocked));
  ScoreStore store(run.rt(), "Qspe", ops);
  std::string kept = home.path() + "/qspe/Qspe.dat";

  testing::internal::CaptureStderr();
  ScoreRecord r;
  store.read(scoreFile, r);
  EXPECT_EQ(r, kA);
  store.read(scoreFile, r);
  EXPECT_EQ(r, kA);
  EXPECT_FALSE(fs::exists(kept));
  EXPECT_TRUE(store.write(scoreFile, kB));
  store.read(scoreFile, r);
  std::string err = testing::internal::GetCapturedStderr();

  EXPECT_EQ(r, kB);
  EXPECT_EQ(readBytes(kept), bytesOf(kB, kTail));
  EXPECT_EQ(readBytes(scoreFile), bytesOf(kA, kTail));
  EXPECT_EQ(lines(err), 1) << err;
  EXPECT_NE(err.find(home.path() + "/qspe"), std::string::npos) << err;
  EXPECT_TRUE(run.trace().has("0 read Qspe.dat " + hexOf(kA.toBytes())));

  // Once the folder can be written again, what was kept meanwhile comes back to it.
  ops.heal();
  ScoreStore later(run.rt(), "Qspe", ops);
  later.read(scoreFile, r);
  EXPECT_EQ(r, kB);
  EXPECT_TRUE(later.write(scoreFile, r));
  EXPECT_EQ(readBytes(scoreFile), bytesOf(kB, kTail));
}

INSTANTIATE_TEST_SUITE_P(Blocked, ScoreFileReadOnly,
                         testing::Values(ReadOnlyCase{"FolderTakesNoNewFile", "."},
                                         ReadOnlyCase{"File", "Qspe.dat"}),
                         [](const auto& info) { return std::string(info.param.name); });

void age(const std::string& path, int seconds) {
  timespec times[2];
  clock_gettime(CLOCK_REALTIME, &times[0]);
  times[0].tv_sec -= seconds;
  times[1] = times[0];
  ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW), 0) << path;
}

TEST(ScoreWrites, TemporaryFilesAreOursAloneAndStaleOnesGo) {
  HeadlessRun run;
  const TempDir other;
  const std::string victim = other.file("victim");
  auto file = [&](const std::string& name) { return run.file(name); };
  writeBytes(victim, {1, 2, 3});
  // The name a fixed temporary file would take: a link there leads elsewhere.
  fs::create_symlink(victim, file("Qspe.dat.tmp"));
  writeBytes(file(".Qspe.dat.Ab3xYz"), {9});  // left by a crash two minutes ago
  age(file(".Qspe.dat.Ab3xYz"), 120);
  writeBytes(file(".Qspe.dat.Fresh1"), {9});  // another writer's, in flight
  fs::create_symlink(victim, file(".Qspe.dat.Link01"));
  age(file(".Qspe.dat.Link01"), 120);
  ASSERT_EQ(mkfifo(file(".Qspe.dat.Fifo01").c_str(), 0644), 0);
  age(file(".Qspe.dat.Fifo01"), 120);
  writeBytes(file(".Qspe.dat.notours"), {9});
  age(file(".Qspe.dat.notours"), 120);

  EXPECT_TRUE(run.services().scores.write(file("Qspe.dat"), kA));

  EXPECT_EQ(readBytes(file("Qspe.dat")), bytesOf(kA));
  EXPECT_EQ(readBytes(victim), (Bytes{1, 2, 3}));
  EXPECT_EQ(namesIn(run.dir()), (std::set<std::string>{"Qspe.dat", "Qspe.dat.tmp", ".Qspe.dat.Fresh1",
                                                          ".Qspe.dat.Link01", ".Qspe.dat.Fifo01",
                                                          ".Qspe.dat.notours"}));
}

TEST(ScoreWritesCrash, AWriterKilledAtAnyMomentLeavesTheOldRecordOrTheNew) {
  HeadlessRun run({.scores = bytesOf(kA, kTail)});
  const std::string file = run.file("Qspe.dat");
  ScoreRecord r;
  run.services().scores.read(file, r);
  std::mt19937 gen(11);
  for (int kill = 0; kill < 200; ++kill) {
    pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      for (;;) {
        run.services().scores.write(file, kB);
        run.services().scores.write(file, kA);
      }
    }
    usleep(gen() % 20000);
    ::kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    Bytes now = readBytes(file);
    ASSERT_TRUE(now == bytesOf(kA, kTail) || now == bytesOf(kB, kTail))
        << "kill " << kill << " left " << now.size() << " bytes";
  }
  // Kills that fell between the temporary file and the rename leave it behind.
  EXPECT_GT(namesIn(run.dir()).size(), 1u) << "no kill landed inside a write";
}

// Two copies of the program at once, each with progress of its own: no
// reader ever sees a torn file, and neither copy's clears or best are lost.
TEST(ScoreWritesTogether, TwoProgramsWritingInOneFolderKeepEachOthersProgress) {
  const ScoreRecord mine[2] = {kA, {0, -1, 0, 0, 0, -1, 9000, 6100}};
  const ScoreRecord both = mergedRecord(mine[0], mine[1]);
  HeadlessRun run({.scores = bytesOf(ScoreRecord{}, kTail)});  // each writer has its own copy of the run
  const std::string file = run.file("Qspe.dat");
  pid_t writers[2];
  for (int w = 0; w < 2; ++w) {
    writers[w] = fork();
    ASSERT_GE(writers[w], 0);
    if (writers[w] == 0) {
      int failed = 0;
      for (int i = 0; i < 150; ++i) failed += !run.services().scores.write(file, mine[w]);
      _exit(failed ? 1 : 0);
    }
  }
  int running = 2;
  int looks = 0;
  while (running > 0) {
    Bytes now = readBytes(file);
    ++looks;
    ASSERT_EQ(now.size(), 20 + kTail.size()) << "a reader saw a torn file";
    ASSERT_EQ(mergedRecord(both, ScoreRecord::fromBytes(now.data(), 20)), both) << "a reader saw a foreign record";
    for (pid_t& pid : writers) {
      int status = 0;
      if (pid > 0 && waitpid(pid, &status, WNOHANG) == pid) {
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "a write failed";
        pid = 0;
        --running;
      }
    }
  }
  EXPECT_EQ(readBytes(file), bytesOf(both, kTail));
  EXPECT_EQ(namesIn(run.dir()), std::set<std::string>{"Qspe.dat"});
  EXPECT_GT(looks, 10);
}

// What lies at the path, or at the end of its link, is not a regular file:
// it is never replaced, and the scores go to the data home, said once.
struct NodeCase {
  const char* name;
  mode_t kind;
  bool viaLink;
};

class ScoreFileAtANode : public testing::TestWithParam<NodeCase> {};

TEST_P(ScoreFileAtANode, IsLeftAsItIsAndTheDataHomeKeepsTheScores) {
  const NodeCase& c = GetParam();
  if (c.kind == S_IFCHR && geteuid() != 0) GTEST_SKIP() << "a device node is made as root only";
  TempDir home;
  EnvVar xdg("XDG_DATA_HOME", home.path());
  HeadlessRun run;
  const std::string node = run.file(c.viaLink ? "node" : "Qspe.dat");
  if (c.kind == S_IFIFO) {
    ASSERT_EQ(mkfifo(node.c_str(), 0666), 0);
  }
  if (c.kind == S_IFCHR) {
    ASSERT_EQ(mknod(node.c_str(), S_IFCHR | 0666, makedev(1, 3)), 0);  // a null device of our own
  }
  if (c.kind == S_IFDIR) fs::create_directory(node);
  if (c.kind == S_IFSOCK) {
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un at{};
    at.sun_family = AF_UNIX;
    ASSERT_LT(node.size(), sizeof at.sun_path);
    std::strcpy(at.sun_path, node.c_str());
    ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&at), sizeof at), 0);
    close(fd);
  }
  if (c.viaLink) fs::create_symlink("node", run.file("Qspe.dat"));

  testing::internal::CaptureStderr();
  ScoreRecord r;
  run.services().scores.read(run.file("Qspe.dat"), r);
  EXPECT_TRUE(run.services().scores.write(run.file("Qspe.dat"), kB));
  const std::string err = testing::internal::GetCapturedStderr();

  struct stat st {};
  ASSERT_EQ(lstat(node.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & S_IFMT, c.kind) << "replaced";
  EXPECT_EQ(readBytes(home.path() + "/qspe/Qspe.dat"), bytesOf(kB));
  EXPECT_EQ(lines(err), 1) << err;
}

INSTANTIATE_TEST_SUITE_P(Kinds, ScoreFileAtANode,
                         testing::Values(NodeCase{"Pipe", S_IFIFO, false}, NodeCase{"LinkToAPipe", S_IFIFO, true},
                                         NodeCase{"LinkToADevice", S_IFCHR, true},
                                         NodeCase{"Socket", S_IFSOCK, false},
                                         NodeCase{"LinkToAFolder", S_IFDIR, true}),
                         [](const auto& info) { return std::string(info.param.name); });

// Another user's link in a shared sticky folder (a game folder anyone may
// write) leads where that user chose: it is not followed, whether what it
// names exists or not, as the kernel's own rule has it.
TEST(ScoreFileLink, AnotherUsersLinkInASharedFolderIsNotFollowed) {
  if (geteuid() != 0) GTEST_SKIP() << "a link of another user's is made as root only";
  TempDir home;
  EnvVar xdg("XDG_DATA_HOME", home.path());
  for (bool exists : {true, false}) {
    HeadlessRun run;
    const std::string victim = home.file("mine.conf");
    fs::remove(victim);
    if (exists) writeBytes(victim, kTail);
    ASSERT_EQ(chmod(run.dir().c_str(), 01777), 0);
    fs::create_symlink(victim, run.file("Qspe.dat"));
    ASSERT_EQ(lchown(run.file("Qspe.dat").c_str(), 4321, 4321), 0);

    testing::internal::CaptureStderr();
    ScoreRecord r;
    run.services().scores.read(run.file("Qspe.dat"), r);
    run.services().scores.write(run.file("Qspe.dat"), kB);
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(fs::exists(victim), exists);
    EXPECT_EQ(exists ? readBytes(victim) : Bytes{}, exists ? kTail : Bytes{});
    EXPECT_EQ(readBytes(home.path() + "/qspe/Qspe.dat"), bytesOf(kB));
  }
}

}  // namespace
}  // namespace qs::test
