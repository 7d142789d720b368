#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <random>

#include "qspe/score_file.h"
#include "support/scene_harness.h"
#include "support/temp_dir.h"

namespace qs::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

std::string hexOf(const Bytes& b) {
  static const char* d = "0123456789abcdef";
  std::string s;
  for (auto v : b) {
    s += d[v >> 4];
    s += d[v & 15];
  }
  return s;
}

// Sets an environment variable for the life of the object.
class EnvVar {
 public:
  EnvVar(const char* name, const std::string& value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    setenv(name, value.c_str(), 1);
  }
  ~EnvVar() {
    if (old_) setenv(name_, old_->c_str(), 1);
    else unsetenv(name_);
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

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
  auto back = r.toBytes();
  EXPECT_EQ(Bytes(back.begin(), back.end()), kKnown);
}

TEST(ScoreRecordLayout, OnlyMinusOneCountsAsCleared) {
  EXPECT_TRUE(isSet(-1));
  for (std::int16_t v : {0, 1, 2, -2, 255, 0x7fff, -32768}) EXPECT_FALSE(isSet(v)) << v;
  // A flag stored as 01 00 is not a clear; ff ff is.
  Bytes b(20, 0);
  b[0] = 0x01;
  b[2] = 0xff;
  b[3] = 0xff;
  auto flags = ScoreRecord::fromBytes(b.data(), b.size()).clearFlags();
  EXPECT_FALSE(isSet(flags[0]));
  EXPECT_TRUE(isSet(flags[1]));
}

TEST(ScoreFile, ARecordWrittenIsReadBackWithTheSameTwentyBytes) {
  TempDir dir;
  HeadlessRun run({.dir = dir.path()});
  ScoreRecord out{-1, 0, -1, 0, 7, -1, 123456, -99};
  run.services().scores.write(dir.file("Qspe.dat"), out);
  Bytes onDisk = readBytes(dir.file("Qspe.dat"));
  ASSERT_EQ(onDisk.size(), 20u);
  auto expected = out.toBytes();
  EXPECT_EQ(onDisk, Bytes(expected.begin(), expected.end()));

  ScoreRecord in;
  run.services().scores.read(dir.file("Qspe.dat"), in);
  EXPECT_EQ(in, out);
  std::string h = hexOf(onDisk);
  EXPECT_TRUE(run.has("0 write Qspe.dat " + h)) << run.dump();
  EXPECT_TRUE(run.has("0 read Qspe.dat " + h)) << run.dump();
}

TEST(ScoreFile, AMissingFileIsCreatedEmptyAndReadsAsZeros) {
  TempDir dir;
  HeadlessRun run({.dir = dir.path()});
  ScoreRecord r{-1, -1, -1, -1, -1, -1, 5, 5};  // a stale copy is overwritten
  run.services().scores.read(dir.file("Qspe.dat"), r);
  EXPECT_EQ(r, ScoreRecord{});
  EXPECT_TRUE(std::filesystem::exists(dir.file("Qspe.dat")));
  EXPECT_EQ(std::filesystem::file_size(dir.file("Qspe.dat")), 0u);
  EXPECT_TRUE(run.has("0 read Qspe.dat ")) << run.dump();
}

TEST(ScoreFile, FilesOfEveryLengthUpToFortyBytesReadWithoutFailure) {
  std::mt19937 gen(20000);
  for (std::size_t n = 0; n <= 40; ++n) {
    TempDir dir;
    Bytes content(n);
    for (auto& b : content) b = static_cast<std::uint8_t>(gen());
    writeBytes(dir.file("Qspe.dat"), content);
    HeadlessRun run({.dir = dir.path()});
    ScoreRecord r;
    run.services().scores.read(dir.file("Qspe.dat"), r);

    Bytes first(content.begin(), content.begin() + static_cast<long>(std::min<std::size_t>(n, 20)));
    Bytes padded = first;
    padded.resize(20, 0);
    auto got = r.toBytes();
    EXPECT_EQ(Bytes(got.begin(), got.end()), padded) << "length " << n;
    EXPECT_TRUE(run.has("0 read Qspe.dat " + hexOf(first))) << "length " << n << "\n" << run.dump();
    EXPECT_EQ(readBytes(dir.file("Qspe.dat")), content) << "reading changed the file, length " << n;
  }
}

TEST(ScoreFile, SomethingOtherThanAFileAtThePathReadsAsZeros) {
  TempDir dir;
  HeadlessRun run({.dir = dir.path()});
  ScoreRecord r{-1};
  std::filesystem::create_directory(dir.file("Qspe.dat"));
  run.services().scores.read(dir.file("Qspe.dat"), r);
  EXPECT_EQ(r, ScoreRecord{});

  TempDir other;
  HeadlessRun run2({.dir = other.path()});
  ASSERT_EQ(mkfifo(other.file("Qspe.dat").c_str(), 0644), 0);
  r.clearQB = -1;
  run2.services().scores.read(other.file("Qspe.dat"), r);  // must not wait for a writer
  EXPECT_EQ(r, ScoreRecord{});
}

TEST(ScoreFile, AProgramDirectoryThatCannotBeWrittenSendsTheFileToTheDataHome) {
  TempDir home;
  TempDir place;
  writeBytes(place.file("plain"), {1});
  std::string programDir = place.file("plain") + "/sub";  // under a regular file: never a directory
  EnvVar xdg("XDG_DATA_HOME", home.path());
  HeadlessRun run({.dir = programDir});
  std::string scoreFile = programDir + "/Qspe.dat";

  testing::internal::CaptureStderr();
  ScoreRecord r;
  run.services().scores.read(scoreFile, r);
  ScoreRecord won{-1, 0, 0, 0, 0, 0, 0, 7000};
  run.services().scores.write(scoreFile, won);
  run.services().scores.read(scoreFile, r);
  std::string err = testing::internal::GetCapturedStderr();

  std::string kept = home.path() + "/qspe/Qspe.dat";
  auto expected = won.toBytes();
  EXPECT_EQ(readBytes(kept), Bytes(expected.begin(), expected.end()));
  EXPECT_EQ(r, won);
  EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
  EXPECT_NE(err.find(home.path() + "/qspe"), std::string::npos) << err;
  // The trace names the file, not where it is kept.
  EXPECT_TRUE(run.has("0 write Qspe.dat " + hexOf(Bytes(expected.begin(), expected.end())))) << run.dump();
}

TEST(ScoreFile, WithNowhereToWriteTheGameGoesOnWithZerosAndOneNotice) {
  TempDir place;
  writeBytes(place.file("plain"), {1});
  EnvVar xdg("XDG_DATA_HOME", place.file("plain") + "/data");
  std::string programDir = place.file("plain") + "/sub";
  HeadlessRun run({.dir = programDir});

  testing::internal::CaptureStderr();
  ScoreRecord r{-1};
  run.services().scores.read(programDir + "/Qspe.dat", r);
  run.services().scores.write(programDir + "/Qspe.dat", ScoreRecord{-1});
  run.services().scores.read(programDir + "/Qspe.dat", r);
  std::string err = testing::internal::GetCapturedStderr();

  EXPECT_EQ(r, ScoreRecord{});
  EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
  EXPECT_NE(err.find("will not be kept"), std::string::npos) << err;
}

}  // namespace
}  // namespace qs::test
