// Live runs of the real program on SDL's offscreen video driver: a recorded
// live run replays headless to the same trace, a quit signal closes the
// windows as the player would (in a game too: see quit_during_sound_test),
// and the sound comes from the audio output module or not at all.
#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/sdl/soundfont.h"
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

// A copy of the program finds its audio output module beside itself or where
// an install puts it, and plays the menu's music through it; without the
// module it says so once and plays on silently.
TEST(LiveRun, TheSoundComesFromTheModuleBesideOrInstalledAndTheGameGoesOnWithoutIt) {
  if (findSoundFont(std::getenv("SDL_SOUNDFONTS")).path.empty()) GTEST_SKIP() << "no General MIDI soundfont installed";
  namespace fs = std::filesystem;
  const std::string module = fs::path(QSPE_AUDIO_MODULE).filename().string();
  struct Case {
    const char* name;
    const char* moduleIn;  // the folder under the copy's, or null
  };
  const Case cases[] = {{"beside", "bin"}, {"installed", "bin/" QSPE_AUDIO_MODULE_FROM_BIN}, {"missing", nullptr}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const TempDir dir;
    fs::create_directories(dir.file("bin"));
    fs::copy_file(QSPE_BINARY, dir.file("bin/Qspe"));
    if (c.moduleIn) {
      fs::create_directories(dir.file(c.moduleIn));
      fs::copy_file(QSPE_AUDIO_MODULE, fs::path(dir.file(c.moduleIn)) / module);
    }
    CommandResult r = runCommand("SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=" +
                                 dir.file("out.raw") + " " + dir.file("bin/Qspe") + " --dir " + QSPE_PROGRAM_DIR +
                                 " --until 3800 --scale 1 --trace " + dir.file("run.trace"));
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_NE(readFile(dir.file("run.trace")).find("3000 show FormMain\n"), std::string::npos);
    const Bytes raw = readBytes(dir.file("out.raw"));
    int peak = 0;  // of the signed 16-bit samples SDL's disk driver wrote
    for (std::size_t i = 0; i + 1 < raw.size(); i += 2)
      peak = std::max(peak, std::abs(static_cast<std::int16_t>(raw[i] | raw[i + 1] << 8)));
    if (c.moduleIn) {
      EXPECT_EQ(r.out, "");
      EXPECT_GT(peak, 1000) << "the menu's music, not silence";
    } else {
      EXPECT_EQ(r.out.find("no sound"), r.out.rfind("no sound")) << r.out;
      EXPECT_TRUE(r.out.starts_with("Qspe: no sound: cannot load the audio output ")) << r.out;
      EXPECT_NE(r.out.find("/" + module + ": "), std::string::npos) << r.out;
      EXPECT_TRUE(raw.empty());
    }
  }
}

}  // namespace
}  // namespace qs::test
