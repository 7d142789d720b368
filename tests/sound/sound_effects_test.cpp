// Effects on the run's clock: a waiting one holds the program for its
// length, a background one returns at once; a missing one is silent when
// waited for and the default sound in the background.
#include <gtest/gtest.h>

#include "support/headless_run.h"
#include "support/media_bytes.h"

namespace qs::test {
namespace {

struct Effect {
  std::int64_t at;
  const char* file;
  SoundMode mode;
  std::string traced;    // the trace's line
  std::int64_t returns;  // the run's clock when the call returns
  const char* device;    // what the audio output is asked
};

TEST(Effects, EachPlaysAndHoldsAsItsModeSays) {
  constexpr auto wait = SoundMode::Wait, bg = SoundMode::Background;
  // clang-format off
  const Effect cases[] = {
      {100, "start.wav", wait, "100 wav start.wav wait 500", 600, "effect start.wav"},
      {1000, "hit.wav", bg, "1000 wav hit.wav async 100", 1000, "effect hit.wav"},
      {1050, "start.wav", bg, "1050 wav start.wav async 500", 1050, "effect start.wav"},  // cuts hit.wav off
      {1050, "hit.wav ", bg, "1050 wav hit.wav async 100", 1050, "effect hit.wav"},  // the blank is no part of it
      {2000, "gone.wav ", wait, "2000 wav gone.wav wait 0", 2000, nullptr},
      {2000, "gone.wav", bg, "2000 wav gone.wav async 0", 2000, "default"},
  };
  // clang-format on
  HeadlessRun run;
  writeBytes(run.file("start.wav"), wavBytes(8000, 4000));
  writeBytes(run.file("hit.wav"), wavBytes(22050, 2205));
  std::vector<std::string> calls, traced;
  for (const Effect& c : cases) {
    traced.push_back(c.traced);
    run.at(c.at, [&run, &c] {
      run.sound().sndPlaySound(run.file(c.file), c.mode);
      EXPECT_EQ(run.rt().now(), c.returns) << c.traced;
    });
    if (c.device) calls.push_back(c.device);
  }
  ::testing::internal::CaptureStderr();
  run.runUntil(3000);
  const std::string said = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(run.trace().grep(" wav "), traced);
  EXPECT_EQ(run.audio().calls, calls);
  // The packager hears of the missing file once; the player is not told.
  EXPECT_EQ(said, "Qspe: cannot play " + run.file("gone.wav") + ": the file is missing; the game goes on without it\n");
}

}  // namespace
}  // namespace qs::test
