#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "support/temp_dir.h"

namespace {

struct Result {
  int status = -1;
  std::string out;
};

// Runs the real program; standard error is folded into the output.
Result runQspe(const std::string& args) {
  std::string cmd = std::string(QSPE_BINARY) + " " + args + " 2>&1";
  Result r;
  FILE* p = popen(cmd.c_str(), "r");
  if (!p) return r;
  std::array<char, 4096> buf;
  for (std::size_t n; (n = fread(buf.data(), 1, buf.size(), p)) > 0;) r.out.append(buf.data(), n);
  int st = pclose(p);
  r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
  return r;
}

// Files of this process's own, in a folder removed at exit.
std::string tempPath(const std::string& name) {
  static const qs::test::TempDir dir;
  return dir.file(name);
}

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

TEST(Program, AHeadlessRunEndsAtTheLastScriptLine) {
  std::string script = tempPath("short.script");
  writeFile(script, "seed 7\n1600 dump\n");
  Result r = runQspe("--headless --script " + script + " --trace -");
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_NE(r.out.find("1600 dump FormStartUp"), std::string::npos) << r.out;
  EXPECT_EQ(r.out.find("3000 "), std::string::npos) << r.out;
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
