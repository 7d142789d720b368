// The score record: its 20 bytes, how two copies' records merge, reads of
// whatever lies at the path, and where nothing can be kept.
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
                       0xff, 0xff, 0x10, 0x27, 0x00, 0x00, 0x04, 0x03, 0x02, 0x01};
  const ScoreRecord fields{-1, 1, 0, -32768, 0x1234, -1, 10000, 0x01020304};
  EXPECT_EQ(ScoreRecord::fromBytes(known.data(), known.size()), fields);
  EXPECT_EQ(bytesOf(fields.toBytes()), known);
}

// A flag set (-1 alone) by either copy stays set; a best keeps the larger.
TEST(ScoreRecord, AMergeKeepsEveryClearAndTheBetterBests) {
  const ScoreRecord cases[][3] = {
      {{}, {-1, 0, 0, 0, 0, -1, 5, 7}, {-1, 0, 0, 0, 0, -1, 5, 7}},
      {{0, 0, -1, 0, 0, 0, 100, 50}, {0, 1, 0, 0, -1, 0, 90, 60}, {0, 0, -1, 0, -1, 0, 100, 60}},
      {{0, -1, 0, -1, 0, 0, 0, -5}, {0, 0, 0, 0, 0, 1, 0, -9}, {0, -1, 0, -1, 0, 0, 0, -5}}};
  for (const auto& [mine, kept, merged] : cases) EXPECT_EQ(mergedRecord(mine, kept), merged);
}

// Short files read padded with zeros, longer ones by their first 20 bytes;
// reading never changes the file. A missing file is made empty.
TEST(ScoreFile, AFileOfAnyLengthReadsByItsFirstTwentyBytes) {
  for (int n : {-1, 0, 1, 19, 20, 21, 40}) {
    Bytes content(static_cast<std::size_t>(std::max(n, 0)));
    for (std::size_t i = 0; i < content.size(); ++i) content[i] = static_cast<std::uint8_t>(0x91 + 7 * i);
    HeadlessRun run(n < 0 ? HeadlessRun::Setup{} : HeadlessRun::Setup{.scores = content});
    ScoreRecord r{-1, -1, -1, -1, -1, -1, 5, 5};
    run.services().scores.read(run.file("Qspe.dat"), r);
    Bytes first(content.begin(), content.begin() + std::min(std::max(n, 0), 20)), padded = first;
    padded.resize(20, 0);
    EXPECT_EQ(bytesOf(r.toBytes()), padded) << n;
    EXPECT_TRUE(run.trace().has("0 read Qspe.dat " + hexOf(first))) << n;
    EXPECT_EQ(readBytes(run.file("Qspe.dat")), content) << n;
    EXPECT_TRUE(std::filesystem::is_regular_file(run.file("Qspe.dat"))) << n;
  }
}

// Where nothing can be kept (a data home under a plain file) the game goes on
// with zeros, said once; an installed program's data home is made at its
// first read. Without a home folder the data home is never relative.
TEST(ScoreFile, TheDataHomeIsMadeAsNeededAndWithoutOneNothingIsKept) {
  for (auto [installed, canMake] : {std::pair{true, true}, {true, false}, {false, false}}) {
    SCOPED_TRACE(testing::Message() << installed << canMake);
    TempDir place;
    writeBytes(place.file("plain"), {1});
    EnvVar xdg("XDG_DATA_HOME", canMake ? place.file("deep/data") : place.file("plain") + "/data");
    HeadlessRun run(installed ? HeadlessRun::Setup{} : HeadlessRun::Setup{.dir = place.file("plain") + "/sub"});
    const std::string file = installed ? scoreFallbackDir() + "/Qspe.dat" : run.file("Qspe.dat");
    testing::internal::CaptureStderr();
    ScoreRecord r;
    run.services().scores.read(file, r);
    EXPECT_EQ(std::filesystem::is_regular_file(file), canMake) << "made at the first read";
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
