// Live runs of the real program on SDL's offscreen video driver: a recorded
// live run replays headless to the same trace, a quit signal closes the
// windows as the player would (in a game too: see quit_during_sound_test),
// and the sound comes from the audio output module or not at all.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "app/trusted_module.h"
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

// A copy of the program loads its audio output module only from where it can
// be trusted, beside itself or in its installed tree, and plays the menu's
// music through it; a module missing, cut short, not a file, or in a folder
// others can write is named in one line, never loaded, and the game plays on
// silently. The loader's check judges each case; the live ones are also run.
TEST(LiveRun, TheSoundComesOnlyFromATrustedModuleAndTheGameGoesOnWithoutIt) {
  namespace fs = std::filesystem;
  const bool canPlay = !findSoundFont(std::getenv("SDL_SOUNDFONTS")).path.empty();
  const std::string module = fs::path(QSPE_AUDIO_MODULE).filename().string();
  umask(022);  // the folders made below are the player's alone
  struct Case {
    const char* name;
    bool installed;       // in the tree's library folder, not beside the program
    const char* spoil;    // a shell command on the module $M, its folder $D and the tree $T
    const char* refusal;  // part of why it is not loaded ("" when it is not found), or null when it loads
    bool live;
  };
  const Case cases[] = {
      {"beside", false, "", nullptr, true},
      {"installed", true, "", nullptr, true},
      {"missing", false, "rm $M", "", true},
      {"cut short", false, "truncate -s 32768 $M", "it is cut short", true},
      {"a FIFO", false, "rm $M && mkfifo $M", "it is not a regular file", false},
      {"in a group-writable folder", true, "chmod g+w $D", "/qspe can be written by others", false},
      {"in a copy's shared folder (/tmp/x/Qspe)", true, "chmod 1777 $T", " can be written by others", false},
      {"another user's", true, "chown 65534 $D", "/qspe is owned by another user", false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (std::string_view(c.name) == "another user's" && geteuid() != 0)
      GTEST_SKIP() << "only root can give a file to another user";
    const TempDir dir;
    const fs::path tree = dir.path(), bin = tree / "bin";
    const fs::path folder = c.installed ? bin / QSPE_PREFIX_FROM_BIN : bin;
    const fs::path down = c.installed ? QSPE_AUDIO_MODULE_IN_PREFIX : "";
    fs::create_directories(bin);
    fs::create_directories(folder / down);
    fs::copy_file(QSPE_AUDIO_MODULE, folder / down / module);
    const std::string vars =
        "M=" + (folder / down / module).string() + " D=" + (folder / down).string() + " T=" + tree.string();
    ASSERT_EQ(runCommand(vars + " sh -c '" + c.spoil + "'").status, 0);
    const ModuleFile file = openTrustedModule(folder, down, module);
    if (file.fd >= 0) close(file.fd);
    EXPECT_EQ(file.found, !c.refusal || *c.refusal);
    EXPECT_EQ(file.fd >= 0, !c.refusal) << file.why;
    EXPECT_NE(file.why.find(c.refusal ? c.refusal : ""), std::string::npos) << file.why;
    if (!c.live || !canPlay) continue;

    fs::copy_file(QSPE_BINARY, bin / "Qspe");
    CommandResult r = runCommand("SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=" +
                                 dir.file("out.raw") + " " + dir.file("bin/Qspe") + " --dir " + QSPE_PROGRAM_DIR +
                                 " --until 3800 --scale 1 --trace " + dir.file("run.trace"));
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_NE(readFile(dir.file("run.trace")).find("3000 show FormMain\n"), std::string::npos);
    const Bytes raw = readBytes(dir.file("out.raw"));
    int peak = 0;  // of the signed 16-bit samples SDL's disk driver wrote
    for (std::size_t i = 0; i + 1 < raw.size(); i += 2)
      peak = std::max(peak, std::abs(static_cast<std::int16_t>(raw[i] | raw[i + 1] << 8)));
    if (!c.refusal) {
      EXPECT_EQ(r.out, "");
      EXPECT_GT(peak, 1000) << "the menu's music, not silence";
    } else {
      EXPECT_EQ(r.out.find("no sound"), r.out.rfind("no sound")) << r.out;
      EXPECT_TRUE(r.out.starts_with("Qspe: no sound: cannot load the audio output ")) << r.out;
      EXPECT_NE(r.out.find("/" + module + ": " + c.refusal), std::string::npos) << r.out;
      EXPECT_TRUE(raw.empty());
    }
  }
}

}  // namespace
}  // namespace qs::test
