// A quit while a waiting sound holds the real program (SDL's offscreen video
// driver) ends the hold at once and the program as any quit does: the game
// scene unloads and writes its record, and the trace reads as if the sound
// had played out.
#include <gtest/gtest.h>
#include <signal.h>

#include <filesystem>
#include <fstream>

#include "support/media_bytes.h"
#include "support/process.h"

namespace qs::test {
namespace {

TEST(QuitDuringASound, EndsTheHoldAndTheProgramWithTheRecordWritten) {
  constexpr int kSoundMs = 60000;
  for (int sig : {SIGTERM, SIGHUP}) {
    SCOPED_TRACE("signal " + std::to_string(sig));
    TempDir dir;
    writeBytes(dir.file("start.wav"), wavOfMs(kSoundMs));  // the shooter's game start waits for it
    std::ofstream(dir.file("demo.script")) << "3300 down Z\n3350 up Z\n4000 down Z\n4050 up Z\n";
    std::string trace = dir.file("run.trace");
    pid_t pid = spawnProgram(
        {QSPE_BINARY, "--dir", dir.path(), "--script", dir.file("demo.script"), "--trace", trace, "--scale", "1"},
        {"SDL_VIDEODRIVER=offscreen", "SDL_AUDIODRIVER=dummy"});
    ASSERT_GT(pid, 0);
    std::int64_t held = awaitTrace(trace, " wav start.wav wait 60000\n");
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
    EXPECT_NE(t.find(" unload FormMain\n", unload), std::string::npos) << t;
    EXPECT_NE(t.find(" end\n", unload), std::string::npos) << t;
    EXPECT_EQ(std::filesystem::file_size(dir.file("Qspe.dat")), 20u);
    // What follows the sound is stamped after it, and the clock never goes back.
    EXPECT_GE(awaitTrace(trace, " unload FormQB\n"), held + kSoundMs) << t;
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
