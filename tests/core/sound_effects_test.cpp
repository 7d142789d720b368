#include <gtest/gtest.h>

#include <filesystem>

#include "sound/wav_info.h"
#include "support/sound_bytes.h"
#include "support/sound_run.h"

namespace qs::test {
namespace {

using Lines = std::vector<std::string>;

class Effects : public ::testing::Test {
 protected:
  void SetUp() override {
    writeBytes(file("start.wav"), wavBytes(8000, 4000));  // 500 ms
    writeBytes(file("hit.wav"), wavBytes(22050, 2205));   // 100 ms
    run = std::make_unique<SoundRun>(dir.string());
  }
  std::string file(const std::string& name) const { return (dir / name).string(); }
  void play(const std::string& name, SoundMode mode) { run->sound().sndPlaySound(file(name), mode); }

  TempDir tmp;
  std::filesystem::path dir = tmp.path();
  std::unique_ptr<SoundRun> run;
};

TEST(WavInfo, LengthComesFromTheHeaderWhateverChunksComeFirst) {
  TempDir tmp;
  std::filesystem::path dir = tmp.path();
  writeBytes((dir / "a.wav").string(), wavBytes(11025, 11025 * 3 / 2));
  EXPECT_EQ(wavLengthMs((dir / "a.wav").string()), 1500);
  // A "LIST" chunk of odd size (padded) before the format chunk.
  Bytes b = wavBytes(8000, 800);
  Bytes list{'L', 'I', 'S', 'T', 3, 0, 0, 0, 'a', 'b', 'c', 0};
  b.insert(b.begin() + 12, list.begin(), list.end());
  writeBytes((dir / "b.wav").string(), b);
  EXPECT_EQ(wavLengthMs((dir / "b.wav").string()), 100);
  writeBytes((dir / "c.wav").string(), {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'A', 'V', 'I', ' '});
  EXPECT_EQ(wavLengthMs((dir / "c.wav").string()), 0);
  EXPECT_EQ(wavLengthMs((dir / "none.wav").string()), 0);
  std::filesystem::remove_all(dir);
}

TEST_F(Effects, AWaitingSoundHoldsTheProgramForItsLength) {
  std::int64_t seen = -1;
  run->at(100, [&] { play("start.wav", SoundMode::Wait); });
  run->at(200, [&] { seen = run->rt().now(); });  // kept while the sound plays
  run->run(1000);
  EXPECT_EQ(run->grep(" wav "), (Lines{"100 wav start.wav wait 500"}));
  EXPECT_EQ(seen, 600);
  EXPECT_EQ(run->audio().calls, (Lines{"effect start.wav"}));
}

TEST_F(Effects, BackgroundSoundsReturnAtOnceAndEachNewOneReachesTheDevice) {
  std::int64_t seen = -1;
  run->at(100, [&] { play("hit.wav", SoundMode::Background); });
  run->at(150, [&] {
    play("start.wav", SoundMode::Background);  // cuts off hit.wav, still sounding
    play("hit.wav ", SoundMode::Background);   // a trailing blank is not part of the name
  });
  run->at(160, [&] { seen = run->rt().now(); });
  run->run(1000);
  EXPECT_EQ(run->grep(" wav "),
            (Lines{"100 wav hit.wav async 100", "150 wav start.wav async 500", "150 wav hit.wav async 100"}));
  EXPECT_EQ(seen, 160);
  EXPECT_EQ(run->audio().calls, (Lines{"effect hit.wav", "effect start.wav", "effect hit.wav"}));
}

TEST_F(Effects, AMissingFileIsSilentWhenWaitedForAndTheDefaultSoundInTheBackground) {
  std::int64_t seen = -1;
  ::testing::internal::CaptureStderr();
  run->at(100, [&] {
    play("gone.wav ", SoundMode::Wait);
    seen = run->rt().now();
    play("gone.wav", SoundMode::Background);
    run->rt().beep();
  });
  run->run(1000);
  EXPECT_EQ(seen, 100) << "nothing to wait for";
  EXPECT_EQ(run->grep(" wav "), (Lines{"100 wav gone.wav wait 0", "100 wav gone.wav async 0"}));
  EXPECT_EQ(run->audio().calls, (Lines{"default", "beep"}));
  EXPECT_EQ(run->grep(" beep"), (Lines{"100 beep"}));
  // The packager hears of it once, on standard error; the player is not told.
  std::string said = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(said.find("gone.wav: the file is missing"), std::string::npos) << said;
  EXPECT_EQ(said.find("gone.wav"), said.rfind("gone.wav")) << "once per file: " << said;
}

}  // namespace
}  // namespace qs::test
