// Live runs of the real program on SDL's offscreen video driver: a recorded
// live run replays headless to the same trace, and a quit signal closes the
// windows as the player would (in a game too: see quit_during_sound_test).
#include <gtest/gtest.h>
#include <signal.h>

#include <cstdio>
#include <fstream>

#include "support/process.h"

namespace qs::test {
namespace {

const std::vector<std::string> kLive = {"SDL_VIDEODRIVER=offscreen", "SDL_AUDIODRIVER=dummy"};

pid_t spawnQspe(std::vector<std::string> args, const std::vector<std::string>& env) {
  args.insert(args.begin(), QSPE_BINARY);
  return spawnProgram(args, env);
}

TEST(LiveRun, ARecordedLiveRunReplaysHeadlessToTheSameTrace) {
  std::string demo = tempFile("demo.script"), rec = tempFile("rec.script"), live = tempFile("live.trace"),
              replay = tempFile("replay.trace");
  // A short demo fed in real time: keys on the splash and on the menu window.
  std::ofstream(demo) << "seed 5\n400 down Z\n420 up Z\n3200 down Right\n3260 up Right\n3300 repeat 70\n";
  pid_t pid = spawnQspe({"--script", demo, "--record", rec, "--trace", live, "--until", "3600", "--scale", "1"}, kLive);
  ASSERT_GT(pid, 0);
  ASSERT_EQ(waitFor(pid), 0);
  std::string recorded = readFile(rec);
  EXPECT_NE(recorded.find("seed 5\n"), std::string::npos) << recorded;
  EXPECT_NE(recorded.find("3600 quit"), std::string::npos) << recorded;

  pid = spawnQspe({"--headless", "--script", rec, "--trace", replay}, {});
  ASSERT_EQ(waitFor(pid), 0);
  std::string a = readFile(live), b = readFile(replay);
  EXPECT_NE(a.find("3000 show FormMain"), std::string::npos) << a;
  EXPECT_EQ(a, b);
}

TEST(LiveRun, SigtermSigintAndSighupCloseTheWindowsAsThePlayerWould) {
  for (int sig : {SIGTERM, SIGINT, SIGHUP}) {
    std::string trace = tempFile("signal" + std::to_string(sig) + ".trace");
    std::remove(trace.c_str());  // a trace of an earlier run must not count
    pid_t pid = spawnQspe({"--trace", trace, "--scale", "1"}, kLive);
    ASSERT_GT(pid, 0);
    EXPECT_GE(awaitTrace(trace, " show FormStartUp\n"), 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    kill(pid, sig);
    EXPECT_EQ(waitFor(pid), 0) << "signal " << sig;
    std::string t = readFile(trace);
    EXPECT_NE(t.find(" unload FormStartUp\n"), std::string::npos) << "signal " << sig << "\n" << t;
    EXPECT_NE(t.find(" end\n"), std::string::npos) << "signal " << sig << "\n" << t;
  }
}

}  // namespace
}  // namespace qs::test
