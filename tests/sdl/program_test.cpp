#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

struct Result {
  int status = -1;
  std::string out;
};

// Runs a real program; standard error is folded into the output.
Result runProgram(const std::string& binary, const std::string& args) {
  std::string cmd = binary + " " + args + " 2>&1";
  Result r;
  FILE* p = popen(cmd.c_str(), "r");
  if (!p) return r;
  std::array<char, 4096> buf;
  for (std::size_t n; (n = fread(buf.data(), 1, buf.size(), p)) > 0;) r.out.append(buf.data(), n);
  int st = pclose(p);
  r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
  return r;
}

Result runQspe(const std::string& args) { return runProgram(QSPE_BINARY, args); }

std::string tempPath(const std::string& name) { return ::testing::TempDir() + name; }

void writeFile(const std::string& path, const std::string& text) { std::ofstream(path) << text; }

TEST(Program, SplashHandsOverToTheMenuAfterTwoTicks) {
  Result r = runQspe("--headless --until 3100 --trace -");
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_NE(r.out.find("0 load FormStartUp\n"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("0 show FormStartUp\n"), std::string::npos) << r.out;
  auto shown = r.out.find("3000 show FormMain\n");
  auto gone = r.out.find("3000 unload FormStartUp\n");
  EXPECT_NE(shown, std::string::npos) << r.out;
  EXPECT_NE(gone, std::string::npos) << r.out;
  EXPECT_LT(shown, gone);
  EXPECT_EQ(r.out.find("1500 show FormMain"), std::string::npos);
}

TEST(Program, BadOptionsAndScriptLinesExitWithStatus2AndSayWhere) {
  EXPECT_EQ(runQspe("--bogus").status, 2);
  EXPECT_EQ(runQspe("--headless").status, 2);  // neither a script nor --until
  EXPECT_EQ(runQspe("--headless --until soon").status, 2);
  std::string script = tempPath("bad.script");
  writeFile(script, "# fine\n0 down Z\n\n100 jump Z\n");
  Result r = runQspe("--headless --script " + script + " --trace -");
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.out.find("line 4"), std::string::npos) << r.out;
  EXPECT_EQ(r.out.find("load FormStartUp"), std::string::npos) << "nothing runs after a bad line";
  writeFile(script, "100 down Z\n50 up Z\n");
  r = runQspe("--headless --script " + script);
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.out.find("line 2"), std::string::npos) << r.out;
}

TEST(Program, HelpAndVersionRunNothing) {
  for (const char* binary : {QSPE_BINARY, QSCR_BINARY}) {
    std::string program = std::filesystem::path(binary).filename().string();
    Result r = runProgram(binary, "--headless --version --trace -");
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(r.out, program + " " + QSPE_VERSION + "\n");
    r = runProgram(binary, "--help /S");
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("--screen WxH"), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find(" load "), std::string::npos) << r.out;
  }
}

TEST(Program, AHeadlessRunEndsAtTheLastScriptLine) {
  std::string script = tempPath("short.script");
  writeFile(script, "seed 7\n1600 dump\n");
  Result r = runQspe("--headless --script " + script + " --trace -");
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_NE(r.out.find("1600 dump FormStartUp"), std::string::npos) << r.out;
  EXPECT_EQ(r.out.find("3000 "), std::string::npos) << r.out;
}

TEST(Program, TheSaverTakesTheWordsOfItsCommandLineAndCoversTheScreenItIsGiven) {
  std::string locks = tempPath("saver-locks");
  std::filesystem::create_directories(locks);
  std::string saver = "XDG_RUNTIME_DIR=" + locks + " " + QSCR_BINARY;
  Result r = runProgram(saver, "--headless --until 0 --trace - /p 5678");
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_EQ(r.out, "0 end\n");
  std::string script = tempPath("saver.script");
  writeFile(script, "0 dump\n");
  r = runProgram(saver, "--headless --screen 800x600 --script " + script + " --trace - /S");
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_NE(r.out.find("0 dump FormQScr caption=\"QorvexSaver Ver 1.00\" visible=1 width=12000 height=9000 "
                       "back=#000000\n"),
            std::string::npos)
      << r.out;
}

TEST(Program, WithoutItsFontsTheProgramSaysWhatToInstallAndExitsWith1) {
  std::string conf = tempPath("no-fonts.conf");
  writeFile(conf,
            "<?xml version=\"1.0\"?>\n<!DOCTYPE fontconfig SYSTEM \"fonts.dtd\">\n"
            "<fontconfig><dir>/nonexistent</dir><cachedir>" + tempPath("fc-cache") + "</cachedir></fontconfig>\n");
  std::string env = "FONTCONFIG_FILE=" + conf + " SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy ";
  std::string cmd = env + QSPE_BINARY + " --until 100 2>&1";
  Result r;
  FILE* p = popen(cmd.c_str(), "r");
  ASSERT_NE(p, nullptr);
  std::array<char, 4096> buf;
  for (std::size_t n; (n = fread(buf.data(), 1, buf.size(), p)) > 0;) r.out.append(buf.data(), n);
  int st = pclose(p);
  EXPECT_TRUE(WIFEXITED(st) && WEXITSTATUS(st) == 1) << r.out;
  EXPECT_NE(r.out.find("fonts-ipafont-gothic"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("fonts-symbola"), std::string::npos) << r.out;
}

}  // namespace
