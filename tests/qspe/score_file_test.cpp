#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <random>

#include "qspe/score_file.h"
#include "support/env_var.h"
#include "support/headless_run.h"

namespace qs::test {
namespace {

// clearQB -1, clearQBL 1, clearQBF 0, clearQRB -32768, clearQS 0x1234,
// clearQF -1, hiScoreQF 10000, hiScoreSam -2.
const Bytes kKnown = {0xff, 0xff, 0x01, 0x00, 0x00, 0x00, 0x00, 0x80, 0x34, 0x12,
                      0xff, 0xff, 0x10, 0x27, 0x00, 0x00, 0xfe, 0xff, 0xff, 0xff};

TEST(ScoreRecordLayout, KnownBytesGiveKnownFieldsAndBack) {
  ScoreRecord r = ScoreRecord::fromBytes(kKnown.data(), kKnown.size());
  EXPECT_EQ(r.clearQB, -1);
  EXPECT_EQ(r.clearQBL, 1);
  EXPECT_EQ(r.clearQBF, 0);
  EXPECT_EQ(r.clearQRB, -32768);
  EXPECT_EQ(r.clearQS, 0x1234);
  EXPECT_EQ(r.clearQF, -1);
  EXPECT_EQ(r.hiScoreQF, 10000);
  EXPECT_EQ(r.hiScoreSam, -2);
  EXPECT_EQ(bytesOf(r.toBytes()), kKnown);
}

TEST(ScoreFile, ARecordWrittenIsReadBackWithTheSameTwentyBytes) {
  HeadlessRun run;
  ScoreRecord out{-1, 0, -1, 0, 7, -1, 123456, -99};
  run.services().scores.write(run.file("Qspe.dat"), out);
  const Bytes onDisk = readBytes(run.file("Qspe.dat"));
  EXPECT_EQ(onDisk, bytesOf(out.toBytes()));
  ScoreRecord in;
  run.services().scores.read(run.file("Qspe.dat"), in);
  EXPECT_EQ(in, out);
  EXPECT_TRUE(run.trace().inOrder({"0 write Qspe.dat " + hexOf(onDisk), "0 read Qspe.dat " + hexOf(onDisk)}));
}

TEST(ScoreFile, AMissingFileIsCreatedEmptyAndReadsAsZeros) {
  HeadlessRun run;
  ScoreRecord r{-1, -1, -1, -1, -1, -1, 5, 5};  // a stale copy is overwritten
  run.services().scores.read(run.file("Qspe.dat"), r);
  EXPECT_EQ(r, ScoreRecord{});
  EXPECT_EQ(std::filesystem::file_size(run.file("Qspe.dat")), 0u);
  EXPECT_TRUE(run.trace().has("0 read Qspe.dat "));
}

TEST(ScoreFile, FilesOfEveryLengthUpToFortyBytesReadWithoutFailure) {
  std::mt19937 gen(20000);
  for (std::size_t n = 0; n <= 40; ++n) {
    Bytes content(n);
    for (auto& b : content) b = static_cast<std::uint8_t>(gen());
    HeadlessRun run({.scores = content});
    ScoreRecord r;
    run.services().scores.read(run.file("Qspe.dat"), r);
    Bytes first(content.begin(), content.begin() + static_cast<long>(std::min<std::size_t>(n, 20)));
    Bytes padded = first;
    padded.resize(20, 0);
    EXPECT_EQ(bytesOf(r.toBytes()), padded) << "length " << n;
    EXPECT_TRUE(run.trace().has("0 read Qspe.dat " + hexOf(first))) << "length " << n;
    EXPECT_EQ(readBytes(run.file("Qspe.dat")), content) << "reading changed the file, length " << n;
  }
}

TEST(ScoreFile, SomethingOtherThanAFileAtThePathReadsAsZeros) {
  TempDir home;
  EnvVar xdg("XDG_DATA_HOME", home.path());
  HeadlessRun run;
  ScoreRecord r{-1};
  std::filesystem::create_directory(run.file("Qspe.dat"));
  run.services().scores.read(run.file("Qspe.dat"), r);
  EXPECT_EQ(r, ScoreRecord{});
  ASSERT_EQ(mkfifo(run.file("fifo").c_str(), 0644), 0);
  r.clearQB = -1;
  run.services().scores.read(run.file("fifo"), r);  // must not wait for a writer
  EXPECT_EQ(r, ScoreRecord{});
}

// Without a home folder (HOME unset or not absolute) the scores are never
// kept in a folder relative to wherever the game was started.
TEST(ScoreFile, TheDataHomeIsNeverAFolderRelativeToWhereTheGameStarted) {
  EnvVar xdg("XDG_DATA_HOME", std::nullopt);
  for (const auto& home : {std::optional<std::string>{}, std::optional<std::string>{"relative"}}) {
    EnvVar h("HOME", home);
    const std::string dir = scoreFallbackDir();
    EXPECT_TRUE(dir.empty() || dir[0] == '/') << dir;
  }
}

// A program directory that cannot be written, and no data home either: the
// game goes on with zeros, the player is told nothing and standard error
// holds one line (a data home that can be written: see score_writes_test).
TEST(ScoreFile, WithNowhereToKeepTheFileTheGameGoesOnWithZeros) {
  TempDir place;
  writeBytes(place.file("plain"), {1});
  EnvVar xdg("XDG_DATA_HOME", place.file("plain") + "/data");
  HeadlessRun run({.dir = place.file("plain") + "/sub"});  // under a regular file: never a directory
  testing::internal::CaptureStderr();
  ScoreRecord r{-1};
  run.services().scores.read(run.file("Qspe.dat"), r);
  run.services().scores.write(run.file("Qspe.dat"), ScoreRecord{-1, 0, 0, 0, 0, 0, 0, 7000});
  run.services().scores.read(run.file("Qspe.dat"), r);
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(r, ScoreRecord{});
  EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
  EXPECT_NE(err.find("will not be kept"), std::string::npos) << err;
}


// An installed program names the data home itself: its folders are made at
// the first read, without a word; one that cannot be made is said once and
// nothing is kept, with no further place to try.
TEST(ScoreFile, TheDataHomeOfAnInstalledProgramIsMadeAsNeeded) {
  for (bool canMake : {true, false}) {
    SCOPED_TRACE(canMake);
    TempDir place;
    writeBytes(place.file("plain"), {1});
    EnvVar xdg("XDG_DATA_HOME", canMake ? place.file("deep/data") : place.file("plain") + "/data");
    HeadlessRun run;
    const std::string file = scoreFallbackDir() + "/Qspe.dat";
    const ScoreRecord won{0, 0, 0, 0, 0, -1, 12345, 0};
    testing::internal::CaptureStderr();
    ScoreRecord r;
    run.services().scores.read(file, r);
    std::error_code ignored;
    EXPECT_EQ(std::filesystem::is_regular_file(file, ignored), canMake) << "made at the first read";
    run.services().scores.write(file, won);
    run.services().scores.read(file, r);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(r, canMake ? won : ScoreRecord{});
    EXPECT_EQ(err.empty(), canMake) << err;
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), canMake ? 0 : 1) << err;
  }
}

}  // namespace
}  // namespace qs::test
