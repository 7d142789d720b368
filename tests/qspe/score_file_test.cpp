// The score record and its file: the record's 20 bytes and how two copies'
// records merge; reads of whatever lies at the path; writes with a failing
// step, through links, onto what is not a regular file, in a folder that
// cannot be written, beside stale temporary files, killed at any moment and
// two at once; and where nothing can be kept.
#include "qspe/score_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <random>
#include <set>
#include <utility>

#include "host/file_ops.h"
#include "support/env_var.h"
#include "support/headless_run.h"

namespace qs::test {
namespace {

namespace fs = std::filesystem;

const ScoreRecord kA{-1, 0, -1, 0, 0, 0, 12000, 0};
const ScoreRecord kB{-1, -1, -1, -1, -1, 0, 31000, 6100};
const Bytes kTail = {'n', 'o', 't', 'e', 's', '\n', 0};

Bytes bytesOf(const ScoreRecord& r, const Bytes& tail = {}) {
  Bytes out = qs::test::bytesOf(r.toBytes());
  return out.insert(out.end(), tail.begin(), tail.end()), out;
}
mode_t modeOf(const std::string& path) {  // its kind and permissions, 0 if missing
  struct stat st {};
  return lstat(path.c_str(), &st) == 0 ? st.st_mode : 0;
}
std::set<std::string> namesIn(const std::string& dir) {
  std::set<std::string> names;
  for (auto& e : fs::directory_iterator(dir)) names.insert(e.path().filename().string());
  return names;
}

// A run with a data home of its own, and what standard error says counted
// in lines.
struct Kept {
  TempDir home;
  EnvVar xdg{"XDG_DATA_HOME", home.path()};
  HeadlessRun run;
  explicit Kept(HeadlessRun::Setup setup = {}) : run(std::move(setup)) { testing::internal::CaptureStderr(); }
  ~Kept() { said(); }
  std::string said() { return std::exchange(capturing_, false) ? testing::internal::GetCapturedStderr() : ""; }
  long saidLines() { return std::ranges::count(said(), '\n'); }
  Bytes keptAtHome() const { return readBytes(home.file("qspe/Qspe.dat")); }
  bool capturing_ = true;
};

// The file layer with one step failing after `skip` calls; only opens that
// may write, of paths under `under`, count as opens.
enum class Step { None, Open, Write, Sync, Close, Rename };
struct FailingOps : FileOps {
  Step step = Step::None;
  int error = EIO, skip = 0, calls = 0;
  std::string under;
  int open(const std::string& path, int flags, mode_t mode) override {
    const bool writing = flags & (O_WRONLY | O_RDWR | O_CREAT);
    return writing && path.starts_with(under) && fails(Step::Open) ? -1 : FileOps::open(path, flags, mode);
  }
  ssize_t write(int fd, const void* d, size_t n) override { return fails(Step::Write) ? -1 : FileOps::write(fd, d, n); }
  int fsync(int fd) override { return fails(Step::Sync) ? -1 : FileOps::fsync(fd); }
  int rename(const std::string& a, const std::string& b) override {
    return fails(Step::Rename) ? -1 : FileOps::rename(a, b);
  }
  int close(int fd) override {
    const int result = FileOps::close(fd);  // the descriptor is gone even when close reports an error
    return fails(Step::Close) ? -1 : result;
  }
  bool fails(Step s) { return step == s && ++calls > skip && (errno = error, true); }
};

// Little-endian, two bytes a flag and four a best score.
TEST(ScoreRecord, KnownBytesGiveKnownFieldsAndBack) {
  const Bytes known = {0xff, 0xff, 0x01, 0x00, 0x00, 0x00, 0x00, 0x80, 0x34, 0x12,
                       0xff, 0xff, 0x10, 0x27, 0x00, 0x00, 0x04, 0x03, 0x02, 0x01};
  const ScoreRecord fields{-1, 1, 0, -32768, 0x1234, -1, 10000, 0x01020304};
  EXPECT_EQ(ScoreRecord::fromBytes(known.data(), known.size()), fields);
  EXPECT_EQ(bytesOf(fields), known);
}

// A flag set (-1 alone) by either copy stays set; a best keeps the larger.
TEST(ScoreRecord, AMergeKeepsEveryClearAndTheBetterBests) {
  const ScoreRecord cases[][3] = {
      {{}, {-1, 0, 0, 0, 0, -1, 5, 7}, {-1, 0, 0, 0, 0, -1, 5, 7}},
      {{0, 0, -1, 0, 0, 0, 100, 50}, {0, 1, 0, 0, -1, 0, 90, 60}, {0, 0, -1, 0, -1, 0, 100, 60}},
      {{0, -1, 0, -1, 0, 0, 0, -5}, {0, 0, 0, 0, 0, 1, 0, -9}, {0, -1, 0, -1, 0, 0, 0, -5}}};
  for (const auto& [mine, kept, merged] : cases) EXPECT_EQ(mergedRecord(mine, kept), merged);
}

// Where nothing can be kept (a data home under a plain file) the game goes on
// with zeros, said once; an installed program's data home is made at its
// first read. Without a home folder the data home is never relative.
TEST(ScoreFile, TheDataHomeIsMadeAsNeededAndWithoutOneNothingIsKept) {
  for (auto [installed, canMake] : {std::pair{true, true}, std::pair{true, false}, std::pair{false, false}}) {
    SCOPED_TRACE(testing::Message() << installed << canMake);
    TempDir place;
    writeBytes(place.file("plain"), {1});
    Kept k(installed ? HeadlessRun::Setup{} : HeadlessRun::Setup{.dir = place.file("plain") + "/sub"});
    EnvVar xdg("XDG_DATA_HOME", canMake ? place.file("deep/data") : place.file("plain") + "/data");
    const std::string file = installed ? scoreFallbackDir() + "/Qspe.dat" : k.run.file("Qspe.dat");
    ScoreRecord r;
    k.run.services().scores.read(file, r);
    EXPECT_EQ(fs::is_regular_file(file), canMake) << "made at the first read";
    k.run.services().scores.write(file, kB);
    k.run.services().scores.read(file, r);
    EXPECT_EQ(std::pair(r, k.saidLines()), std::pair(canMake ? kB : ScoreRecord{}, canMake ? 0L : 1L));
  }
  EnvVar xdg("XDG_DATA_HOME", std::nullopt);
  for (const auto& home : {std::optional<std::string>{}, std::optional<std::string>{"relative"}}) {
    EnvVar h("HOME", home);
    EXPECT_TRUE(scoreFallbackDir().empty() || scoreFallbackDir()[0] == '/') << scoreFallbackDir();
  }
}

// More than a copy buffer follows the record.
TEST(ScoreWrites, AFailingStepLeavesTheOldFileWholeIsSaidOnceAndTheNextWriteGoesThrough) {
  std::mt19937 gen(5);
  Bytes tail(70000);
  for (auto& b : tail) b = static_cast<std::uint8_t>(gen());
  // clang-format off
  const std::tuple<Step, int, int> cases[] = {{Step::Open, EIO, 0}, {Step::Write, ENOSPC, 0}, {Step::Write, ENOSPC, 1},
                                              {Step::Sync, EIO, 0}, {Step::Close, EIO, 0}, {Step::Rename, EIO, 0}};
  // clang-format on
  for (auto [step, error, skip] : cases) {
    SCOPED_TRACE(testing::Message() << static_cast<int>(step) << " after " << skip);
    Kept k({.scores = bytesOf(kA, tail)});
    const std::string file = k.run.file("Qspe.dat");
    FailingOps ops;
    ScoreStore store(k.run.rt(), "Qspe", ops);
    ScoreRecord r;
    store.read(file, r);  // where the file is kept is settled before anything fails
    ops.step = step, ops.error = error, ops.skip = skip;
    EXPECT_FALSE(store.write(file, kB) || store.write(file, kB));
    EXPECT_EQ(readBytes(file), bytesOf(kA, tail));
    EXPECT_EQ(namesIn(k.run.dir()), std::set<std::string>{"Qspe.dat"}) << "a temporary file was left";
    ops.step = Step::None;
    EXPECT_TRUE(store.write(file, kB) && readBytes(file) == bytesOf(kB, tail));
    const std::string err = k.said();
    EXPECT_TRUE(std::ranges::count(err, '\n') == 1 && err.find(std::strerror(error)) != std::string::npos) << err;
  }
}

// Links at prog/Qspe.dat ('@' the top folder) are written through and stay
// links; the file at their end keeps its mode and what follows the record. A
// link to nothing reads as zeros, makes nothing, and a write makes the file
// at its end with the usual mode under the umask.
TEST(ScoreWrites, LinksAreWrittenThroughAndStayLinks) {
  using Links = std::vector<std::pair<std::string, std::string>>;
  // clang-format off
  const std::pair<Links, std::string> cases[] = {
      {{{"prog/Qspe.dat", "scores.bin"}}, "prog/scores.bin"}, {{{"prog/Qspe.dat", "@/keep/Qspe.dat"}}, "keep/Qspe.dat"},
      {{{"prog/Qspe.dat", "../keep/link"}, {"keep/link", "@/keep/real.dat"}}, "keep/real.dat"},
      {{{"prog/Qspe.dat", "../keep/none.dat"}}, ""}};
  // clang-format on
  for (const auto& [links, file] : cases) {
    SCOPED_TRACE(links.front().second);
    TempDir top;
    fs::create_directories(top.file("keep")), fs::create_directory(top.file("prog"));
    const std::string target = top.file(file.empty() ? "keep/none.dat" : file), score = top.file("prog/Qspe.dat");
    if (!file.empty()) writeBytes(target, bytesOf(kA, kTail)), chmod(target.c_str(), 0600);
    auto text = [&](std::string t) { return t[0] == '@' ? top.path() + t.substr(1) : t; };
    for (auto& [link, to] : links) fs::create_symlink(text(to), top.file(link));
    HeadlessRun run({.dir = top.file("prog")});
    ScoreRecord r = kB;
    run.services().scores.read(score, r);
    EXPECT_EQ(std::pair(r, fs::exists(target)), std::pair(file.empty() ? ScoreRecord{} : kA, !file.empty()));
    const mode_t mask = umask(027);
    EXPECT_TRUE(run.services().scores.write(score, kB));
    umask(mask);
    for (auto& [link, to] : links) EXPECT_EQ(fs::read_symlink(top.file(link)).string(), text(to)) << link;
    EXPECT_EQ(std::pair(readBytes(target), modeOf(target)),
              std::pair(bytesOf(kB, file.empty() ? Bytes{} : kTail), S_IFREG | (file.empty() ? 0640u : 0600u)));
  }
}

// What cannot be written at the path is left as it is, the scores going to
// the data home, said once: a read-only program folder or file, whose record
// is carried there and comes back once the folder can be written again; and,
// reading as zeros, a pipe (never waited for), device or folder at the path
// or at its link's end, or another user's link in a shared sticky folder
// (never followed, whether what it names exists or not).
TEST(ScoreWrites, WhatCannotBeWrittenIsLeftAndTheDataHomeKeepsTheScores) {
  // clang-format off
  const std::tuple<const char*, mode_t, bool> cases[] = {
      {".", 0, false}, {"Qspe.dat", 0, false}, {"", S_IFIFO, false}, {"", S_IFIFO, true}, {"", S_IFDIR, false},
      {"", S_IFDIR, true}, {"", S_IFCHR, true}, {"", S_IFLNK, true}, {"", S_IFLNK, false}};
  // clang-format on
  for (auto [readOnly, kind, viaLink] : cases) {
    SCOPED_TRACE(testing::Message() << readOnly << std::oct << kind << viaLink);
    if ((kind == S_IFCHR || kind == S_IFLNK) && geteuid() != 0) continue;  // made as root only
    Kept k({.scores = kind ? std::nullopt : std::optional(bytesOf(kA, kTail))});
    const std::string file = k.run.file("Qspe.dat");
    const std::string node = kind == S_IFLNK ? k.home.file("mine.conf") : k.run.file(viaLink ? "node" : "Qspe.dat");
    if (kind == S_IFLNK) {
      if (viaLink) writeBytes(node, kTail);  // the other user's link names a file that exists
      ASSERT_EQ(chmod(k.run.dir().c_str(), 01777), 0);
    } else if (kind) {
      ASSERT_EQ(kind == S_IFDIR ? mkdir(node.c_str(), 0755) : mknod(node.c_str(), kind | 0666, makedev(1, 3)), 0);
    }
    if (viaLink || kind == S_IFLNK) fs::create_symlink(node, file);
    ASSERT_TRUE(kind != S_IFLNK || lchown(file.c_str(), 4321, 4321) == 0);
    FailingOps ops;
    if (*readOnly) ops.step = Step::Open, ops.error = EROFS, ops.under = k.run.file(readOnly);
    ScoreStore store(k.run.rt(), "Qspe", ops);
    ScoreRecord r = kB, second = kB;
    store.read(file, r), store.read(file, second);
    EXPECT_EQ(std::pair(r, second), std::pair(kind ? ScoreRecord{} : kA, kind ? ScoreRecord{} : kA));
    EXPECT_TRUE(kind || !fs::exists(k.home.file("qspe/Qspe.dat"))) << "carried, not kept, until the first write";
    EXPECT_TRUE(store.write(file, kB));
    store.read(file, r);
    EXPECT_EQ(std::tuple(r, k.keptAtHome(), k.saidLines()), std::tuple(kB, bytesOf(kB, kind ? Bytes{} : kTail), 1L));
    if (kind == S_IFLNK) EXPECT_TRUE(readBytes(node) == (viaLink ? kTail : Bytes{}) && fs::exists(node) == viaLink);
    else EXPECT_TRUE(kind ? (modeOf(node) & S_IFMT) == kind : readBytes(file) == bytesOf(kA, kTail)) << "replaced";
    if (kind) continue;
    ops.step = Step::None;
    ScoreStore later(k.run.rt(), "Qspe", ops);
    later.read(file, r);
    EXPECT_TRUE(r == kB && later.write(file, r) && readBytes(file) == bytesOf(kB, kTail));
  }
}

// Temporary files are made under names of their own, never through a link;
// those a crash left minutes ago go, another writer's fresh one and what is
// not ours stay.
TEST(ScoreWrites, TemporaryFilesAreOursAloneAndStaleOnesGo) {
  HeadlessRun run;
  const TempDir other;
  writeBytes(other.file("victim"), {1, 2, 3});
  fs::create_symlink(other.file("victim"), run.file("Qspe.dat.tmp"));
  fs::create_symlink(other.file("victim"), run.file(".Qspe.dat.Link01"));
  ASSERT_EQ(mkfifo(run.file(".Qspe.dat.Fifo01").c_str(), 0644), 0);
  for (const char* name : {".Qspe.dat.Ab3xYz", ".Qspe.dat.Fresh1", ".Qspe.dat.notours"})
    writeBytes(run.file(name), {9});
  for (const char* name : {".Qspe.dat.Ab3xYz", ".Qspe.dat.Link01", ".Qspe.dat.Fifo01", ".Qspe.dat.notours"}) {
    const timespec times[2] = {{time(nullptr) - 120, 0}, {time(nullptr) - 120, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, run.file(name).c_str(), times, AT_SYMLINK_NOFOLLOW), 0) << name;
  }
  EXPECT_TRUE(run.services().scores.write(run.file("Qspe.dat"), kA) && readBytes(run.file("Qspe.dat")) == bytesOf(kA));
  EXPECT_EQ(readBytes(other.file("victim")), (Bytes{1, 2, 3}));
  EXPECT_EQ(namesIn(run.dir()), (std::set<std::string>{"Qspe.dat", "Qspe.dat.tmp", ".Qspe.dat.Fresh1",
                                                       ".Qspe.dat.Link01", ".Qspe.dat.Fifo01", ".Qspe.dat.notours"}));
}

// Two copies of the program writing at once, both killed at any moment: no
// reader sees a torn file, a kill leaves a whole record, no write fails, and
// neither copy's clears or best are lost.
TEST(ScoreWritesTogether, TwoWritersKilledAtAnyMomentLeaveAWholeFileWithEachOthersProgress) {
  const ScoreRecord mine[2] = {kA, {0, -1, 0, 0, 0, -1, 9000, 6100}};
  const ScoreRecord both{-1, -1, -1, 0, 0, -1, 12000, 6100};
  HeadlessRun run({.scores = bytesOf(ScoreRecord{}, kTail)});
  const std::string file = run.file("Qspe.dat");
  ScoreRecord r;
  run.services().scores.read(file, r);  // where the file is kept is settled once, not by each writer
  auto whole = [&] {
    const Bytes now = readBytes(file);
    return now.size() == 20 + kTail.size() && mergedRecord(both, ScoreRecord::fromBytes(now.data(), 20)) == both;
  };
  std::mt19937 gen(11);
  for (int kill = 0; kill < 100; ++kill) {
    pid_t writers[2];
    for (int w = 0; w < 2; ++w)
      if ((writers[w] = fork()) == 0) {
        // A pause between writes, as a game writes at its unload: a copy
        // writing without one would keep the other out of the folder's lock.
        while (run.services().scores.write(file, mine[w])) usleep(1000);
        _exit(1);
      }
    const auto end = std::chrono::steady_clock::now() + std::chrono::microseconds(gen() % 20000);
    bool seenWhole = true;
    while (seenWhole && std::chrono::steady_clock::now() < end) seenWhole = whole();
    for (pid_t pid : writers) {
      int status = 0;
      ::kill(pid, SIGKILL), waitpid(pid, &status, 0);
      EXPECT_TRUE(WIFSIGNALED(status)) << "a write failed";
    }
    ASSERT_TRUE(seenWhole && whole()) << "kill " << kill << ": " << readBytes(file).size();
  }
  EXPECT_EQ(readBytes(file), bytesOf(both, kTail));
  EXPECT_GT(namesIn(run.dir()).size(), 1u) << "no kill landed between the temporary file and the rename";
}

}  // namespace
}  // namespace qs::test
