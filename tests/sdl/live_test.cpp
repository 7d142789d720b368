// Live runs of the real program on SDL's offscreen video driver: a recorded
// live run replays headless to the same trace, and SIGTERM closes the windows
// as the player would.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "support/files.h"

extern char** environ;

namespace {

// Files of this process's own, in a folder removed at exit.
std::string temp(const std::string& name) {
  static const qs::test::TempDir dir;
  return dir.file(name);
}

std::string readFile(const std::string& path) {
  std::ifstream in(path);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

pid_t spawnQspe(std::vector<std::string> args, bool live) {
  args.insert(args.begin(), QSPE_BINARY);
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  std::vector<std::string> env;
  for (char** e = environ; *e; ++e) env.emplace_back(*e);
  if (live) {
    env.emplace_back("SDL_VIDEODRIVER=offscreen");
    env.emplace_back("SDL_AUDIODRIVER=dummy");
  }
  std::vector<char*> envp;
  for (auto& e : env) envp.push_back(e.data());
  envp.push_back(nullptr);
  pid_t pid = 0;
  if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), envp.data()) != 0) return -1;
  return pid;
}

// Waits (up to 20 s) until the trace being written holds `text`, so a signal
// is sent only once the program is up, however slow the machine.
bool traceReaches(const std::string& path, const std::string& text) {
  for (int i = 0; i < 400; ++i) {
    if (readFile(path).find(text) != std::string::npos) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return false;
}

int waitFor(pid_t pid) {
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(LiveRun, ARecordedLiveRunReplaysHeadlessToTheSameTrace) {
  std::string demo = temp("demo.script"), rec = temp("rec.script"), live = temp("live.trace"),
              replay = temp("replay.trace");
  // A short demo fed in real time: keys on the splash and on the menu window.
  std::ofstream(demo) << "seed 5\n400 down Z\n420 up Z\n3200 down Right\n3260 up Right\n3300 repeat 70\n";
  pid_t pid = spawnQspe({"--script", demo, "--record", rec, "--trace", live, "--until", "3600", "--scale", "1"}, true);
  ASSERT_GT(pid, 0);
  ASSERT_EQ(waitFor(pid), 0);
  std::string recorded = readFile(rec);
  EXPECT_NE(recorded.find("seed 5\n"), std::string::npos) << recorded;
  EXPECT_NE(recorded.find("3600 quit"), std::string::npos) << recorded;

  pid = spawnQspe({"--headless", "--script", rec, "--trace", replay}, false);
  ASSERT_EQ(waitFor(pid), 0);
  std::string a = readFile(live), b = readFile(replay);
  EXPECT_NE(a.find("3000 show FormMain"), std::string::npos) << a;
  EXPECT_EQ(a, b);
}

TEST(LiveRun, SigtermSigintAndSighupCloseTheWindowsAsThePlayerWould) {
  for (int sig : {SIGTERM, SIGINT, SIGHUP}) {
    std::string trace = temp("signal" + std::to_string(sig) + ".trace");
    std::remove(trace.c_str());  // a trace of an earlier run must not count
    pid_t pid = spawnQspe({"--trace", trace, "--scale", "1"}, true);
    ASSERT_GT(pid, 0);
    EXPECT_TRUE(traceReaches(trace, " show FormStartUp\n"));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    kill(pid, sig);
    EXPECT_EQ(waitFor(pid), 0) << "signal " << sig;
    std::string t = readFile(trace);
    EXPECT_NE(t.find(" unload FormStartUp\n"), std::string::npos) << "signal " << sig << "\n" << t;
    EXPECT_NE(t.find(" end\n"), std::string::npos) << "signal " << sig << "\n" << t;
  }
}

TEST(LiveRun, SigtermDuringAGameUnloadsTheSceneAndKeepsItsRecord) {
  std::string dir = temp("termdir");
  std::string mk = "mkdir -p " + dir;
  ASSERT_EQ(std::system(mk.c_str()), 0);
  std::string demo = temp("term-game.script"), trace = temp("term-game.trace");
  std::ofstream(demo) << "3300 down Z\n3350 up Z\n";  // entry 0 of the menu: the shooter
  std::remove(trace.c_str());
  std::remove((dir + "/Qspe.dat").c_str());
  pid_t pid = spawnQspe({"--dir", dir, "--script", demo, "--trace", trace, "--scale", "1"}, true);
  ASSERT_GT(pid, 0);
  EXPECT_TRUE(traceReaches(trace, " activate FormQB\n"));
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  kill(pid, SIGTERM);
  EXPECT_EQ(waitFor(pid), 0);
  std::string t = readFile(trace);
  auto unload = t.find(" unload FormQB\n");
  ASSERT_NE(unload, std::string::npos) << t;
  EXPECT_NE(t.find(" write Qspe.dat ", unload), std::string::npos) << t;
  EXPECT_NE(t.find(" unload FormMain\n", unload), std::string::npos) << t;
  std::ifstream saved(dir + "/Qspe.dat", std::ios::binary | std::ios::ate);
  EXPECT_EQ(static_cast<long>(saved.tellg()), 20L);
}

}  // namespace
