// A quit while a waiting sound holds the real program (SDL's offscreen video
// driver) ends the hold at once and the program as any quit does: the game
// scene unloads and writes its record, and the trace reads as if the sound
// had played out.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "support/media_bytes.h"

extern char** environ;

namespace qs::test {
namespace {

std::string readFile(const std::string& path) {
  std::ifstream in(path);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

pid_t spawnLive(std::vector<std::string> args) {
  args.insert(args.begin(), QSPE_BINARY);
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  std::vector<std::string> env{"SDL_VIDEODRIVER=offscreen", "SDL_AUDIODRIVER=dummy"};
  for (char** e = environ; *e; ++e) env.emplace_back(*e);
  std::vector<char*> envp;
  for (auto& e : env) envp.push_back(e.data());
  envp.push_back(nullptr);
  pid_t pid = 0;
  return posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), envp.data()) == 0 ? pid : -1;
}

// The time of the first trace line that holds `text`, waiting up to 20 s for it.
std::int64_t timeOf(const std::string& trace, const std::string& text) {
  for (int i = 0; i < 400; ++i) {
    std::string t = readFile(trace);
    if (auto at = t.find(text); at != std::string::npos) {
      auto start = t.rfind('\n', at);
      return std::stoll(t.substr(start == std::string::npos ? 0 : start + 1));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return -1;
}

TEST(QuitDuringASound, EndsTheHoldAndTheProgramWithTheRecordWritten) {
  constexpr int kSoundMs = 60000;
  for (int sig : {SIGTERM, SIGHUP}) {
    SCOPED_TRACE("signal " + std::to_string(sig));
    TempDir dir;
    writeBytes(dir.file("start.wav"), wavOfMs(kSoundMs));  // the shooter's game start waits for it
    std::ofstream(dir.file("demo.script")) << "3300 down Z\n3350 up Z\n4000 down Z\n4050 up Z\n";
    std::string trace = dir.file("run.trace");
    pid_t pid = spawnLive({"--dir", dir.path(), "--script", dir.file("demo.script"), "--trace", trace, "--scale", "1"});
    ASSERT_GT(pid, 0);
    std::int64_t held = timeOf(trace, " wav start.wav wait 60000\n");
    ASSERT_GE(held, 0) << readFile(trace);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    auto sent = std::chrono::steady_clock::now();
    kill(pid, sig);
    int status = 0;
    waitpid(pid, &status, 0);
    auto took = std::chrono::steady_clock::now() - sent;
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_LT(took, std::chrono::milliseconds(kSoundMs / 4));

    std::string t = readFile(trace);
    auto unload = t.find(" unload FormQB\n");
    ASSERT_NE(unload, std::string::npos) << t;
    EXPECT_NE(t.find(" write Qspe.dat ", unload), std::string::npos) << t;
    EXPECT_NE(t.find(" end\n", unload), std::string::npos) << t;
    EXPECT_EQ(std::filesystem::file_size(dir.file("Qspe.dat")), 20u);
    // What follows the sound is stamped after it, and the clock never goes back.
    EXPECT_GE(timeOf(trace, " unload FormQB\n"), held + kSoundMs) << t;
    std::istringstream lines(t);
    std::int64_t last = 0;
    for (std::string line; std::getline(lines, line);) {
      std::int64_t at = std::stoll(line);
      EXPECT_GE(at, last) << line;
      last = at;
    }
  }
}

}  // namespace
}  // namespace qs::test
