// Keys pressed during a waiting sound reach the scene before the timers that
// fell due meanwhile.
#include <gtest/gtest.h>

#include "core/shooter_probe.h"
#include "games/shooter/form_qb.h"
#include "qspe/menu.h"
#include "support/scene_harness.h"
#include "support/temp_dir.h"

namespace qs::test {
namespace {

// A tap of X during the blast's "high.wav" that lifts the score to 20000: the
// kept key-up comes before the overdue enemy tick, so when that tick clears
// the game no stale "X held" is left to leave the scene by.
TEST(ShooterHold, AnXTapDuringTheBlastLeavesTheSceneOnItsClear) {
  TempDir dir;
  writeSilentWav(dir.file("high.wav"), 850);
  writeSilentWav(dir.file("clear.wav"), 300);
  HeadlessRun run({.dir = dir.path(), .until = 4000});
  auto& qb = run.add<FormQB>();
  run.add<FormMain>();
  Timer lift;
  lift.attach(run.rt(), "lift", 1500, true, [&] {
    lift.detach();
    ShooterProbe::score(qb) = 19500;
  });
  // The game starts at 10; its enemy tick falls due at 2010, inside the hold
  // of "high.wav" (1900 to 2750), and so does the X key-up.
  run.run("FormQB", "0 down Z\n20 up Z\n1900 down X\n1950 up X\n");
  EXPECT_TRUE(run.has("1900 wav high.wav wait 850")) << run.dump();
  int keyUp = run.indexOf("2750 key FormQB up X");
  int cleared = run.indexOf("2750 set FormQB.txtTitle caption \"Cleared!!\"");
  ASSERT_GE(keyUp, 0) << run.dump();
  EXPECT_GT(cleared, keyUp) << run.dump();
  EXPECT_TRUE(run.grep("unload FormQB").empty()) << run.dump();
}

}  // namespace
}  // namespace qs::test
