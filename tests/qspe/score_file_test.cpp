// The score record: its 20 bytes, how two copies' records merge, and reads
// of whatever lies at the path, or nowhere to keep it.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "qspe/score_file.h"
#include "support/env_var.h"
#include "support/headless_run.h"

namespace qs::test {
namespace {

// Little-endian, two bytes a flag and four a best score.
TEST(ScoreRecord, KnownBytesGiveKnownFieldsAndBack) {
  const Bytes known = {0xff, 0xff, 0x01, 0x00, 0x00, 0x00, 0x00, 0x80, 0x34, 0x12,
                       0xff, 0xff, 0x10, 0x27, 0x00, 0x00, 0xfe, 0xff, 0xff, 0xff};
  const ScoreRecord fields{-1, 1, 0, -32768, 0x1234, -1, 10000, -2};
  EXPECT_EQ(ScoreRecord::fromBytes(known.data(), known.size()), fields);
  EXPECT_EQ(bytesOf(fields.toBytes()), known);
  EXPECT_EQ(bytesOf(ScoreRecord{0, 0, 0, 0, 0, 0, 0, 0x01020304}.toBytes()).back(), 0x01);
}

// A flag set (-1) by either copy stays set; a best score keeps the larger.
TEST(ScoreRecord, AMergeKeepsEveryClearAndTheBetterBests) {
  const std::array<std::array<ScoreRecord, 3>, 4> cases{{
      {ScoreRecord{}, ScoreRecord{-1, 0, 0, 0, 0, -1, 5, 7}, ScoreRecord{-1, 0, 0, 0, 0, -1, 5, 7}},
      {ScoreRecord{0, 0, -1, 0, 0, 0, 100, 50}, ScoreRecord{0, 1, 0, 0, -1, 0, 90, 60},
       ScoreRecord{0, 0, -1, 0, -1, 0, 100, 60}},
      {ScoreRecord{0, -1, 0, -1, 0, 0, 0, -5}, ScoreRecord{0, 0, 0, 0, 0, 0, 0, -9}, ScoreRecord{0, -1, 0, -1, 0, 0, 0, -5}},
      {ScoreRecord{-1, 0, 0, 0, 0, 0, 3, 3}, ScoreRecord{-1, 0, 0, 0, 0, 0, 3, 3}, ScoreRecord{-1, 0, 0, 0, 0, 0, 3, 3}},
  }};
  for (const auto& [mine, kept, merged] : cases) EXPECT_EQ(mergedRecord(mine, kept), merged);
}

// Short files read padded with zeros, longer ones by their first 20 bytes;
// reading never changes the file. A missing file is made empty.
TEST(ScoreFile, AFileOfAnyLengthReadsByItsFirstTwentyBytes) {
  for (std::size_t n : {0, 1, 13, 19, 20, 21, 40}) {
    Bytes content(n);
    for (std::size_t i = 0; i < n; ++i) content[i] = static_cast<std::uint8_t>(0x91 + 7 * i);
    HeadlessRun run({.scores = content});
    ScoreRecord r{-1, -1, -1, -1, -1, -1, 5, 5};
    run.services().scores.read(run.file("Qspe.dat"), r);
    Bytes first(content.begin(), content.begin() + static_cast<long>(std::min<std::size_t>(n, 20))), padded = first;
    padded.resize(20, 0);
    EXPECT_EQ(bytesOf(r.toBytes()), padded) << n;
    EXPECT_TRUE(run.trace().has("0 read Qspe.dat " + hexOf(first))) << n;
    EXPECT_EQ(readBytes(run.file("Qspe.dat")), content) << n;
  }
  HeadlessRun run;
  ScoreRecord r{-1};
  run.services().scores.read(run.file("Qspe.dat"), r);
  EXPECT_EQ(r, ScoreRecord{});
  EXPECT_EQ(std::filesystem::file_size(run.file("Qspe.dat")), 0u);
}

TEST(ScoreFile, AWrittenRecordReadsBackAndAFolderOrPipeReadsAsZeros) {
  TempDir home;
  EnvVar xdg("XDG_DATA_HOME", home.path());
  HeadlessRun run;
  const ScoreRecord out{-1, 0, -1, 0, 7, -1, 123456, -99};
  ASSERT_TRUE(run.services().scores.write(run.file("Qspe.dat"), out));
  ScoreRecord in;
  run.services().scores.read(run.file("Qspe.dat"), in);
  EXPECT_EQ(in, out);
  std::filesystem::create_directory(run.file("dir"));
  ASSERT_EQ(mkfifo(run.file("fifo").c_str(), 0644), 0);
  for (const char* odd : {"dir", "fifo"}) {  // a pipe must not wait for a writer
    ScoreRecord r{-1};
    run.services().scores.read(run.file(odd), r);
    EXPECT_EQ(r, ScoreRecord{}) << odd;
  }
}

// Where nothing can be kept (a data home that cannot be made, under a plain
// file), the game goes on with zeros and standard error says so once; an
// installed program's data home is made at its first read. Without a home
// folder the data home is never relative to where the game started.
TEST(ScoreFile, TheDataHomeIsMadeAsNeededAndWithoutOneNothingIsKept) {
  for (bool installed : {true, false})
    for (bool canMake : {true, false}) {
      if (!installed && canMake) continue;  // a program folder that cannot be written, with a data home: see the writes
      SCOPED_TRACE(testing::Message() << installed << canMake);
      TempDir place;
      writeBytes(place.file("plain"), {1});
      EnvVar xdg("XDG_DATA_HOME", canMake ? place.file("deep/data") : place.file("plain") + "/data");
      HeadlessRun run(installed ? HeadlessRun::Setup{} : HeadlessRun::Setup{.dir = place.file("plain") + "/sub"});
      const std::string file = installed ? scoreFallbackDir() + "/Qspe.dat" : run.file("Qspe.dat");
      testing::internal::CaptureStderr();
      ScoreRecord r;
      run.services().scores.read(file, r);
      std::error_code ignored;
      EXPECT_EQ(std::filesystem::is_regular_file(file, ignored), canMake) << "made at the first read";
      const ScoreRecord won{0, 0, 0, 0, 0, -1, 12345, 0};
      run.services().scores.write(file, won);
      run.services().scores.read(file, r);
      const std::string err = testing::internal::GetCapturedStderr();
      EXPECT_EQ(r, canMake ? won : ScoreRecord{});
      EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), canMake ? 0 : 1) << err;
    }
  EnvVar xdg("XDG_DATA_HOME", std::nullopt);
  for (const auto& home : {std::optional<std::string>{}, std::optional<std::string>{"relative"}}) {
    EnvVar h("HOME", home);
    EXPECT_TRUE(scoreFallbackDir().empty() || scoreFallbackDir()[0] == '/') << scoreFallbackDir();
  }
}

}  // namespace
}  // namespace qs::test
